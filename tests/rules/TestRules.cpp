#include "alerting/DueRule.h"
#include "alerting/Postpone.h"
#include "entry/DateTimeRules.h"
#include "reminders/MomentText.h"
#include "reminders/Windows1252.h"
#include "review/ReviewList.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <numeric>

using namespace MomentText;

class TestRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dateAndTime_data();
    void dateAndTime();
    void firstDue_data();
    void firstDue();
    void scannerAgreesWithAFreshWalk();
    void newMomentAndReviewOrder();
    void windows1252AsTheSystemHasIt();
};

void TestRules::dateAndTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("passes"); // the entry rule it passes, if any
    QTest::addColumn<QString>("read"); // the value a reader takes, written back; empty: none
    // clang-format off
    QTest::newRow("31 December") << "31/12/2024" << "date" << "31/12/2024";
    QTest::newRow("short day and month, blanks after") << "5/3/2024  " << "" << "05/03/2024";
    QTest::newRow("two-digit year") << "05/03/24" << "" << "";
    QTest::newRow("29 Feb common year") << "29/02/2023" << "" << "";
    QTest::newRow("23:59") << "23:59" << "time" << "23:59:00";
    QTest::newRow("12:60") << "12:60" << "" << "";
    QTest::newRow("9:30") << "9:30" << "" << "09:30:00";
    QTest::newRow("seconds") << "12:30:00" << "" << "";
    // clang-format on
}

void TestRules::dateAndTime()
{
    QFETCH(QString, text);
    QFETCH(QString, passes);
    QFETCH(QString, read);
    QCOMPARE(DateTimeRules::dateRule(text) ? "date" : DateTimeRules::timeRule(text) ? "time" : "", passes);
    // A date never reads as a time, nor a time as a date.
    QCOMPARE(dateText(readDate(text)) + timeTextWithSeconds(readTime(text)), read);
}

void TestRules::firstDue_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("due"); // the line raised, or empty for none
    // clang-format off
    QTest::newRow("this minute, second 00") << QByteArray("06/12/202614:30a\r\n") << "06/12/2026 14:30:00" << "";
    QTest::newRow("this minute, second 01") << QByteArray("06/12/202614:30a\r\n") << "06/12/2026 14:30:01" << "06/12/202614:30a";
    QTest::newRow("the next minute; tomorrow, whatever its text") << QByteArray("06/12/202614:31a\r\n07/12/202612:0001/01/2000 00:00\t/:\r\n") << "06/12/2026 14:30:01" << "";
    const QByteArray midnight("07/12/202600:00b\r\n06/12/202623:59a\r\n"); // tomorrow's 00:00 first
    QTest::newRow("23:59:00") << midnight << "06/12/2026 23:59:00" << "";
    QTest::newRow("23:59:01, 00:00 is tomorrow's") << midnight << "06/12/2026 23:59:01" << "06/12/202623:59a";
    QTest::newRow("00:00:00, 23:59 was yesterday's") << midnight << "07/12/2026 00:00:00" << "06/12/202623:59a";
    QTest::newRow("00:00:01") << midnight << "07/12/2026 00:00:01" << "07/12/202600:00b";
    QTest::newRow("by year and month; file order, not time order") << QByteArray("01/01/203000:00f\r\n05/12/202610:00b\r\n31/12/202523:59y\r\n") << "06/12/2026 14:30:01" << "05/12/202610:00b";
    QTest::newRow("malformed lines never ring") << QByteArray("\r\nhello\r\n31/02/202010:00x\r\n01/12/202625:00x\r\n01/12/20261200x\r\n00/12/202612:00x\r\n05/13/202512:00x\r\n02/12/202612:00due\r\n") << "06/12/2026 14:30:01" << "02/12/202612:00due";
    QTest::newRow("hand-edited, Windows-1252 text") << QByteArray(" 5/12/2026 9:30Reuni\xe3o \x80\r\n") << "06/12/2026 14:30:01" << " 5/12/2026 9:30Reunião €";
    QTest::newRow("LF, lone CR, a short last line") << QByteArray("01/01/203000:00f\n01/01/203000:01f\r01/12/202612:3") << "06/12/2026 14:30:01" << "01/12/202612:3";
    // clang-format on
}

void TestRules::firstDue()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, now);
    QFETCH(QString, due);
    const auto found = DueRule::firstDue(file, QDateTime::fromString(now, "dd/MM/yyyy HH:mm:ss"));
    QCOMPARE(found ? found->toLine() : QString(), due);
}

void TestRules::scannerAgreesWithAFreshWalk()
{
    // The same bytes read tick after tick while the clock moves on, then the
    // file changed under it, sometimes to the same size: the scanner's
    // shortcut must never change the answer of a walk from scratch.
    QRandomGenerator rng(20261206);
    DueRule::Scanner scanner;
    QByteArray file;
    QDateTime now(QDate(2026, 12, 6), QTime(23, 58), Qt::UTC);
    for (int tick = 0; tick < 3000; ++tick) {
        if (rng.bounded(10) == 0) {
            const auto line = now.addSecs(rng.bounded(-60, 600)).toString("dd/MM/yyyyHH:mm\r\n").toLatin1();
            file = rng.bounded(3) == 0 ? line + file.mid(line.size()) : file + line;
        }
        now = now.addSecs(rng.bounded(3));
        const std::optional<Lembrete> due = DueRule::firstDue(file, now);
        QVERIFY(scanner.firstDue(QByteArray(file.constData(), file.size()), now)
                == due); // a copy, as read afresh
        if (due) { // and deleted, as from the alert
            file.replace(due->toLine().toLatin1() + "\r\n", "");
        }
    }
}

void TestRules::newMomentAndReviewOrder()
{
    const QDateTime start = QDateTime::fromString("28/02/2028 18:03:47", "dd/MM/yyyy HH:mm:ss");
    // clang-format off
    const QList<std::pair<QString, QString>> postpone{
        {"05 minutos", "28/02/2028 18:08"},
        {"10 minutos", "28/02/2028 18:13"},
        {"15 minutos", "28/02/2028 18:18"},
        {"30 minutos", "28/02/2028 18:33"},
        {"45 minutos", "28/02/2028 18:48"},
        {"01 hora", "28/02/2028 19:03"},
        {"02 horas", "28/02/2028 20:03"},
        {"04 horas", "28/02/2028 22:03"},
        {"08 horas", "29/02/2028 02:03"},
        {"01 dia", "29/02/2028 18:03"},
        {"02 dias", "01/03/2028 18:03"},
        {"03 dias", "02/03/2028 18:03"},
        {"01 semana", "06/03/2028 18:03"},
        {"05 Minutos", "28/02/2028 18:03"},
    };
    // clang-format on
    for (const auto& [choice, moment] : postpone) {
        QCOMPARE(Postpone::newMoment(choice, start), moment);
    }
    // By value; an equal moment, hand-edited or not, keeps its place; what is not a moment goes last as it
    // came.
    // clang-format off
    QStringList items{"b", "01/01/2031 00:00", "01/02/2030 00:00", "01/01/2030 00:00", "01/01/203000:00", " 1/01/2030  0:00", "31/12/2030 23:59", " ", "02/01/2030 00:00", "01/01/2030 24:00", "a"};
    ReviewList::sortItems(items);
    QCOMPARE(items, (QStringList{"01/01/2030 00:00", " 1/01/2030  0:00", "02/01/2030 00:00", "01/02/2030 00:00", "31/12/2030 23:59", "01/01/2031 00:00", "b", "01/01/203000:00", " ", "01/01/2030 24:00", "a"}));
    // clang-format on
}

// Every byte and every character of the plane that holds them all, as the
// system's own converter (ICU's) has them, where there is one.
void TestRules::windows1252AsTheSystemHasIt()
{
    const char* const name = "windows-1252";
    QStringDecoder decoder(name);
    if (!decoder.isValid())
        QSKIP("this Qt has no Windows-1252 converter (no ICU) to compare with");
    QByteArray bytes(256, 0);
    std::iota(bytes.begin(), bytes.end(), 0);
    QCOMPARE(Windows1252::decode(bytes), decoder.decode(bytes));
    QCOMPARE(Windows1252::encode(Windows1252::decode(bytes)), bytes);
    for (char16_t c = 0; c < 0xffff; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        QStringEncoder encoder(name);
        const QByteArray expected = encoder.encode(QStringView(&c, 1));
        QCOMPARE(Windows1252::encode(QString(QChar(c))), encoder.hasError() ? QByteArray("?") : expected);
    }
}

QTEST_GUILESS_MAIN(TestRules)
#include "TestRules.moc"
