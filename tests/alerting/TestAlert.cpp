#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "alerting/WavFile.h"
#include "ui/LimitedTextEdit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <optional>

using namespace TestSupport;

const QDateTime Evening(QDate(2026, 12, 31), QTime(18, 3, 47));
const QString Exists = QStringLiteral("Já existe mensagem cadastrada para esta data e hora!");
const QString NotWritten = QStringLiteral("Não foi possível gravar o arquivo de lembretes");
// Timer1, the main window's input, then the menu's Incluir, Rever, Sobre and Encerrar.
const QList<bool> Idle{true, true, true, true, true, true}, Alerting{false, false, false, false, false, true};
// clang-format off
struct Press { QByteArray before; int item; QString interval; QByteArray after; QString message; QString text = {}; bool full = false; const char* button = "cdmAdiar"; };
// clang-format on
Q_DECLARE_METATYPE(Press)

class TestAlert : public QObject
{
    Q_OBJECT
    std::optional<Program> p;

    AlertWindow* tick() { return p->window->scan().tick(), p->window->scan().alert(); }
    QList<bool> on() const
    {
        QList<bool> all{p->window->timer()->isActive(), child(p->window, "centralwidget")->isEnabled()};
        for (const char* menu : {"mnuInc", "mnuRev", "mnuSobre", "mnuEncerrar"})
            all << child<QAction>(p->window, menu)->isEnabled();
        return all;
    }

private Q_SLOTS:
    void init() { p.emplace(Evening); }
    void cleanup() { p.reset(); }

    void scanRestsWhileTheFileIsMissing()
    {
        QVERIFY(QDir().mkdir(DataFolder::reminderFile())); // unreadable for now: it keeps looking
        QVERIFY(!tick() && p->window->timer()->isActive());
        QVERIFY(QDir().rmdir(DataFolder::reminderFile()));
        QVERIFY(!tick() && !p->window->timer()->isActive());
        QVERIFY(p->putReminders({}));
        QVERIFY(!tick() && p->window->timer()->isActive()); // an empty file is read
    }

    void buttons_data()
    {
        QTest::addColumn<Press>("row"); // item: in the interval list, or -1 to type the interval
        const QByteArray due = stored({"31/12/202618:00Ceia"}), fogos = stored({"01/01/202700:00Fogos"});
        const QByteArray big = due + stored({"01/01/203000:00" + QByteArray(150, 'b')});
        // clang-format off
        QTest::newRow("to the end, new text") << Press{due + fogos, 4, "45 minutos", fogos + "31/12/202618:48 Ceia adiada \r\n", "", " Ceia adiada "};
        QTest::newRow("no text") << Press{due, 10, "02 dias", "02/01/202718:03\r\n", "", ""};
        QTest::newRow("clash") << Press{due + "31/12/202618:48x\r\n", 4, "45 minutos", due + "31/12/202618:48x\r\n", Exists};
        QTest::newRow("not an interval: its own minute") << Press{"31/12/202618:03x\r\n", -1, "1", "31/12/202618:03x\r\n", Exists};
        QTest::newRow("nothing chosen") << Press{due, -1, "", due, "Por favor, Informar o tempo para Adiar!"};
#ifdef Q_OS_UNIX // a full disk is a file size limit, which Windows lacks
        QTest::newRow("postponed on a full disk") << Press{big, 5, "01 hora", big, NotWritten, {}, true};
        QTest::newRow("deleted on a full disk") << Press{big, -1, "", big, NotWritten, {}, true, "cmdApagar"};
#endif
        // clang-format on
    }
    void buttons()
    {
        QFETCH(Press, row);
        QVERIFY(writeFile(DataFolder::reminderFile(), row.before));
        p->window->showReviewPanel(); // gives way to the alert
        QPointer<AlertWindow> alert = tick();
        QVERIFY(alert && QTest::qWaitForWindowActive(alert) && !p->window->isVisible());
        // The main window's clock waits for the alert to end.
        const QLabel* clock = child<QLabel>(p->window, "lblhora");
        const QString stopped = clock->text();
        Clock::setNowForTesting(Evening.addSecs(1));
        QTest::qWait(20);
        QCOMPARE(clock->text(), stopped);
        QTRY_VERIFY(alert->takesInput()); // keys and clicks come after its first moment
        auto* box = child<QComboBox>(alert, "cboadia");
        row.item < 0 ? QTest::keyClicks(box, row.interval) : box->setCurrentIndex(row.item);
        QTest::keyClick(box, Qt::Key_Return); // adds nothing to the list, presses no button
        QTest::keyClick(alert, Qt::Key_Escape); // no cancel button
        QCOMPARE(box->currentText(), row.interval);
        QVERIFY(box->count() == 13 && alert->isVisible());
        if (!row.text.isNull())
            child<LimitedTextEdit>(alert, "txtmsg")->setText(row.text);
        {
#ifdef Q_OS_UNIX
            const FileSizeLimit limit(row.full ? 100 : 1 << 20);
#endif
            QTest::mouseClick(child(alert, row.button), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(MessageBox::takeShown().join(u'|').left(row.full ? NotWritten.size() : -1), row.message);
        QCOMPARE(p->reminders(), row.after);
        QCOMPARE(p->sound.stops, 1);
        QCOMPARE(on(), row.message.isEmpty() ? Idle : Alerting);
        QCOMPARE(alert.isNull(), row.message.isEmpty());
        if (alert.isNull())
            QTRY_VERIFY(clock->text() != stopped);
    }

    void wholeWav() // else the built-in alarm plays
    {
        // clang-format off
        const auto le = [](quint32 n) { return QByteArray(1, char(n)) + char(n >> 8) + char(n >> 16) + char(n >> 24); };
        const auto chunk = [&](const char* id, const QByteArray& body, quint32 stated) { return id + le(stated) + body + QByteArray(body.size() & 1, 0); };
        const auto wav = [&](const QByteArray& chunks) { return "RIFF" + le(28 + chunks.size()) + "WAVEfmt " + le(16) + QByteArray(16, 1) + chunks; };
        const std::tuple<const char*, QByteArray, bool> files[] = {
            {"whole", wav(chunk("data", QByteArray(100, 7), 100)), true},
            {"odd chunk first", wav(chunk("LIST", "abc", 3) + chunk("data", QByteArray(10, 7), 10)), true},
            {"cut short", wav(chunk("data", QByteArray(100, 7), 1000)), false},
            {"no samples", wav(chunk("data", {}, 0)), false},
            {"no data chunk", wav({}), false},
            {"empty", {}, false},
            {"not a WAV", "RIFX" + wav(chunk("data", QByteArray(100, 7), 100)).mid(4), false},
            {"stray bytes after the last chunk", wav("abc"), false},
        };
        // clang-format on
        for (const auto& [name, bytes, whole] : files)
            QVERIFY2(writeFile(DataFolder::alarmSound(), bytes)
                         && WavFile::isWhole(DataFolder::alarmSound()) == whole,
                     name);

        // The format chunk, which tells whether the system can play the sound
        // at all, is the one before the data, whole.
        // clang-format off
        const QByteArray format = QByteArray::fromHex("341201002256000044ac000002001000");
        const auto riff = [&](const QByteArray& chunks) { return "RIFF" + le(4 + chunks.size()) + "WAVE" + chunks; };
        const std::tuple<const char*, QByteArray, QByteArray> formats[] = {
            {"after another chunk", riff(chunk("LIST", "abc", 3) + chunk("fmt ", format, 16) + chunk("data", "ab", 2)), format},
            {"only after the data", riff(chunk("data", "ab", 2) + chunk("fmt ", format, 16)), {}},
            {"cut short", riff(chunk("fmt ", format.left(10), 16)), {}},
        };
        // clang-format on
        for (const auto& [name, bytes, expected] : formats)
            QVERIFY2(writeFile(DataFolder::alarmSound(), bytes)
                         && WavFile::format(DataFolder::alarmSound()) == expected,
                     name);
    }
};

QTEST_MAIN(TestAlert)
#include "TestAlert.moc"
