#include "alerting/DueRule.h"
#include "alerting/Postpone.h"

#include <QRandomGenerator>
#include <QTest>

namespace {
QDateTime at(int day, int month, int year, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

// The due rule written out the slow way, over lines cut as the file store
// cuts them, to check the byte-level scan against.
std::optional<Lembrete> reference(const QByteArray& bytes, const QDateTime& now)
{
    QByteArray normal = bytes;
    normal.replace("\r\n", "\n");
    normal.replace('\r', '\n');
    QList<QByteArray> lines = normal.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (const QByteArray& line : lines) {
        const Lembrete entry = Lembrete::fromLine(QString::fromLatin1(line));
        const QDate date = QDate::fromString(entry.data.trimmed(), QStringLiteral("d/M/yyyy"));
        const QTime time = QTime::fromString(entry.hora.trimmed(), QStringLiteral("H:m"));
        if (date.isValid() && time.isValid()
            && (date < now.date()
                || (date == now.date()
                    && now.time().toString(QStringLiteral("HH:mm:ss"))
                        > time.toString(QStringLiteral("HH:mm:ss"))))) {
            return entry;
        }
    }
    return std::nullopt;
}
} // namespace

class TestDueRule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstDue_data();
    void firstDue();
    void scannerAgreesWithAFreshWalk();
    void newMoment_data();
    void newMoment();
};

void TestDueRule::firstDue_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("due"); // the line raised, or empty for none

    const QDateTime afternoon = at(6, 12, 2026, 14, 30, 1);
    QTest::newRow("empty file") << QByteArray() << afternoon << "";
    QTest::newRow("this minute, second 00")
        << QByteArray("06/12/202614:30a\r\n") << at(6, 12, 2026, 14, 30, 0) << "";
    QTest::newRow("this minute, second 01")
        << QByteArray("06/12/202614:30a\r\n") << afternoon << "06/12/202614:30a";
    QTest::newRow("later today") << QByteArray("06/12/202614:31a\r\n") << afternoon << "";
    QTest::newRow("yesterday 23:59 just after midnight")
        << QByteArray("05/12/202623:59a\r\n") << at(6, 12, 2026, 0, 0, 30) << "05/12/202623:59a";
    QTest::newRow("tomorrow 00:00 never today")
        << QByteArray("07/12/202600:00a\r\n") << at(6, 12, 2026, 23, 59, 59) << "";
    QTest::newRow("earlier years and months")
        << QByteArray("01/01/203000:00f\r\n31/12/202523:59y\r\n") << afternoon << "31/12/202523:59y";
    QTest::newRow("two due: file order, not time order")
        << QByteArray("01/01/203000:00f\r\n05/12/202610:00b\r\n01/12/202610:00a\r\n") << afternoon
        << "05/12/202610:00b";
    QTest::newRow("malformed lines before a due one")
        << QByteArray("\r\nhello\r\n31/02/202010:00x\r\n01/12/202625:00x\r\n01/12/20261200x\r\n"
                      "02/12/202612:00due\r\n")
        << afternoon << "02/12/202612:00due";
    QTest::newRow("hand-edited date and time")
        << QByteArray(" 5/12/2026 9:30blanks\r\n") << afternoon << " 5/12/2026 9:30blanks";
    QTest::newRow("LF and lone CR line ends")
        << QByteArray("01/01/203000:00f\n01/01/203000:01f\r02/12/202612:00due") << afternoon
        << "02/12/202612:00due";
    QTest::newRow("short line with a time of four characters")
        << QByteArray("01/12/202612:3") << afternoon << "01/12/202612:3";
    QTest::newRow("description with slashes and colons")
        << QByteArray("01/12/202612:0001/01/2000 00:00\t/:\r\n") << afternoon
        << "01/12/202612:0001/01/2000 00:00\t/:";
    QTest::newRow("Windows-1252 text") << QByteArray("01/12/202612:00Reuni\xe3o \x80\r\n") << afternoon
                                       << QStringLiteral("01/12/202612:00Reunião €");
    QTest::newRow("day 00 and month 13 in the past never ring")
        << QByteArray("00/12/202612:00x\r\n05/13/202512:00x\r\n") << afternoon << "";
}

void TestDueRule::firstDue()
{
    QFETCH(QByteArray, file);
    QFETCH(QDateTime, now);
    QFETCH(QString, due);
    const std::optional<Lembrete> found = DueRule::firstDue(file, now);
    QCOMPARE(found ? found->toLine() : QString(), due);
    QCOMPARE(found.has_value(), reference(file, now).has_value());
    if (found) {
        QCOMPARE(found->data, reference(file, now)->data);
    }
}

void TestDueRule::scannerAgreesWithAFreshWalk()
{
    // The same bytes read tick after tick while the clock moves on, then the
    // file changed under it, sometimes to the same size.
    QRandomGenerator random(20261206);
    DueRule::Scanner scanner;
    QByteArray file;
    QDateTime now = at(6, 12, 2026, 23, 58, 0);
    int raised = 0;
    for (int round = 0; round < 3000; ++round) {
        if (random.bounded(10) == 0) {
            const QDateTime when = now.addSecs(random.bounded(-60, 600));
            QByteArray line = when.toString(QStringLiteral("dd/MM/yyyyHH:mm")).toLatin1() + "x\r\n";
            if (random.bounded(5) == 0) {
                line[random.bounded(15)] = 'z'; // malformed
            }
            file = random.bounded(3) == 0 ? line + file.mid(line.size()) : file + line;
        }
        now = now.addSecs(random.bounded(3));
        const QByteArray read(file.constData(), file.size()); // a fresh buffer, as each tick reads
        const std::optional<Lembrete> expected = DueRule::firstDue(read, now);
        QCOMPARE(scanner.firstDue(read, now), expected);
        if (expected) {
            ++raised; // and deleted, as from the alert
            file.replace(expected->toLine().toLatin1() + "\r\n", QByteArray());
        }
    }
    QVERIFY(raised > 0);
}

void TestDueRule::newMoment_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("moment");

    const QDateTime evening = at(31, 12, 2026, 18, 3, 47);
    QTest::newRow("05 minutos") << evening << "05 minutos"
                                << "31/12/2026 18:08";
    QTest::newRow("45 minutos across the hour") << evening << "45 minutos"
                                                << "31/12/2026 18:48";
    QTest::newRow("08 horas across the year") << evening << "08 horas"
                                              << "01/01/2027 02:03";
    QTest::newRow("01 hora across the year") << at(31, 12, 2026, 23, 30, 10) << "01 hora"
                                             << "01/01/2027 00:30";
    QTest::newRow("01 semana across February") << at(28, 2, 2026, 10, 0, 0) << "01 semana"
                                               << "07/03/2026 10:00";
    QTest::newRow("01 dia onto a leap day") << at(28, 2, 2028, 9, 15, 59) << "01 dia"
                                            << "29/02/2028 09:15";
    QTest::newRow("03 dias across the month") << at(30, 4, 2026, 7, 0, 0) << "03 dias"
                                              << "03/05/2026 07:00";
    QTest::newRow("another word: now") << evening << "amanhã"
                                       << "31/12/2026 18:03";
    QTest::newRow("a capital letter: now") << evening << "05 Minutos"
                                           << "31/12/2026 18:03";
    QTest::newRow("one digit: now") << evening << "5 minutos"
                                    << "31/12/2026 18:03";
    QTest::newRow("a trailing blank: now") << evening << "01 hora "
                                           << "31/12/2026 18:03";
}

void TestDueRule::newMoment()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, choice);
    QFETCH(QString, moment);
    QCOMPARE(Postpone::newMoment(choice, now), moment);
}

QTEST_GUILESS_MAIN(TestDueRule)
#include "TestDueRule.moc"
