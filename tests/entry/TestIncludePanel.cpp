#include "TestSupport.h"
#include "alerting/DueScan.h"
#include "ui/LimitedTextEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <optional>

using namespace TestSupport;

const QDateTime Afternoon(QDate(2026, 12, 6), QTime(14, 30, 0));

class TestIncludePanel : public QObject
{
    Q_OBJECT
    std::optional<Program> p;
    QLineEdit* date = nullptr;
    QComboBox *hour = nullptr, *minute = nullptr;
    LimitedTextEdit* text = nullptr;

    QStringList fields() { return {date->text(), hour->currentText(), minute->currentText(), text->text()}; }
    void fill(const QStringList& typed)
    {
        date->setText(typed[0]);
        hour->setCurrentIndex(hour->findText(typed[1]));
        minute->setCurrentIndex(minute->findText(typed[2]));
        text->setText(typed[3]);
    }
    // "Agendar Lembrete": the field given the focus, then the message or else the line added to the file.
    QString agendar(const QStringList& typed)
    {
        fill(typed);
        const qint64 before = QFileInfo(DataFolder::reminderFile()).size();
        QTest::mouseClick(child(p->window, "cmdinc"), Qt::LeftButton);
        const QString shown = MessageBox::takeShown().join(u'|');
        return QApplication::focusWidget()->objectName() + QStringLiteral(": ")
            + (shown.isEmpty() ? QString::fromLatin1(p->reminders().mid(before)) : shown); // Windows-1252
    }

private Q_SLOTS:
    void init()
    {
        p.emplace(Afternoon);
        p->window->scan().switchOff();
        p->window->showIncludePanel();
        QVERIFY(QTest::qWaitForWindowActive(p->window));
        date = child<QLineEdit>(p->window, "txtdata");
        hour = child<QComboBox>(p->window, "cboHora");
        minute = child<QComboBox>(p->window, "cboMinuto");
        text = child<LimitedTextEdit>(p->window, "txtincdesc");
    }
    void cleanup() { p.reset(); }

    void include_data()
    {
        QTest::addColumn<QStringList>("typed"); // at 14:30:01; date, hour, minute, description
        QTest::addColumn<QString>("result");
        // clang-format off
        QTest::newRow("this minute at second 01") << QStringList{"06/12/2026", "14", "30", "x"} << "cboHora: Você está tentando incluir uma hora já vencida!";
        QTest::newRow("a later day is never too late") << QStringList{"07/12/2026", "00", "00", "Cedo"} << "txtdata: 07/12/202600:00Cedo\r\n";
        QTest::newRow("yesterday, no hour: the date first") << QStringList{"05/12/2026", "", "", "x"} << "txtdata: Você está tentando incluir uma data já vencida!";
        QTest::newRow("short date: the focus stays put") << QStringList{"1/2/2030", "10", "00", "x"} << "cmdinc: Data no formato inválido! (dd/mm/aaaa)";
        QTest::newRow("no hour") << QStringList{"07/12/2026", "", "00", "x"} << "cboHora: Por favor, Informar a Hora!";
        QTest::newRow("no minute") << QStringList{"07/12/2026", "10", "", "x"} << "cboMinuto: Por favor, Informar o Minuto!";
        QTest::newRow("spaces and line breaks only") << QStringList{"07/12/2026", "10", "00", " \n "} << "txtincdesc: Por favor, Informar a Descrição!";
        QTest::newRow("a tab is a description") << QStringList{"07/12/2026", "10", "00", "\t"} << "txtdata: 07/12/202610:00\t\r\n";
        QTest::newRow("spaces around kept") << QStringList{"08/12/2026", "09", "05", "   três  "} << "txtdata: 08/12/202609:05   três  \r\n";
        QTest::newRow("line breaks dropped") << QStringList{"08/12/2026", "09", "05", "um\ndois\r\nação"} << "txtdata: 08/12/202609:05umdoisação\r\n";
        // clang-format on
    }
    void include()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, result);
        QVERIFY(p->putReminders({"06/12/202618:00Dentista"}));
        Clock::setNowForTesting(Afternoon.addSecs(1));
        QCOMPARE(agendar(typed), result);
    }

    void clashThenAnotherMinuteThenFailedWrite()
    {
        // No file yet; second 00 of this very minute.
        QCOMPARE(agendar({"06/12/2026", "14", "30", "a"}), QStringLiteral("txtdata: 06/12/202614:30a\r\n"));
        QCOMPARE(fields(), (QStringList{"06/12/2026", "", "", ""}));
        QVERIFY(p->window->timer()->isActive());
        p->window->scan().switchOff(); // it is due: no alert here
        QCOMPARE(agendar({"06/12/2026", "14", "30", "b"}),
                 QStringLiteral("txtdata: Já existe mensagem cadastrada para esta data e hora!"));
        QCOMPARE(fields(), (QStringList{"06/12/2026", "14", "30", "b"}));
        QCOMPARE(agendar({"06/12/2026", "14", "35", "b"}), QStringLiteral("txtdata: 06/12/202614:35b\r\n"));
        // A plain file under the data folder's name: nothing can be written.
        QVERIFY(QDir(DataFolder::path()).removeRecursively() && writeFile(DataFolder::path(), ""));
        p->window->scan().switchOff();
        QVERIFY(agendar({"07/12/2026", "11", "00", "c"})
                    .startsWith(QStringLiteral("cmdinc: Não foi possível gravar")));
        QCOMPARE(fields(), (QStringList{"07/12/2026", "11", "00", "c"}));
        QVERIFY(!p->window->timer()->isActive());
    }

    void dayButtons()
    {
        // clang-format off
        const char* const steps[][2] = {
            {"cmdma1", "01/01/2025"}, {"cmdma30", "31/01/2025"}, {"cmdma7", "07/02/2025"}, {"cmdma10", "17/02/2025"},
            {"cmdme1", "06/12/2026"}, // from the past: today
            {"cmdma30", "05/01/2027"}, {"cmdme1", "04/01/2027"}, {"cmdme7", "28/12/2026"}, {"cmdma30", "27/01/2027"},
            {"cmdme10", "17/01/2027"}, {"cmdme30", "18/12/2026"}, {"cmdme30", "06/12/2026"},
        };
        // clang-format on
        date->setText(QStringLiteral("31/12/2024"));
        for (const auto& [button, after] : steps) {
            QTest::mouseClick(child(p->window, button), Qt::LeftButton);
            QCOMPARE(date->text(), QString::fromLatin1(after));
        }
        date->setText(QStringLiteral("1/2/2030"));
        QTest::mouseClick(child(p->window, "cmdma1"), Qt::LeftButton);
        QCOMPARE(date->text() + MessageBox::takeShown().join(u'|'),
                 QStringLiteral("1/2/2030Data no formato inválido! (dd/mm/aaaa)"));
    }

    void hourAndMinuteComeOnlyFromTheLists()
    {
        QApplication::clipboard()->setText(QStringLiteral("7"));
        QTest::keyPress(minute, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(minute->currentText().isEmpty());
        // A release empties only the box that had its press: not a modifier, a shortcut's
        // key, the Return that chose from the other list, a Tab or Shift+Tab coming in.
        fill({"05/12/2026", "09", "45", "fica"});
        QTest::keyClick(hour, Qt::Key_Shift);
        QTest::keyClick(minute, Qt::Key_A, Qt::AltModifier); // "&Agendar Lembrete"
        QCOMPARE(MessageBox::takeShown().size(), 1);
        QTest::keyRelease(minute, Qt::Key_Return); // pressed in the hour's list
        hour->setFocus();
        QTest::keyPress(hour, Qt::Key_Tab);
        date->setFocus();
        QTest::keyPress(date, Qt::Key_Tab);
        QTest::keyRelease(hour, Qt::Key_Tab);
        minute->setFocus();
        QTest::keyPress(minute, Qt::Key_Backtab);
        QTest::keyRelease(hour, Qt::Key_Tab); // Shift let go first
        QCOMPARE(fields(), (QStringList{"05/12/2026", "09", "45", "fica"}));
        QTest::keyClick(hour, Qt::Key_5);
        QCOMPARE(fields(), (QStringList{"05/12/2026", "", "45", "fica"}));
        // Opening the panel again: today, no hour or minute, the description as it was.
        p->window->showIncludePanel();
        QCOMPARE(fields(), (QStringList{"06/12/2026", "", "", "fica"}));
    }
};

QTEST_MAIN(TestIncludePanel)
#include "TestIncludePanel.moc"
