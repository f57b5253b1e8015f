#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "alerting/QtAlarmSound.h"
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

    AlertWindow* tick()
    {
        p->window->scan().tick();
        return p->window->scan().alert();
    }
    void press(AlertWindow* alert, const char* button)
    {
        QTest::mouseClick(child(alert, button), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
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

    void dueRemindersOneAfterAnother()
    {
        QVERIFY(p->putReminders({"01/01/203010:00future", "30/12/202623:59Ana", "31/12/202618:03later",
                                 "31/12/202618:00second"}));
        p->window->showReviewPanel();
        QPointer<AlertWindow> alert = tick();
        QVERIFY(alert && !p->window->isVisible()); // the review panel gives way
        QCOMPARE(p->sound.played, QStringList{DataFolder::alarmSound()});
        QCOMPARE(on(), Alerting);
        QVERIFY(child<QLabel>(p->window, "lblhora")->text().contains(QStringLiteral(":03:47")));
        QTest::keyClick(alert, Qt::Key_Escape); // no cancel button
        // Closed as the window manager does: it comes back at the next tick.
        QVERIFY(alert->isVisible() && alert->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!alert && !p->window->isVisible() && p->sound.stops == 0);
        QCOMPARE(on(), Idle);
        p->window->showIncludePanel();
        QStringList shown;
        for (alert = tick(); alert && p->window->isVisible(); alert = tick()) {
            shown << child<LimitedTextEdit>(alert, "txtmsg")->text();
            QVERIFY(child<QComboBox>(alert, "cboadia")->currentText().isEmpty());
            press(alert, "cmdApagar");
        }
        QCOMPARE(shown, (QStringList{"Ana", "later", "second"})); // file order
        QCOMPARE(p->reminders(), stored({"01/01/203010:00future"}));
        QCOMPARE(on(), Idle);
        QCOMPARE(p->sound.played.size(), 4);
        QCOMPARE(p->sound.stops, 3);
    }

    void scanRestsWhileTheFileIsMissing()
    {
        QVERIFY(QDir().mkdir(DataFolder::reminderFile())); // unreadable for now: it keeps looking
        QVERIFY(!tick() && p->window->timer()->isActive());
        QVERIFY(QDir().rmdir(DataFolder::reminderFile()));
        QVERIFY(!tick() && !p->window->timer()->isActive());
        QVERIFY(p->putReminders({"30/12/202609:00due"}));
        p->window->scan().switchOn(); // as an include or the review list does
        QTRY_VERIFY(p->window->scan().alert());
        press(p->window->scan().alert(), "cmdApagar");
        QCOMPARE(p->reminders(), QByteArray());
        QVERIFY(!tick() && p->window->timer()->isActive()); // an empty file is read
    }

    void buttons_data()
    {
        QTest::addColumn<Press>("row"); // item: in the interval list, or -1 to type the interval
        const QByteArray due = stored({"31/12/202618:00Ceia"}), fogos = stored({"01/01/202700:00Fogos"});
        const QByteArray big
            = stored({"31/12/202618:00" + QByteArray(150, 'a'), "01/01/203000:00" + QByteArray(150, 'b')});
        // clang-format off
        QTest::newRow("05 minutos, to the end") << Press{due + fogos, 0, "05 minutos", fogos + "31/12/202618:08Ceia\r\n", ""};
        QTest::newRow("45 minutos") << Press{due, 4, "45 minutos", "31/12/202618:48Ceia\r\n", ""};
        QTest::newRow("01 hora") << Press{due, 5, "01 hora", "31/12/202619:03Ceia\r\n", ""};
        QTest::newRow("08 horas") << Press{due, 8, "08 horas", "01/01/202702:03Ceia\r\n", ""};
        QTest::newRow("01 dia, no text") << Press{due, 9, "01 dia", "01/01/202718:03\r\n", "", ""};
        QTest::newRow("03 dias") << Press{due, 11, "03 dias", "03/01/202718:03Ceia\r\n", ""};
        QTest::newRow("01 semana, new text") << Press{fogos + due, 12, "01 semana", fogos + "07/01/202718:03 Ceia adiada \r\n", "", " Ceia adiada "};
        QTest::newRow("typed, no interval: now") << Press{due, -1, "1", "31/12/202618:03Ceia\r\n", ""};
        QTest::newRow("clash") << Press{due + "31/12/202618:08x\r\n", 0, "05 minutos", due + "31/12/202618:08x\r\n", Exists};
        QTest::newRow("its own minute") << Press{"31/12/202618:03x\r\n", -1, "1", "31/12/202618:03x\r\n", Exists};
        QTest::newRow("nothing chosen") << Press{due, -1, "", due, "Por favor, Informar o tempo para Adiar!"};
        QTest::newRow("postponed on a full disk") << Press{big, 5, "01 hora", big, NotWritten, {}, true};
        QTest::newRow("deleted on a full disk") << Press{big, -1, "", big, NotWritten, {}, true, "cmdApagar"};
        // clang-format on
    }
    void buttons()
    {
        QFETCH(Press, row);
        QVERIFY(writeFile(DataFolder::reminderFile(), row.before));
        QPointer<AlertWindow> alert = tick();
        QVERIFY(alert && QTest::qWaitForWindowActive(alert));
        auto* box = child<QComboBox>(alert, "cboadia");
        box->setCurrentIndex(row.item);
        QTest::keyClicks(box, row.item < 0 ? row.interval : QString()); // nothing is filled in
        QTest::keyClick(box, Qt::Key_Return); // adds nothing to the list, presses no button
        QCOMPARE(box->currentText(), row.interval);
        QVERIFY(box->count() == 13 && alert->isVisible());
        if (!row.text.isNull())
            child<LimitedTextEdit>(alert, "txtmsg")->setText(row.text);
        {
            const FileSizeLimit limit(row.full ? 100 : 1 << 20);
            press(alert, row.button);
        }
        QCOMPARE(MessageBox::takeShown().join(u'|').left(row.full ? NotWritten.size() : -1), row.message);
        QCOMPARE(p->reminders(), row.after);
        QCOMPARE(p->sound.stops, 1);
        QCOMPARE(on(), row.message.isEmpty() ? Idle : Alerting);
        QCOMPARE(alert.isNull(), row.message.isEmpty());
        if (row.message == Exists)
            QCOMPARE(QApplication::focusWidget(), box);
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
            {"RIFF alone", "RIFF", false},
            {"not a WAV", "hello, this is not a sound at all", false},
        };
        // clang-format on
        for (const auto& [name, bytes, whole] : files) {
            QVERIFY(writeFile(DataFolder::alarmSound(), bytes));
            QCOMPARE(std::pair(name, QtAlarmSound::wholeWav(DataFolder::alarmSound())),
                     std::pair(name, whole));
        }
    }
};

QTEST_MAIN(TestAlert)
#include "TestAlert.moc"
