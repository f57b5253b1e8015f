
#include "TestSupport.h"
#include "alerting/DueScan.h"
#include "reminders/Clock.h"
#include "reminders/DataFolder.h"
#include "review/ReviewList.h"
#include "shell/MainWindow.h"
#include "ui/LimitedTextEdit.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QDateTime Afternoon(QDate(2026, 12, 6), QTime(14, 30, 0));
const QString NoSelection = QStringLiteral("Por Favor, Selecione uma data!");
const QString Exists = QStringLiteral("Já existe mensagem cadastrada para esta data e hora!");
} // namespace

class TestReviewPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void order_data();
    void order();
    void detailLookup();
    void alter_data();
    void alter();
    void alterMovesTheLineToTheEnd();
    void deleteAsksFirst();
    void failedWritesChangeNothing();

private:
    void openPanel();
    void put(const QByteArray& content) const;
    QByteArray bytes() const;
    QStringList shownItems() const;
    void select(const QString& item);
    void setFields(const QString& date, const QString& time, const QString& description);
    QListWidget* list() const { return m_window->findChild<QListWidget*>(QStringLiteral("lstlembr")); }
    template <typename T = QWidget> T* field(const char* name) const
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeAlarmSound m_sound;
    std::unique_ptr<MainWindow> m_window;
};

void TestReviewPanel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    DataFolder::setPathForTesting(m_dir->filePath(QStringLiteral("quedrino")));
    QVERIFY(QDir().mkpath(DataFolder::path()));
    Clock::setNowForTesting(Afternoon);
    MessageBox::setScripted(true);
    m_window = std::make_unique<MainWindow>(true, m_sound);
}

void TestReviewPanel::cleanup()
{
    m_window.reset();
    MessageBox::takeShown();
    MessageBox::setScripted(false);
    Clock::setNowForTesting({});
    DataFolder::setPathForTesting({});
}

void TestReviewPanel::put(const QByteArray& content) const
{
    QVERIFY(TestSupport::writeFile(DataFolder::reminderFile(), content));
}

QByteArray TestReviewPanel::bytes() const
{
    return TestSupport::readFile(DataFolder::reminderFile());
}

void TestReviewPanel::openPanel()
{
    m_window->findChild<QAction*>(QStringLiteral("mnuRev"))->trigger();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

QStringList TestReviewPanel::shownItems() const
{
    QStringList texts;
    for (int i = 0; i < list()->count(); ++i) {
        texts << list()->item(i)->text();
    }
    return texts;
}

void TestReviewPanel::select(const QString& item)
{
    const QList<QListWidgetItem*> found = list()->findItems(item, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    const QRect place = list()->visualItemRect(found.first());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, place.center());
    QVERIFY(found.first()->isSelected());
}

void TestReviewPanel::setFields(const QString& date, const QString& time, const QString& description)
{
    field<QLineEdit>("txtmandia")->setText(date);
    field<QLineEdit>("txtmanhora")->setText(time);
    field<LimitedTextEdit>("txtmanobs")->setText(description);
}

void TestReviewPanel::order_data()
{
    QTest::addColumn<QByteArray>("file"); // "<none>": no file at all
    QTest::addColumn<QStringList>("items");

    QTest::newRow("by value, not by text")
        << QByteArray("15/05/203409:00a\r\n01/06/203408:00b\r\n15/05/203407:30c\r\n")
        << QStringList{"15/05/2034 07:30", "15/05/2034 09:00", "01/06/2034 08:00"};
    QTest::newRow("no file") << QByteArray("<none>") << QStringList();
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("malformed lines last, in file order")
        << QByteArray("zzz\r\n02/01/203000:00b\r\n\r\n01/01/203000:00a\r\n31/02/203010:00x\r\n")
        << QStringList{"01/01/2030 00:00", "02/01/2030 00:00", "zzz ", " ", "31/02/2030 10:00"};
    QTest::newRow("hand-edited moments among the others")
        << QByteArray("05/03/203009:31a\r\n 5/03/2030 9:30b\r\n04/03/203023:59c\r\n")
        << QStringList{"04/03/2030 23:59", " 5/03/2030  9:30", "05/03/2030 09:31"};
}

void TestReviewPanel::order()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, items);
    if (file != "<none>") {
        put(file);
    }
    m_window->scan().switchOff();
    m_window->findChild<QAction*>(QStringLiteral("mnuRev"))->trigger();
    QVERIFY(m_window->timer()->isActive()); // on after every load
    QCOMPARE(shownItems(), items);
    QVERIFY(list()->selectedItems().isEmpty());
    QVERIFY(field("frarev")->isVisible());
    QVERIFY(!field("fraInc")->isVisible());
    QVERIFY(MessageBox::takeShown().isEmpty());
}

void TestReviewPanel::detailLookup()
{
    put("05/12/202914:30Reuni\xe3o\r\n06/12/202910:00\r\n07/12/202908:00first\r\n07/12/202908:00second\r\n");
    openPanel();
    // The first arrow key selects the first item; a click beside the items
    // leaves the selection alone.
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    QCOMPARE(list()->selectedItems().first()->text(), QStringLiteral("05/12/2029 14:30"));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      QPoint(list()->viewport()->width() - 3, list()->viewport()->height() - 3));
    QCOMPARE(list()->selectedItems().size(), 1);
    QCOMPARE(field<QLineEdit>("txtmandia")->text(), QStringLiteral("05/12/2029"));
    QCOMPARE(field<QLineEdit>("txtmanhora")->text(), QStringLiteral("14:30"));
    QCOMPARE(field<LimitedTextEdit>("txtmanobs")->text(), QStringLiteral("Reunião"));
    select(QStringLiteral("06/12/2029 10:00"));
    QVERIFY(field<LimitedTextEdit>("txtmanobs")->text().isEmpty());
    // Two lines of one moment: the detail shows the first.
    QTest::keyClick(list(), Qt::Key_Down);
    QCOMPARE(field<LimitedTextEdit>("txtmanobs")->text(), QStringLiteral("first"));

    // A line removed by another program leaves the fields as they were.
    put("07/12/202908:00first\r\n");
    select(QStringLiteral("05/12/2029 14:30"));
    QCOMPARE(field<LimitedTextEdit>("txtmanobs")->text(), QStringLiteral("first"));

    // Opening again reloads the list and empties the fields.
    openPanel();
    QCOMPARE(shownItems(), QStringList{QStringLiteral("07/12/2029 08:00")});
    QVERIFY(field<LimitedTextEdit>("txtmanobs")->text().isEmpty());
}

void TestReviewPanel::alter_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("message"); // empty: stored
    QTest::addColumn<QString>("focus");

    const QDateTime secondOne = Afternoon.addSecs(1);
    QTest::newRow("only the description") << "10/12/2026"
                                          << "09:00" << Afternoon << ""
                                          << "lstlembr";
    QTest::newRow("onto another reminder") << "11/12/2026"
                                           << "10:00" << Afternoon << Exists << "txtmandia";
    QTest::newRow("a bad date") << "10/12/26"
                                << "09:00" << Afternoon << "Data no formato inválido! (dd/mm/aaaa)"
                                << "cmdmanalt";
    QTest::newRow("a bad date with an empty time")
        << "32/12/2026"
        << "" << Afternoon << "Data no formato inválido! (dd/mm/aaaa)"
        << "cmdmanalt";
    QTest::newRow("a bad time") << "10/12/2026"
                                << "9:00" << Afternoon << "Hora no formato inválido. (hh:mm)"
                                << "cmdmanalt";
    QTest::newRow("a six-character time") << "10/12/2026"
                                          << "09:00 " << Afternoon << "Hora no formato inválido. (hh:mm)"
                                          << "cmdmanalt";
    QTest::newRow("yesterday") << "05/12/2026"
                               << "23:00" << Afternoon
                               << "Você está tentando alterar para uma data já vencida."
                               << "cmdmanalt";
    QTest::newRow("earlier today") << "06/12/2026"
                                   << "14:29" << Afternoon
                                   << "Você está tentando alterar para uma hora já vencida."
                                   << "cmdmanalt";
    QTest::newRow("this minute at second 00") << "06/12/2026"
                                              << "14:30" << Afternoon << ""
                                              << "lstlembr";
    QTest::newRow("this minute at second 01")
        << "06/12/2026"
        << "14:30" << secondOne << "Você está tentando alterar para uma hora já vencida."
        << "cmdmanalt";
    QTest::newRow("a minute off the steps of five") << "06/12/2026"
                                                    << "23:07" << Afternoon << ""
                                                    << "lstlembr";
}

void TestReviewPanel::alter()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QDateTime, now);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    const QByteArray before("10/12/202609:00old\r\n11/12/202610:00other\r\n");
    put(before);
    openPanel();
    select(QStringLiteral("10/12/2026 09:00"));
    setFields(date, time, QStringLiteral("new"));
    Clock::setNowForTesting(now);
    QTest::mouseClick(field("cmdmanalt"), Qt::LeftButton);

    QCOMPARE(MessageBox::takeShown(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    if (message.isEmpty()) {
        QCOMPARE(bytes(), "11/12/202610:00other\r\n" + (date + time + QStringLiteral("new\r\n")).toLatin1());
        QVERIFY(list()->selectedItems().isEmpty());
        QVERIFY(field<QLineEdit>("txtmandia")->text().isEmpty());
        QVERIFY(field<LimitedTextEdit>("txtmanobs")->text().isEmpty());
        QVERIFY(m_window->timer()->isActive());
        QStringList expected = shownItems();
        std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
            return ReviewList::itemValue(a) < ReviewList::itemValue(b);
        });
        QCOMPARE(shownItems(), expected);
        QVERIFY(shownItems().contains(date + QLatin1Char(' ') + time));
    } else {
        QCOMPARE(bytes(), before);
        QCOMPARE(list()->selectedItems().first()->text(), QStringLiteral("10/12/2026 09:00"));
        QCOMPARE(field<QLineEdit>("txtmandia")->text(), date);
        QCOMPARE(field<LimitedTextEdit>("txtmanobs")->text(), QStringLiteral("new"));
    }
}

void TestReviewPanel::alterMovesTheLineToTheEnd()
{
    put("01/01/203000:00a\r\n01/01/203000:00dup1\r\n02/01/203000:00b\r\n01/01/203000:00dup2\r\n"
        "03/01/203000:00c\r\n");
    openPanel();
    // No selection: message 1, for both buttons.
    QTest::mouseClick(field("cmdmanalt"), Qt::LeftButton);
    QTest::mouseClick(field("cmdmanexc"), Qt::LeftButton);
    QCOMPARE(MessageBox::takeShown(), (QStringList{NoSelection, NoSelection}));

    // Of two lines of one moment, the last is the one replaced; an empty
    // description is accepted.
    select(QStringLiteral("01/01/2030 00:00"));
    setFields(QStringLiteral("31/12/2029"), QStringLiteral("23:59"), QString());
    QTest::mouseClick(field("cmdmanalt"), Qt::LeftButton);
    QVERIFY(MessageBox::takeShown().isEmpty());
    QCOMPARE(bytes(),
             QByteArray("01/01/203000:00a\r\n01/01/203000:00dup1\r\n02/01/203000:00b\r\n"
                        "03/01/203000:00c\r\n31/12/202923:59\r\n"));
    QCOMPARE(shownItems(),
             (QStringList{"31/12/2029 23:59", "01/01/2030 00:00", "01/01/2030 00:00", "02/01/2030 00:00",
                          "03/01/2030 00:00"}));
    QCOMPARE(QApplication::focusWidget(), list());
    QVERIFY(list()->selectedItems().isEmpty());
    QTest::mouseClick(field("cmdmanalt"), Qt::LeftButton);
    QCOMPARE(MessageBox::takeShown(), QStringList{NoSelection});
}

void TestReviewPanel::deleteAsksFirst()
{
    put("01/01/203000:00a\r\n02/01/203000:00b\r\n");
    openPanel();
    select(QStringLiteral("02/01/2030 00:00"));
    MessageBox::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(field("cmdmanexc"), Qt::LeftButton);
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("Confirma Exclusão do Lembrete?")});
    QCOMPARE(QApplication::focusWidget(), field("cmdmancan"));
    QCOMPARE(shownItems().size(), 2);
    QCOMPARE(bytes(), QByteArray("01/01/203000:00a\r\n02/01/203000:00b\r\n"));

    m_window->scan().switchOff();
    for (const char* item : {"02/01/2030 00:00", "01/01/2030 00:00"}) {
        select(QString::fromLatin1(item));
        MessageBox::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(field("cmdmanexc"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), list());
        QVERIFY(field<QLineEdit>("txtmandia")->text().isEmpty());
    }
    QVERIFY(shownItems().isEmpty());
    QCOMPARE(bytes(), QByteArray());
    QVERIFY(!m_window->timer()->isActive()); // a deletion leaves the scan alone
}

void TestReviewPanel::failedWritesChangeNothing()
{
#ifdef Q_OS_UNIX
    const QByteArray content
        = "01/01/203000:00" + QByteArray(150, 'a') + "\r\n02/01/203000:00" + QByteArray(150, 'b') + "\r\n";
    put(content);
    openPanel();
    select(QStringLiteral("01/01/2030 00:00"));
    setFields(QStringLiteral("03/01/2030"), QStringLiteral("10:00"), QStringLiteral("x"));
    {
        const TestSupport::FileSizeLimit full(100);
        QVERIFY(full.isSet());
        QTest::mouseClick(field("cmdmanalt"), Qt::LeftButton);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(field("cmdmanexc"), Qt::LeftButton);
    }

    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown[0].startsWith(QStringLiteral("Não foi possível gravar")), qPrintable(shown[0]));
    QVERIFY2(shown[2].startsWith(QStringLiteral("Não foi possível gravar")), qPrintable(shown[2]));
    QCOMPARE(bytes(), content);
    QCOMPARE(shownItems(), (QStringList{"01/01/2030 00:00", "02/01/2030 00:00"}));
    QVERIFY(list()->item(0)->isSelected());
    QCOMPARE(field<QLineEdit>("txtmandia")->text(), QStringLiteral("03/01/2030"));
    QVERIFY(m_window->timer()->isActive());

    // With the file gone, a deletion has nothing to delete and keeps the item.
    QVERIFY(QFile::remove(DataFolder::reminderFile()));
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(field("cmdmanexc"), Qt::LeftButton);
    QCOMPARE(MessageBox::takeShown().size(), 1);
    QCOMPARE(shownItems().size(), 2);
    QVERIFY(field<QLineEdit>("txtmandia")->text().isEmpty());
    QCOMPARE(bytes(), QByteArray("<missing>"));
#else
    QSKIP("needs a file-size limit");
#endif
}

QTEST_MAIN(TestReviewPanel)
#include "TestReviewPanel.moc"
