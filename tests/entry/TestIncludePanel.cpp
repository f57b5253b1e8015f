
#include "TestSupport.h"
#include "alerting/DueScan.h"
#include "entry/IncludePanel.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "shell/MainWindow.h"
#include "ui/LimitedTextEdit.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
using TestSupport::child;

const QDateTime Afternoon(QDate(2026, 12, 6), QTime(14, 30, 0));
} // namespace

class TestIncludePanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void checks();
    void schedule_data();
    void schedule();
    void clashThenAnotherMinute();
    void failedWriteKeepsTheFields();
    void dayButtons_data();
    void dayButtons();
    void hourAndMinuteComeFromTheLists();
    void openingResetsDateHourAndMinute();

private:
    QByteArray bytes() const;
    void put(const QByteArray& content) const;
    void choose(const char* box, const QString& item);
    template <typename T = QWidget> T* field(const char* name)
    {
        return child<T>(m_window.get(), QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeAlarmSound m_sound;
    std::unique_ptr<MainWindow> m_window;
};

void TestIncludePanel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    DataFolder::setPathForTesting(m_dir->filePath(QStringLiteral("quedrino")));
    Clock::setNowForTesting(Afternoon);
    MessageBox::setScripted(true);
    m_window = std::make_unique<MainWindow>(true, m_sound);
    m_window->scan().switchOff();
    m_window->showIncludePanel();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestIncludePanel::cleanup()
{
    m_window.reset();
    MessageBox::takeShown();
    MessageBox::setScripted(false);
    Clock::setNowForTesting({});
    DataFolder::setPathForTesting({});
}

QByteArray TestIncludePanel::bytes() const
{
    return TestSupport::readFile(DataFolder::reminderFile());
}

void TestIncludePanel::put(const QByteArray& content) const
{
    QVERIFY(TestSupport::writeFile(DataFolder::reminderFile(), content));
}

// Picks an item from the box's list with the mouse, as a user does.
void TestIncludePanel::choose(const char* name, const QString& item)
{
    auto* box = field<QComboBox>(name);
    if (item.isEmpty()) {
        return;
    }
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex index = view->model()->index(box->findText(item), 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(box->currentText(), item);
}

void TestIncludePanel::checks()
{
    DateChecks checks;
    checks.Verifica_Data(QStringLiteral("05/03/2024"));
    QVERIFY(checks.DataValida);
    checks.Verifica_Data(QStringLiteral("5/3/2024"));
    QVERIFY(!checks.DataValida);
    // A bad date stops the check before the time: HoraValida stays true.
    checks.Verifica_data2(QStringLiteral("31/04/2024"), QString());
    QVERIFY(!checks.DataValida);
    QVERIFY(checks.HoraValida);
    checks.Verifica_data2(QStringLiteral("30/04/2024"), QStringLiteral("24:00"));
    QVERIFY(checks.DataValida);
    QVERIFY(!checks.HoraValida);
    checks.Verifica_data2(QStringLiteral("30/04/2024"), QStringLiteral("12:07"));
    QVERIFY(checks.DataValida && checks.HoraValida);
}

void TestIncludePanel::schedule_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QByteArray>("before"); // empty: no file yet
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("message"); // empty: scheduled
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QByteArray>("after");

    const QDateTime secondOne = Afternoon.addSecs(1);
    const QByteArray stored("06/12/202618:00Dentista\r\n");
    QTest::newRow("later today, no file yet") << Afternoon << QByteArray() << "06/12/2026"
                                              << "15"
                                              << "00"
                                              << "Reunião"
                                              << ""
                                              << "txtdata" << QByteArray("06/12/202615:00Reuni\xe3o\r\n");
    QTest::newRow("this minute at second 00") << Afternoon << stored << "06/12/2026"
                                              << "14"
                                              << "30"
                                              << "Agora"
                                              << ""
                                              << "txtdata" << stored + "06/12/202614:30Agora\r\n";
    QTest::newRow("this minute at second 01") << secondOne << stored << "06/12/2026"
                                              << "14"
                                              << "30"
                                              << "Agora"
                                              << "Você está tentando incluir uma hora já vencida!"
                                              << "cboHora" << stored;
    QTest::newRow("a later day is never too late") << secondOne << stored << "07/12/2026"
                                                   << "00"
                                                   << "00"
                                                   << "Cedo"
                                                   << ""
                                                   << "txtdata" << stored + "07/12/202600:00Cedo\r\n";
    QTest::newRow("yesterday, no hour: the date first") << Afternoon << stored << "05/12/2026"
                                                        << ""
                                                        << ""
                                                        << "x"
                                                        << "Você está tentando incluir uma data já vencida!"
                                                        << "txtdata" << stored;
    QTest::newRow("eight-character date") << Afternoon << stored << "1/2/2030"
                                          << "10"
                                          << "00"
                                          << "x"
                                          << "Data no formato inválido! (dd/mm/aaaa)"
                                          << "cmdinc" << stored; // the focus stays where the click put it
    QTest::newRow("no hour") << Afternoon << stored << "07/12/2026"
                             << ""
                             << "00"
                             << "x"
                             << "Por favor, Informar a Hora!"
                             << "cboHora" << stored;
    QTest::newRow("no minute") << Afternoon << stored << "07/12/2026"
                               << "10"
                               << ""
                               << "x"
                               << "Por favor, Informar o Minuto!"
                               << "cboMinuto" << stored;
    QTest::newRow("spaces only") << Afternoon << stored << "07/12/2026"
                                 << "10"
                                 << "00"
                                 << "   "
                                 << "Por favor, Informar a Descrição!"
                                 << "txtincdesc" << stored;
    QTest::newRow("line breaks only") << Afternoon << stored << "07/12/2026"
                                      << "10"
                                      << "00"
                                      << " \n "
                                      << "Por favor, Informar a Descrição!"
                                      << "txtincdesc" << stored;
    QTest::newRow("a tab is a description") << Afternoon << QByteArray() << "07/12/2026"
                                            << "10"
                                            << "00"
                                            << "\t"
                                            << ""
                                            << "txtdata" << QByteArray("07/12/202610:00\t\r\n");
    QTest::newRow("a taken moment") << Afternoon << stored << "06/12/2026"
                                    << "18"
                                    << "00"
                                    << "x"
                                    << "Já existe mensagem cadastrada para esta data e hora!"
                                    << "txtdata" << stored;
    QTest::newRow("leading and trailing spaces kept")
        << Afternoon << stored << "08/12/2026"
        << "09"
        << "05"
        << "   três  "
        << ""
        << "txtdata" << stored + "08/12/202609:05   tr\xeas  \r\n";
    QTest::newRow("pasted line breaks never split the line")
        << Afternoon << QByteArray() << "08/12/2026"
        << "09"
        << "05"
        << "um\ndois\r\ntrês"
        << ""
        << "txtdata" << QByteArray("08/12/202609:05umdoistr\xeas\r\n");
}

void TestIncludePanel::schedule()
{
    QFETCH(QDateTime, now);
    QFETCH(QByteArray, before);
    QFETCH(QString, date);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, description);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(QByteArray, after);
    if (!before.isEmpty()) {
        put(before);
    }
    Clock::setNowForTesting(now);
    field<QLineEdit>("txtdata")->setText(date);
    choose("cboHora", hour);
    choose("cboMinuto", minute);
    field<LimitedTextEdit>("txtincdesc")->setText(description);
    field("txtincdesc")->setFocus();

    QTest::mouseClick(field("cmdinc"), Qt::LeftButton);
    QCOMPARE(MessageBox::takeShown(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(bytes(), after);
    if (message.isEmpty()) {
        // Ready for the next one, and the scan is running.
        QCOMPARE(field<QLineEdit>("txtdata")->text(), QStringLiteral("06/12/2026"));
        QVERIFY(field<QComboBox>("cboHora")->currentText().isEmpty());
        QVERIFY(field<QComboBox>("cboMinuto")->currentText().isEmpty());
        QVERIFY(field<LimitedTextEdit>("txtincdesc")->text().isEmpty());
        QVERIFY(m_window->timer()->isActive());
    } else {
        QCOMPARE(field<QLineEdit>("txtdata")->text(), date);
        QCOMPARE(field<QComboBox>("cboHora")->currentText(), hour);
        QCOMPARE(field<QComboBox>("cboMinuto")->currentText(), minute);
        QCOMPARE(field<LimitedTextEdit>("txtincdesc")->text(), description);
        QVERIFY(!m_window->timer()->isActive());
    }
}

void TestIncludePanel::clashThenAnotherMinute()
{
    put("07/12/202610:00a\r\n");
    field<QLineEdit>("txtdata")->setText(QStringLiteral("07/12/2026"));
    choose("cboHora", QStringLiteral("10"));
    choose("cboMinuto", QStringLiteral("00"));
    field<LimitedTextEdit>("txtincdesc")->setText(QStringLiteral("b"));
    QTest::mouseClick(field("cmdinc"), Qt::LeftButton);
    QCOMPARE(MessageBox::takeShown().size(), 1);
    choose("cboMinuto", QStringLiteral("05"));
    QTest::mouseClick(field("cmdinc"), Qt::LeftButton);
    QVERIFY(MessageBox::takeShown().isEmpty());
    QCOMPARE(bytes(), QByteArray("07/12/202610:00a\r\n07/12/202610:05b\r\n"));
}

void TestIncludePanel::failedWriteKeepsTheFields()
{
    // The data folder's name is taken by a plain file, so nothing can be written.
    QFile blocker(DataFolder::path());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    field<QLineEdit>("txtdata")->setText(QStringLiteral("07/12/2026"));
    choose("cboHora", QStringLiteral("10"));
    choose("cboMinuto", QStringLiteral("00"));
    field<LimitedTextEdit>("txtincdesc")->setText(QStringLiteral("Guardar"));
    QTest::mouseClick(field("cmdinc"), Qt::LeftButton);
    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().startsWith(QStringLiteral("Não foi possível gravar")), qPrintable(shown.first()));
    QCOMPARE(field<QLineEdit>("txtdata")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(field<QComboBox>("cboHora")->currentText(), QStringLiteral("10"));
    QCOMPARE(field<QComboBox>("cboMinuto")->currentText(), QStringLiteral("00"));
    QCOMPARE(field<LimitedTextEdit>("txtincdesc")->text(), QStringLiteral("Guardar"));
    QVERIFY(QFileInfo(DataFolder::path()).isFile());
}

void TestIncludePanel::dayButtons_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("message");

    // Today is 06/12/2026.
    QTest::newRow("- 1 on today") << "06/12/2026"
                                  << "cmdme1"
                                  << "06/12/2026" << false;
    QTest::newRow("- 1 on tomorrow") << "07/12/2026"
                                     << "cmdme1"
                                     << "06/12/2026" << false;
    QTest::newRow("- 1 far ahead") << "10/01/2027"
                                   << "cmdme1"
                                   << "09/01/2027" << false;
    QTest::newRow("- 7 across the month") << "03/01/2027"
                                          << "cmdme7"
                                          << "27/12/2026" << false;
    QTest::newRow("- 30 on ten days ahead") << "16/12/2026"
                                            << "cmdme30"
                                            << "06/12/2026" << false;
    QTest::newRow("- 10 on three days ahead") << "09/12/2026"
                                              << "cmdme10"
                                              << "06/12/2026" << false;
    QTest::newRow("- 10 far ahead") << "26/12/2026"
                                    << "cmdme10"
                                    << "16/12/2026" << false;
    QTest::newRow("- 10 on a past date") << "01/01/2020"
                                         << "cmdme10"
                                         << "06/12/2026" << false;
    QTest::newRow("+30 across a leap February") << "15/02/2024"
                                                << "cmdma30"
                                                << "16/03/2024" << false;
    QTest::newRow("+ 1 across the year") << "31/12/2024"
                                         << "cmdma1"
                                         << "01/01/2025" << false;
    QTest::newRow("+ 7 from a past date") << "01/01/2020"
                                          << "cmdma7"
                                          << "08/01/2020" << false;
    QTest::newRow("+10") << "25/12/2026"
                         << "cmdma10"
                         << "04/01/2027" << false;
    QTest::newRow("+10 on letters") << "amanhã"
                                    << "cmdma10"
                                    << "amanhã" << true;
    QTest::newRow("- 1 on a short date") << "1/2/2030"
                                         << "cmdme1"
                                         << "1/2/2030" << true;
}

void TestIncludePanel::dayButtons()
{
    QFETCH(QString, start);
    QFETCH(QString, button);
    QFETCH(QString, expected);
    QFETCH(bool, message);
    auto* date = field<QLineEdit>("txtdata");
    date->setText(start);
    field("cboMinuto")->setFocus();
    QTest::mouseClick(child(m_window.get(), button), Qt::LeftButton);
    QCOMPARE(date->text(), expected);
    QCOMPARE(MessageBox::takeShown(),
             message ? QStringList{QStringLiteral("Data no formato inválido! (dd/mm/aaaa)")} : QStringList());
}

void TestIncludePanel::hourAndMinuteComeFromTheLists()
{
    auto* hour = field<QComboBox>("cboHora");
    auto* minute = field<QComboBox>("cboMinuto");
    // Typing or pasting leaves the box empty.
    QTest::keyClicks(hour, QStringLiteral("1"));
    QVERIFY(hour->currentText().isEmpty());
    QApplication::clipboard()->setText(QStringLiteral("7"));
    QTest::keyPress(minute, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(minute->currentText().isEmpty());
    QMimeData dragged;
    dragged.setText(QStringLiteral("7"));
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(minute->lineEdit(), &drop);
    QVERIFY(minute->currentText().isEmpty());
    QCOMPARE(hour->count(), 24);
    QCOMPARE(minute->count(), 12);

    // Choosing an item moves on to the next field.
    choose("cboHora", QStringLiteral("09"));
    QCOMPARE(QApplication::focusWidget(), minute);
    choose("cboMinuto", QStringLiteral("45"));
    QCOMPARE(QApplication::focusWidget(), field("txtincdesc"));

    // A key typed in a box empties it, whatever was chosen; a release it had
    // no press for (a modifier, a shortcut's key) types nothing.
    QTest::keyRelease(hour, Qt::Key_Shift);
    QTest::keyRelease(hour, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(hour->currentText(), QStringLiteral("09"));
    // A Tab pressed in the box leaves it; the release of a later Tab that
    // comes in from the date is no typing in it either.
    hour->setFocus();
    QTest::keyPress(hour, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), minute);
    QTest::keyRelease(minute, Qt::Key_Tab);
    auto* date = field("txtdata");
    date->setFocus();
    QTest::keyPress(date, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), hour);
    QTest::keyRelease(hour, Qt::Key_Tab);
    QCOMPARE(hour->currentText(), QStringLiteral("09"));
    QCOMPARE(minute->currentText(), QStringLiteral("45"));
    QTest::keyClick(hour, Qt::Key_5);
    QVERIFY(hour->currentText().isEmpty());
    QCOMPARE(minute->currentText(), QStringLiteral("45"));
}

void TestIncludePanel::openingResetsDateHourAndMinute()
{
    choose("cboHora", QStringLiteral("09"));
    choose("cboMinuto", QStringLiteral("45"));
    field<QLineEdit>("txtdata")->setText(QStringLiteral("01/01/2030"));
    field<LimitedTextEdit>("txtincdesc")->setText(QStringLiteral("fica"));
    QTest::mouseClick(field("cmdcaninc"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(field<QComboBox>("cboHora")->currentText(), QStringLiteral("09")); // hiding clears nothing

    Clock::setNowForTesting(Afternoon.addDays(1));
    m_window->showIncludePanel();
    QVERIFY(m_window->isVisible());
    QVERIFY(field("fraInc")->isVisible());
    QVERIFY(!field("frarev")->isVisible());
    QCOMPARE(field<QLineEdit>("txtdata")->text(), QStringLiteral("07/12/2026"));
    QVERIFY(field<QComboBox>("cboHora")->currentText().isEmpty());
    QVERIFY(field<QComboBox>("cboMinuto")->currentText().isEmpty());
    QCOMPARE(field<LimitedTextEdit>("txtincdesc")->text(), QStringLiteral("fica"));
}

QTEST_MAIN(TestIncludePanel)
#include "TestIncludePanel.moc"
