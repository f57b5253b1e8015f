#include "alerting/DueRule.h"
#include "alerting/Postpone.h"
#include "entry/DateTimeRules.h"
#include "reminders/MomentText.h"
#include "review/ReviewList.h"

#include <QRandomGenerator>
#include <QTest>

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
    void newMoment();
    void reviewOrder();
};

void TestRules::dateAndTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("passes"); // the entry rule it passes, if any
    QTest::addColumn<QString>("read"); // the value a reader takes, written back; empty: none
    // clang-format off
    QTest::newRow("ten characters") << "05/03/2024" << "date" << "05/03/2024";
    QTest::newRow("short day and month, blanks after") << "5/3/2024  " << "" << "05/03/2024";
    QTest::newRow("dashes") << "05-03-2024" << "" << "";
    QTest::newRow("two-digit year") << "05/03/24" << "" << "";
    QTest::newRow("31 April") << "31/04/2024" << "" << "";
    QTest::newRow("29 Feb common year") << "29/02/2023" << "" << "";
    QTest::newRow("29 Feb leap year") << "29/02/2024" << "date" << "29/02/2024";
    QTest::newRow("month 13") << "01/13/2024" << "" << "";
    QTest::newRow("31 December") << "31/12/2024" << "date" << "31/12/2024";
    QTest::newRow("sign in the month") << "05/+1/2024" << "" << "";
    QTest::newRow("23:59") << "23:59" << "time" << "23:59:00";
    QTest::newRow("24:00") << "24:00" << "" << "";
    QTest::newRow("12:60") << "12:60" << "" << "";
    QTest::newRow("12.30") << "12.30" << "" << "";
    QTest::newRow("9:30") << "9:30" << "" << "09:30:00";
    QTest::newRow("12:07, not a step of five") << "12:07" << "time" << "12:07:00";
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
    QTest::newRow("empty file") << QByteArray() << "06/12/2026 14:30:01" << "";
    QTest::newRow("this minute, second 00") << QByteArray("06/12/202614:30a\r\n") << "06/12/2026 14:30:00" << "";
    QTest::newRow("this minute, second 01") << QByteArray("06/12/202614:30a\r\n") << "06/12/2026 14:30:01" << "06/12/202614:30a";
    QTest::newRow("the next minute; tomorrow, whatever its text") << QByteArray("06/12/202614:31a\r\n07/12/202612:0001/01/2000 00:00\t/:\r\n") << "06/12/2026 14:30:01" << "";
    QTest::newRow("yesterday 23:59 just after midnight") << QByteArray("05/12/202623:59a\r\n") << "06/12/2026 00:00:30" << "05/12/202623:59a";
    QTest::newRow("tomorrow 00:00 never today") << QByteArray("07/12/202600:00a\r\n") << "06/12/2026 23:59:59" << "";
    QTest::newRow("earlier years and months") << QByteArray("01/01/203000:00f\r\n31/12/202523:59y\r\n") << "06/12/2026 14:30:01" << "31/12/202523:59y";
    QTest::newRow("two due: file order, not time order") << QByteArray("01/01/203000:00f\r\n05/12/202610:00b\r\n01/12/202610:00a\r\n") << "06/12/2026 14:30:01" << "05/12/202610:00b";
    QTest::newRow("malformed lines never ring") << QByteArray("\r\nhello\r\n31/02/202010:00x\r\n01/12/202625:00x\r\n01/12/20261200x\r\n00/12/202612:00x\r\n05/13/202512:00x\r\n02/12/202612:00due\r\n") << "06/12/2026 14:30:01" << "02/12/202612:00due";
    QTest::newRow("hand-edited date and time") << QByteArray(" 5/12/2026 9:30blanks\r\n") << "06/12/2026 14:30:01" << " 5/12/2026 9:30blanks";
    QTest::newRow("LF, lone CR, a short last line") << QByteArray("01/01/203000:00f\n01/01/203000:01f\r01/12/202612:3") << "06/12/2026 14:30:01" << "01/12/202612:3";
    QTest::newRow("Windows-1252 text") << QByteArray("01/12/202612:00Reuni\xe3o \x80\r\n") << "06/12/2026 14:30:01" << "01/12/202612:00Reunião €";
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

// The first due line of well-formed lines, found the plain way.
static QString freshWalk(const QByteArray& file, const QDateTime& now)
{
    for (const QByteArray& line : file.split('\n')) {
        const QDate date = QDate::fromString(QString::fromLatin1(line.left(10)), "dd/MM/yyyy");
        const QTime time = QTime::fromString(QString::fromLatin1(line.mid(10, 5)), "HH:mm");
        if (date.isValid() && std::pair(date, time) < std::pair(now.date(), now.time())) {
            return QString::fromLatin1(line.chopped(1));
        }
    }
    return {};
}

void TestRules::scannerAgreesWithAFreshWalk()
{
    // The same bytes read tick after tick while the clock moves on, then the
    // file changed under it, sometimes to the same size.
    QRandomGenerator rng(20261206);
    DueRule::Scanner scanner;
    QByteArray file;
    // In UTC, spared a time-zone look-up at every tick: the rule takes only its date and time.
    QDateTime now(QDate(2026, 12, 6), QTime(23, 58), Qt::UTC);
    for (int tick = 0; tick < 3000; ++tick) {
        if (rng.bounded(10) == 0) {
            const auto line = now.addSecs(rng.bounded(-60, 600)).toString("dd/MM/yyyyHH:mm\r\n").toLatin1();
            file = rng.bounded(3) == 0 ? line + file.mid(line.size()) : file + line;
        }
        now = now.addSecs(rng.bounded(3));
        const std::optional<Lembrete> due = scanner.firstDue(QByteArray(file.constData(), file.size()), now);
        QCOMPARE(due ? due->toLine() : QString(), freshWalk(file, now));
        if (due) { // and deleted, as from the alert
            file.replace(due->toLine().toLatin1() + "\r\n", "");
        }
    }
}

void TestRules::newMoment()
{
    // clang-format off
    const QList<std::tuple<QString, QString, QString>> cases{ // now, choice, the new moment
        {"31/12/2026 18:03:47", "05 minutos", "31/12/2026 18:08"},
        {"31/12/2026 18:03:47", "08 horas", "01/01/2027 02:03"},
        {"28/02/2028 09:15:59", "01 dia", "29/02/2028 09:15"},
        {"30/04/2026 07:00:00", "03 dias", "03/05/2026 07:00"},
        {"28/02/2026 10:00:00", "01 semana", "07/03/2026 10:00"},
        {"31/12/2026 18:03:47", "05 Minutos", "31/12/2026 18:03"},
        {"31/12/2026 18:03:47", "5 minutos", "31/12/2026 18:03"},
        {"31/12/2026 18:03:47", "01 hora ", "31/12/2026 18:03"},
    };
    // clang-format on
    for (const auto& [now, choice, moment] : cases) {
        QCOMPARE(Postpone::newMoment(choice, QDateTime::fromString(now, "dd/MM/yyyy HH:mm:ss")), moment);
    }
}

void TestRules::reviewOrder()
{
    // clang-format off
    const QList<std::pair<QStringList, QStringList>> cases{
        {{"01/01/2031 00:00", "31/12/2030 23:59", "02/01/2030 00:00", "01/02/2030 00:00"}, {"02/01/2030 00:00", "01/02/2030 00:00", "31/12/2030 23:59", "01/01/2031 00:00"}},
        // Not moments: no blank, no such time, none at all.
        {{"b", "02/01/2030 00:00", "01/01/203000:00", " ", "01/01/2030 24:00", "01/01/2030 00:00", "a"}, {"01/01/2030 00:00", "02/01/2030 00:00", "b", "01/01/203000:00", " ", "01/01/2030 24:00", "a"}},
        // The same moment, hand-edited or not, keeps its order.
        {{"01/01/2030 00:00", "01/01/2029 00:00", " 1/01/2030  0:00"}, {"01/01/2029 00:00", "01/01/2030 00:00", " 1/01/2030  0:00"}},
    };
    // clang-format on
    for (auto [items, sorted] : cases) {
        ReviewList::sortItems(items);
        QCOMPARE(items, sorted);
    }
}

QTEST_GUILESS_MAIN(TestRules)
#include "TestRules.moc"
