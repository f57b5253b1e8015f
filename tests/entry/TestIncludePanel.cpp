#include "TestSupport.h"
#include "alerting/DueScan.h"
#include "ui/LimitedTextEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <optional>

using namespace TestSupport;

class TestIncludePanel : public QObject
{
    Q_OBJECT
    std::optional<Program> p;
    QLineEdit* date = nullptr;
    QComboBox *hour = nullptr, *minute = nullptr;
    LimitedTextEdit* text = nullptr;

    QStringList fields() { return {date->text(), hour->currentText(), minute->currentText(), text->text()}; }
    // "Agendar Lembrete": the field given the focus, then the message or else the line added to the file.
    QString agendar(const QStringList& typed)
    {
        date->setText(typed[0]);
        hour->setCurrentIndex(hour->findText(typed[1]));
        minute->setCurrentIndex(minute->findText(typed[2]));
        text->setText(typed[3]);
        const qint64 before = QFileInfo(DataFolder::reminderFile()).size();
        QTest::mouseClick(child(p->window, "cmdinc"), Qt::LeftButton);
        const QString shown = MessageBox::takeShown().join(u'|');
        return QApplication::focusWidget()->objectName() + QStringLiteral(": ")
            + (shown.isEmpty() ? QString::fromLatin1(p->reminders().mid(before)) : shown); // Windows-1252
    }

private Q_SLOTS:
    void init()
    {
        p.emplace(QDateTime(QDate(2026, 12, 6), QTime(14, 30, 0)));
        p->window->scan().switchOff();
        p->window->showIncludePanel();
        QVERIFY(QTest::qWaitForWindowActive(p->window));
        date = child<QLineEdit>(p->window, "txtdata");
        hour = child<QComboBox>(p->window, "cboHora");
        minute = child<QComboBox>(p->window, "cboMinuto");
        text = child<LimitedTextEdit>(p->window, "txtincdesc");
    }
    void cleanup() { p.reset(); }

    void include()
    {
        // No file yet; second 00 of this very minute.
        QCOMPARE(agendar({"06/12/2026", "14", "30", "a"}), QStringLiteral("txtdata: 06/12/202614:30a\r\n"));
        QCOMPARE(fields(), (QStringList{"06/12/2026", "", "", ""}));
        QVERIFY(p->window->timer()->isActive());
        QVERIFY(p->putReminders({"06/12/202618:00Dentista"})); // nothing due while the clicks go on
        Clock::setNowForTesting(QDateTime(QDate(2026, 12, 6), QTime(14, 30, 1)));
        // clang-format off
        const std::pair<QStringList, const char*> rows[] = {
            {{"06/12/2026", "14", "30", "x"}, "cboHora: Você está tentando incluir uma hora já vencida!"},
            {{"07/12/2026", "00", "00", "Cedo"}, "txtdata: 07/12/202600:00Cedo\r\n"}, // a later day is never too late
            {{"07/12/2026", "00", "00", "x"}, "txtdata: Já existe mensagem cadastrada para esta data e hora!"},
            {{"07/12/2026", "00", "05", "x"}, "txtdata: 07/12/202600:05x\r\n"},
            {{"05/12/2026", "", "", "x"}, "txtdata: Você está tentando incluir uma data já vencida!"}, // the date first
            {{"01/01/2030 ", "10", "00", "x"}, "cmdinc: Data no formato inválido! (dd/mm/aaaa)"}, // it would shift the line; the focus stays put
            {{"07/12/2026", "", "00", "x"}, "cboHora: Por favor, Informar a Hora!"},
            {{"07/12/2026", "10", "", "x"}, "cboMinuto: Por favor, Informar o Minuto!"},
            {{"07/12/2026", "10", "00", " \n "}, "txtincdesc: Por favor, Informar a Descrição!"},
            {{"07/12/2026", "10", "00", "\t"}, "txtdata: 07/12/202610:00\t\r\n"},
            {{"08/12/2026", "09", "05", "  um\ndois\r\nação "}, "txtdata: 08/12/202609:05  umdoisação \r\n"},
        };
        // clang-format on
        for (const auto& [typed, result] : rows)
            QCOMPARE(agendar(typed), QString::fromUtf8(result));
        // A plain file under the data folder's name: nothing can be written, every field is kept.
        QVERIFY(QDir(DataFolder::path()).removeRecursively() && writeFile(DataFolder::path(), ""));
        QVERIFY(agendar({"07/12/2026", "11", "00", "c"}).startsWith(u"cmdinc: Não foi possível gravar"));
        QCOMPARE(fields(), (QStringList{"07/12/2026", "11", "00", "c"}));
        p->window->showIncludePanel(); // opened again: today, no hour or minute, the description as it was
        QCOMPARE(fields(), (QStringList{"06/12/2026", "", "", "c"}));
        // With a tray: hidden, not minimized.
        QTest::mouseClick(child(p->window, "cmdcaninc"), Qt::LeftButton);
        QVERIFY(!p->window->isVisible());
    }

    void dayButtonsAndLists()
    {
        // clang-format off
        const char* const steps[][3] = { // typed first, the button, then the date or the message
            {"31/12/2024", "cmdma1", "01/01/2025"}, {"", "cmdma30", "31/01/2025"}, {"", "cmdma7", "07/02/2025"}, {"", "cmdma10", "17/02/2025"}, {"", "cmdme1", "06/12/2026"}, // from the past: today
            {"", "cmdma30", "05/01/2027"}, {"", "cmdme1", "04/01/2027"}, {"", "cmdme7", "28/12/2026"}, {"", "cmdma30", "27/01/2027"}, {"", "cmdme10", "17/01/2027"}, {"", "cmdme30", "18/12/2026"}, {"", "cmdme30", "06/12/2026"},
            {"15/12/2026", "cmdme10", "06/12/2026"}, {"22/12/9999", "cmdma30", "31/12/9999"}, {"", "cmdma1", "31/12/9999"}, // no later than the rule allows
            {"1/2/2030", "cmdma1", "1/2/2030Data no formato inválido! (dd/mm/aaaa)"},
        };
        // clang-format on
        for (const auto& [typed, button, after] : steps) {
            date->setText(*typed ? QString::fromUtf8(typed) : date->text());
            QTest::mouseClick(child(p->window, button), Qt::LeftButton);
            QCOMPARE(date->text() + MessageBox::takeShown().join(u'|'), QString::fromUtf8(after));
        }
        // A release empties only the box that had its press: not a modifier alone, nor a Tab
        // pressed before the focus left. The press itself changes nothing.
        hour->setCurrentIndex(9);
        minute->setCurrentIndex(1);
        QTest::keyClick(hour, Qt::Key_Shift);
        hour->setFocus();
        QTest::keyPress(hour, Qt::Key_Tab);
        QTest::keyRelease(hour, Qt::Key_Tab);
        QTest::keyPress(minute, Qt::Key_7);
        QCOMPARE(hour->currentText() + minute->currentText(), QStringLiteral("0905"));
        // Only typing, with or without Shift: no chord, no key that moves through the list or opens it.
        for (const char* keys : {"Ctrl+C", "Alt+X", "Meta+X", "Up", "Down", "Left", "Right", "Home", "End",
                                 "PgUp", "PgDown", "F4", "Alt+Down", "5", "Shift+5"}) {
            hour->setCurrentIndex(9);
            QTest::keySequence(hour, QKeySequence(QString::fromLatin1(keys)));
            hour->hidePopup();
            QCOMPARE(keys + QStringLiteral(" emptied: ") + (hour->currentText().isEmpty() ? "yes" : "no"),
                     keys + QStringLiteral(" emptied: ") + (QByteArray(keys).endsWith('5') ? "yes" : "no"));
        }
    }
};

QTEST_MAIN(TestIncludePanel)
#include "TestIncludePanel.moc"
