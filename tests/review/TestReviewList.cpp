#include "review/ReviewList.h"

#include <QTest>

class TestReviewList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortItems_data();
    void sortItems();
    void largeFilesListWhole();
};

void TestReviewList::sortItems_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("empty") << QStringList() << QStringList();
    QTest::newRow("one") << QStringList{"x"} << QStringList{"x"};
    QTest::newRow("years before months before days")
        << QStringList{"01/01/2031 00:00", "31/12/2030 23:59", "02/01/2030 00:00", "01/02/2030 00:00"}
        << QStringList{"02/01/2030 00:00", "01/02/2030 00:00", "31/12/2030 23:59", "01/01/2031 00:00"};
    QTest::newRow("others last, in their order")
        << QStringList{"b", "02/01/2030 00:00", " ", "01/01/2030 00:00", "a"}
        << QStringList{"01/01/2030 00:00", "02/01/2030 00:00", "b", " ", "a"};
    QTest::newRow("equal moments keep their order")
        << QStringList{" 1/01/2030 00:00", "01/01/2030 00:00", "01/01/2029 00:00"}
        << QStringList{"01/01/2029 00:00", " 1/01/2030 00:00", "01/01/2030 00:00"};
}

void TestReviewList::sortItems()
{
    QFETCH(QStringList, items);
    QFETCH(QStringList, sorted);
    ReviewList::sortItems(items);
    QCOMPARE(items, sorted);
}

void TestReviewList::largeFilesListWhole()
{
    // Far past the 32 767 items a 16-bit list could hold, newest first.
    QList<Lembrete> entries;
    const QDate first(2030, 1, 1);
    for (int i = 40000; i > 0; --i) {
        entries.append({first.addDays(i / 24).toString(QStringLiteral("dd/MM/yyyy")),
                        QStringLiteral("%1:00").arg(i % 24, 2, 10, QLatin1Char('0')), QString()});
    }
    const QStringList items = ReviewList::loadItems(entries);
    QCOMPARE(items.size(), 40000);
    for (qsizetype i = 1; i < items.size(); ++i) {
        QVERIFY(ReviewList::itemValue(items[i - 1]) < ReviewList::itemValue(items[i]));
    }
}

QTEST_GUILESS_MAIN(TestReviewList)
#include "TestReviewList.moc"
