#include "entry/DateTimeRules.h"
#include "reminders/MomentText.h"

#include <QTest>

class TestRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dateRule_data();
    void dateRule();
    void timeRule_data();
    void timeRule();
    void momentsCompareAsValues();
};

void TestRules::dateRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<bool>("reads"); // as a value, the way a date reader takes it
    QTest::newRow("ten characters") << "05/03/2024" << true << true;
    QTest::newRow("short day and month") << "5/3/2024" << false << true;
    QTest::newRow("dashes") << "05-03-2024" << false << false;
    QTest::newRow("two-digit year") << "05/03/24" << false << false;
    QTest::newRow("eight characters") << "1/2/2030" << false << true;
    QTest::newRow("31 April") << "31/04/2024" << false << false;
    QTest::newRow("29 Feb common year") << "29/02/2023" << false << false;
    QTest::newRow("29 Feb leap year") << "29/02/2024" << true << true;
    QTest::newRow("29 Feb 1900") << "29/02/1900" << false << false;
    QTest::newRow("29 Feb 2000") << "29/02/2000" << true << true;
    QTest::newRow("day 32") << "32/01/2024" << false << false;
    QTest::newRow("month 13") << "01/13/2024" << false << false;
    QTest::newRow("day 00") << "00/01/2024" << false << false;
    QTest::newRow("month 00") << "01/00/2024" << false << false;
    QTest::newRow("31 December") << "31/12/2024" << true << true;
    QTest::newRow("letters in the year") << "01/01/20a4" << false << false;
    QTest::newRow("letters in the day") << "ab/01/2024" << false << false;
    QTest::newRow("space before the day") << " 5/01/2024" << false << true;
    QTest::newRow("sign in the month") << "05/+1/2024" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("eleven characters") << "05/03/20245" << false << false;
}

void TestRules::dateRule()
{
    QFETCH(QString, text);
    QFETCH(bool, passes);
    QFETCH(bool, reads);
    QCOMPARE(DateTimeRules::dateRule(text), passes);
    QCOMPARE(MomentText::readDate(text).isValid(), reads);
}

void TestRules::timeRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<bool>("reads");
    QTest::newRow("23:59") << "23:59" << true << true;
    QTest::newRow("00:00") << "00:00" << true << true;
    QTest::newRow("24:00") << "24:00" << false << false;
    QTest::newRow("12:60") << "12:60" << false << false;
    QTest::newRow("12.30") << "12.30" << false << false;
    QTest::newRow("9:30") << "9:30" << false << true;
    QTest::newRow("12:3") << "12:3" << false << true;
    QTest::newRow("12:07, not a step of five") << "12:07" << true << true;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("letters") << "ab:cd" << false << false;
    QTest::newRow("seconds") << "12:30:00" << false << false;
}

void TestRules::timeRule()
{
    QFETCH(QString, text);
    QFETCH(bool, passes);
    QFETCH(bool, reads);
    QCOMPARE(DateTimeRules::timeRule(text), passes);
    QCOMPARE(MomentText::readTime(text).isValid(), reads);
}

void TestRules::momentsCompareAsValues()
{
    const QDateTime moment = MomentText::readMoment(u"31/12/2026 18:03");
    QCOMPARE(moment.date(), QDate(2026, 12, 31));
    QCOMPARE(moment.time(), QTime(18, 3));
    QVERIFY(!MomentText::readMoment(u"31/12/202618:03").isValid());
    QVERIFY(!MomentText::readMoment(u"31/12/2026 24:00").isValid());
    // Hand-edited texts name the same moment when their values agree.
    QCOMPARE(MomentText::readMoment(u" 5/03/2024  9:30"), MomentText::readMoment(u"05/03/2024 09:30"));
    QCOMPARE(MomentText::readDate(u"5/3/2024  "), QDate(2024, 3, 5));
    QVERIFY(!MomentText::readDate(u"5 /3/2024").isValid());
    QVERIFY(!MomentText::readDate(u"05/03/024").isValid());
    QVERIFY(!MomentText::readTime(u"123:00").isValid());
    QCOMPARE(MomentText::momentText(QDateTime(QDate(2027, 1, 1), QTime(0, 30, 59))),
             QStringLiteral("01/01/2027 00:30"));
    QCOMPARE(MomentText::timeTextWithSeconds(QTime(9, 5)), QStringLiteral("09:05:00"));
    QCOMPARE(MomentText::dateText(QDate(2025, 1, 1)), QStringLiteral("01/01/2025"));
}

QTEST_GUILESS_MAIN(TestRules)
#include "TestRules.moc"
