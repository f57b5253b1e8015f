
#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "alerting/Postpone.h"
#include "alerting/QtAlarmSound.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "shell/MainWindow.h"
#include "ui/LimitedTextEdit.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace {
using TestSupport::child;

const QDateTime Evening(QDate(2026, 12, 31), QTime(18, 3, 47));
const QString Exists = QStringLiteral("Já existe mensagem cadastrada para esta data e hora!");
} // namespace

class TestAlert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dueRemindersOneAfterAnother();
    void closedAlertComesBack();
    void reviewPanelHiddenByAnAlert_data();
    void reviewPanelHiddenByAnAlert();
    void scanRestsWhileTheFileIsMissing();
    void postpone_data();
    void postpone();
    void failedWritesKeepTheAlert();
    void intervalBoxKeepsWhatIsTyped();
    void wholeWav_data();
    void wholeWav();

private:
    void put(const QByteArray& content) const;
    QByteArray bytes() const;
    AlertWindow* tickUntilAlert();
    void endAlert(QPushButton* button);
    bool menusEnabled() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeAlarmSound> m_sound;
    std::unique_ptr<MainWindow> m_window;
};

void TestAlert::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    DataFolder::setPathForTesting(m_dir->filePath(QStringLiteral("quedrino")));
    QVERIFY(QDir().mkpath(DataFolder::path()));
    Clock::setNowForTesting(Evening);
    MessageBox::setScripted(true);
    m_sound = std::make_unique<FakeAlarmSound>();
    m_window = std::make_unique<MainWindow>(true, *m_sound);
}

void TestAlert::cleanup()
{
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_sound.reset();
    MessageBox::takeShown();
    MessageBox::setScripted(false);
    Clock::setNowForTesting({});
    DataFolder::setPathForTesting({});
}

void TestAlert::put(const QByteArray& content) const
{
    QVERIFY(TestSupport::writeFile(DataFolder::reminderFile(), content));
}

QByteArray TestAlert::bytes() const
{
    return TestSupport::readFile(DataFolder::reminderFile());
}

AlertWindow* TestAlert::tickUntilAlert()
{
    m_window->scan().tick();
    return m_window->scan().alert();
}

// Presses one of the alert's buttons and lets the window go away.
void TestAlert::endAlert(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool TestAlert::menusEnabled() const
{
    bool all = true;
    for (const char* name : {"mnuInc", "mnuRev", "mnuSobre"}) {
        all = all && m_window->findChild<QAction*>(QString::fromLatin1(name))->isEnabled();
    }
    return all;
}

void TestAlert::dueRemindersOneAfterAnother()
{
    put("01/01/203010:00future\r\n30/12/202623:59Ligar para Ana\r\n31/12/202618:03later\r\n"
        "31/12/202618:00second\r\n");
    m_window->showIncludePanel();
    QTimer* timer = m_window->timer();
    auto* centre = child(m_window.get(), "centralwidget");

    AlertWindow* alert = tickUntilAlert();
    QVERIFY(alert);
    QCOMPARE(alert->windowTitle(), QStringLiteral("Aviso do Quedrino"));
    QVERIFY(alert->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(child<QLabel>(alert, "lbldata")->text(), QStringLiteral("30/12/2026"));
    QCOMPARE(child<QLabel>(alert, "lblhora")->text(), QStringLiteral("23:59"));
    QCOMPARE(child<LimitedTextEdit>(alert, "txtmsg")->text(), QStringLiteral("Ligar para Ana"));
    QCOMPARE(m_sound->played, QStringList{DataFolder::alarmSound()});
    QVERIFY(!timer->isActive());
    QVERIFY(!menusEnabled());
    QVERIFY(m_window->findChild<QAction*>(QStringLiteral("mnuEncerrar"))->isEnabled());
    QVERIFY(!centre->isEnabled());
    QVERIFY(QTest::qWaitForWindowActive(alert));
    QCOMPARE(QApplication::focusWidget(), child(alert, "txtmsg"));
    // Esc does nothing: the alert has no cancel button.
    QTest::keyClick(alert, Qt::Key_Escape);
    QVERIFY(alert->isVisible());

    // The clock was set by the tick and stands still while the alert is open.
    auto* clock = child<QLabel>(m_window.get(), "lblhora");
    const QString shown = clock->text();
    QVERIFY(shown.contains(QStringLiteral("18:03:47")) || shown.contains(QStringLiteral("6:03:47")));
    QVERIFY(child<QLabel>(m_window.get(), "lbldia")->text().contains(QStringLiteral("2026")));
    Clock::setNowForTesting(Evening.addSecs(5));
    QTest::qWait(20);
    QCOMPARE(clock->text(), shown);
    QVERIFY(m_window->scan().alert());

    // "&Apagar": gone from the file, the others in their order; the next due one follows.
    endAlert(child<QPushButton>(alert, "cmdApagar"));
    QVERIFY(!m_window->scan().alert());
    QCOMPARE(m_sound->stops, 1);
    QCOMPARE(bytes(),
             QByteArray("01/01/203010:00future\r\n31/12/202618:03later\r\n31/12/202618:00second\r\n"));
    QVERIFY(timer->isActive());
    QVERIFY(menusEnabled());
    QVERIFY(centre->isEnabled());

    // File order decides: 18:03 is due too by now, and comes before 18:00.
    for (const char* next : {"later", "second"}) {
        alert = tickUntilAlert();
        QVERIFY(alert);
        QCOMPARE(child<LimitedTextEdit>(alert, "txtmsg")->text(), QString::fromLatin1(next));
        endAlert(child<QPushButton>(alert, "cmdApagar"));
    }
    QCOMPARE(bytes(), QByteArray("01/01/203010:00future\r\n"));
    QVERIFY(!tickUntilAlert());
    QVERIFY(timer->isActive());
    QCOMPARE(m_sound->played.size(), 3);
}

void TestAlert::closedAlertComesBack()
{
    const QByteArray content("30/12/202609:00due\r\n");
    put(content);
    QPointer<AlertWindow> alert = tickUntilAlert();
    QVERIFY(alert);
    QVERIFY(alert->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alert);
    QCOMPARE(bytes(), content);
    QVERIFY(m_window->timer()->isActive());
    QVERIFY(menusEnabled());
    QCOMPARE(m_sound->stops, 0); // closing does not stop the sound

    QVERIFY(tickUntilAlert());
    QCOMPARE(m_sound->played.size(), 2); // a fresh alert, a fresh sound
    QVERIFY(child<QComboBox>(m_window->scan().alert(), "cboadia")->currentText().isEmpty());
}

void TestAlert::reviewPanelHiddenByAnAlert_data()
{
    QTest::addColumn<bool>("review");
    QTest::addColumn<bool>("visibleAfter");
    QTest::newRow("review panel") << true << false;
    QTest::newRow("include panel") << false << true;
}

void TestAlert::reviewPanelHiddenByAnAlert()
{
    QFETCH(bool, review);
    QFETCH(bool, visibleAfter);
    put("30/12/202609:00due\r\n");
    if (review) {
        m_window->showReviewPanel();
    } else {
        m_window->showIncludePanel();
    }
    AlertWindow* alert = tickUntilAlert();
    QVERIFY(alert);
    QCOMPARE(m_window->isVisible(), visibleAfter);
    endAlert(child<QPushButton>(alert, "cmdApagar"));
    QCOMPARE(m_window->isVisible(), visibleAfter);
}

void TestAlert::scanRestsWhileTheFileIsMissing()
{
    // Unreadable for now (a folder in its place): no alert, but it keeps looking.
    QTimer* timer = m_window->timer();
    QVERIFY(QDir().mkdir(DataFolder::reminderFile()));
    m_window->scan().tick();
    QVERIFY(timer->isActive());
    QVERIFY(!m_window->scan().alert());
    QVERIFY(QDir().rmdir(DataFolder::reminderFile()));

    // Missing: the scan rests, even once a due reminder turns up...
    m_window->scan().tick();
    QVERIFY(!timer->isActive());
    put("30/12/202609:00due\r\n");
    QTest::qWait(20);
    QVERIFY(!m_window->scan().alert());
    // ...until something switches Timer1 on again.
    m_window->scan().switchOn();
    QTRY_VERIFY(m_window->scan().alert());
    QVERIFY(MessageBox::takeShown().isEmpty());

    // An empty file is read, and the scan goes on.
    endAlert(child<QPushButton>(m_window->scan().alert(), "cmdApagar"));
    QCOMPARE(bytes(), QByteArray());
    m_window->scan().tick();
    QVERIFY(timer->isActive());
}

void TestAlert::postpone_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("description"); // typed over the alert's text; null keeps it
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("message");

    const QByteArray due("31/12/202618:00Ceia\r\n");
    const QByteArray other("01/01/202700:00Fogos\r\n");
    QTest::newRow("05 minutos") << due + other << "05 minutos" << QString()
                                << other + "31/12/202618:08Ceia\r\n"
                                << "";
    QTest::newRow("01 semana, edited text") << other + due << "01 semana"
                                            << "Ceia adiada" << other + "07/01/202718:03Ceia adiada\r\n"
                                            << "";
    QTest::newRow("empty description: 15 characters") << due << "01 dia"
                                                      << "" << QByteArray("01/01/202718:03\r\n") << "";
    QTest::newRow("typed text matching no interval: this minute")
        << due << "amanhã" << QString() << QByteArray("31/12/202618:03Ceia\r\n") << "";
    QTest::newRow("clash with another reminder")
        << due + "31/12/202618:08Outro\r\n"
        << "05 minutos" << QString() << due + "31/12/202618:08Outro\r\n"
        << Exists;
    QTest::newRow("the alerted reminder's own minute")
        << QByteArray("31/12/202618:03Agora\r\n") << "x" << QString()
        << QByteArray("31/12/202618:03Agora\r\n") << Exists;
    QTest::newRow("no interval") << due << "" << QString() << due
                                 << "Por favor, Informar o tempo para Adiar!";
}

void TestAlert::postpone()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, choice);
    QFETCH(QString, description);
    QFETCH(QByteArray, after);
    QFETCH(QString, message);
    put(before);
    QPointer<AlertWindow> alert = tickUntilAlert();
    QVERIFY(alert);
    auto* interval = child<QComboBox>(alert, "cboadia");
    interval->setEditText(choice);
    if (!description.isNull()) {
        child<LimitedTextEdit>(alert, "txtmsg")->setText(description);
    }
    QVERIFY(QTest::qWaitForWindowActive(alert));
    endAlert(child<QPushButton>(alert, "cdmAdiar"));

    QCOMPARE(bytes(), after);
    QCOMPARE(m_sound->stops, 1);
    if (message.isEmpty()) {
        QVERIFY(MessageBox::takeShown().isEmpty());
        QVERIFY(!alert);
        QVERIFY(m_window->timer()->isActive());
        QVERIFY(menusEnabled());
    } else {
        QCOMPARE(MessageBox::takeShown(), QStringList{message});
        QVERIFY(alert && alert->isVisible());
        QVERIFY(!m_window->timer()->isActive());
        if (message == Exists) {
            QCOMPARE(QApplication::focusWidget(), interval);
        }
    }
}

void TestAlert::failedWritesKeepTheAlert()
{
#ifdef Q_OS_UNIX
    const QByteArray content
        = "30/12/202609:00" + QByteArray(150, 'a') + "\r\n01/01/203000:00" + QByteArray(150, 'b') + "\r\n";
    put(content);
    AlertWindow* alert = tickUntilAlert();
    QVERIFY(alert);
    child<QComboBox>(alert, "cboadia")->setEditText(QStringLiteral("01 hora"));
    {
        const TestSupport::FileSizeLimit full(100);
        QVERIFY(full.isSet());
        endAlert(child<QPushButton>(alert, "cdmAdiar"));
        endAlert(child<QPushButton>(alert, "cmdApagar"));
    }

    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 2);
    for (const QString& text : shown) {
        QVERIFY2(text.startsWith(QStringLiteral("Não foi possível gravar o arquivo de lembretes")),
                 qPrintable(text));
    }
    QCOMPARE(bytes(), content);
    QCOMPARE(m_window->scan().alert(), alert);
    QCOMPARE(child<LimitedTextEdit>(alert, "txtmsg")->text(), QString(150, QLatin1Char('a')));
    QCOMPARE(child<QComboBox>(alert, "cboadia")->currentText(), QStringLiteral("01 hora"));
#else
    QSKIP("needs a file-size limit");
#endif
}

void TestAlert::intervalBoxKeepsWhatIsTyped()
{
    put("30/12/202609:00due\r\n");
    AlertWindow* alert = tickUntilAlert();
    QVERIFY(alert);
    auto* interval = child<QComboBox>(alert, "cboadia");
    QStringList items;
    for (int i = 0; i < interval->count(); ++i) {
        items << interval->itemText(i);
    }
    QCOMPARE(items, Postpone::intervalTexts());
    // Nothing is filled in while typing, and Enter adds nothing to the list.
    QTest::keyClicks(interval, QStringLiteral("1"));
    QCOMPARE(interval->currentText(), QStringLiteral("1"));
    QTest::keyClick(interval, Qt::Key_Return);
    QCOMPARE(interval->count(), 13);
    QCOMPARE(interval->currentText(), QStringLiteral("1"));
    QVERIFY(alert->isVisible()); // Enter presses no button either
}

void TestAlert::wholeWav_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("whole");
    const auto wav = [](const QByteArray& chunks) {
        QByteArray size(4, 0);
        qToLittleEndian<quint32>(quint32(4 + chunks.size()), size.data());
        return "RIFF" + size + "WAVE" + chunks;
    };
    const auto chunk = [](const char* id, const QByteArray& body, quint32 stated) {
        QByteArray size(4, 0);
        qToLittleEndian<quint32>(stated, size.data());
        return QByteArray(id) + size + body + QByteArray(body.size() & 1, 0);
    };
    const QByteArray format = chunk("fmt ", QByteArray(16, 1), 16);
    QTest::newRow("whole") << wav(format + chunk("data", QByteArray(100, 7), 100)) << true;
    QTest::newRow("an odd chunk before the data")
        << wav(format + chunk("LIST", "abc", 3) + chunk("data", QByteArray(10, 7), 10)) << true;
    QTest::newRow("cut short") << wav(format + chunk("data", QByteArray(100, 7), 1000)) << false;
    QTest::newRow("no samples") << wav(format + chunk("data", QByteArray(), 0)) << false;
    QTest::newRow("header only") << wav(format) << false;
    QTest::newRow("too short for a header") << QByteArray("RIFF") << false;
    QTest::newRow("not a WAV") << QByteArray("hello, this is not a sound at all") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestAlert::wholeWav()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, whole);
    put(file);
    QCOMPARE(QtAlarmSound::wholeWav(DataFolder::reminderFile()), whole);
}

QTEST_MAIN(TestAlert)
#include "TestAlert.moc"
