// The program on a broken disk and on odd files: what the user is told, and
// that every reminder that was in the file is still there afterwards. What
// the reminder file itself does with such bytes is TestReminderFile's.

#include "TestSupport.h"
#include "alerting/AlertWindow.h"
#include "alerting/DueScan.h"
#include "ui/LimitedTextEdit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <numeric>
#include <optional>
#include <sys/stat.h>

using namespace TestSupport;
const QByteArray Due = "31/12/202618:03Vencido\r\n", Future = "01/01/203009:00Futuro\r\n";
const QString Read = "Não foi possível ler o arquivo de lembretes";
const QString Write = "Não foi possível gravar o arquivo de lembretes";
enum Fault { FolderIsFile, FileIsFolder, Pipe, Unopenable, DiskFull };

// While it lives, the fault is in place and what it replaced waits aside. A
// symbolic link to itself cannot be opened, even by root.
struct Broken
{
    explicit Broken(Fault fault)
        : path(fault == FolderIsFile ? DataFolder::path() : DataFolder::reminderFile())
        , aside(QDir().rename(path, path + ".x"))
        , made(fault == FolderIsFile       ? writeFile(path, "não é uma pasta")
                   : fault == FileIsFolder ? QDir().mkpath(path)
                   : fault == Pipe         ? ::mkfifo(qPrintable(path), 0600) == 0
                   : fault == Unopenable   ? QFile::link(path, path)
                                           : QFile::copy(path + ".x", path) && limit.emplace(16).isSet())
    { }
    ~Broken()
    {
        limit.reset();
        QFile::remove(path) || QDir(path).removeRecursively();
        QDir().rename(path + ".x", path);
    }
    std::optional<FileSizeLimit> limit;
    const QString path;
    const bool aside, made;
};

class TestFaults : public QObject
{
    Q_OBJECT

    std::optional<Program> p;
    MainWindow* window = nullptr;
    // The messages shown since the last look, without the file's path and why.
    QStringList shown() { return MessageBox::takeShown().replaceInStrings(QRegularExpression(" /.*"), ""); }
    void click(QWidget* parent, const char* button)
    {
        child<QPushButton>(parent, button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // a closed alert is gone
    }
    AlertWindow* tick() { return window->scan().tick(), window->scan().alert(); }
    void postpone(AlertWindow* alert)
    {
        child<QComboBox>(alert, "cboadia")->setEditText("01 hora");
        click(alert, "cdmAdiar");
    }
    // Moves the review list's reminder at `moment` to `to`, its text as it is.
    void alter(const QString& moment, const QString& to)
    {
        auto* list = child<QListWidget>(window, "lstlembr");
        list->setCurrentItem(list->findItems(moment, Qt::MatchExactly).value(0));
        child<QLineEdit>(window, "txtmandia")->setText(to.left(10));
        child<QLineEdit>(window, "txtmanhora")->setText(to.mid(11));
        click(window, "cmdmanalt");
    }

private Q_SLOTS:
    void init()
    {
        window = p.emplace(QDateTime(QDate(2026, 12, 31), QTime(18, 3, 47))).window;
        window->scan().switchOff(); // the tests tick it themselves
    }
    void cleanup() { p.reset(); }
    void brokenDisk_data();
    void brokenDisk();
    void fileChangedByAnotherProgram();
    void oddContents_data();
    void oddContents();
};

void TestFaults::brokenDisk_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("underAlert"); // it comes while an alert is open
    QTest::addColumn<bool>("scanGoesOn");
    QTest::addColumn<QStringList>("messages");
    // clang-format off
    QTest::newRow("the data folder is a regular file") << FolderIsFile << false << false << QStringList{Write};
    QTest::newRow("the reminder file is a folder") << FileIsFolder << false << true << QStringList{Read, Read};
    QTest::newRow("the reminder file is a pipe") << Pipe << false << true << QStringList{Read, Read};
    QTest::newRow("the reminder file cannot be opened") << Unopenable << false << true << QStringList{Read, Read};
    QTest::newRow("the disk is full") << DiskFull << false << false << QStringList{Write, Write, Write};
    QTest::newRow("the file turns unopenable under the alert") << Unopenable << true << false << QStringList{Read, Read};
    // clang-format on
}

// Nothing is lost: the include panel keeps its text for another try, the
// alert stays, and once the disk mends it deletes its reminder.
void TestFaults::brokenDisk()
{
    QFETCH(Fault, fault);
    QFETCH(bool, underAlert);
    QFETCH(bool, scanGoesOn);
    QFETCH(QStringList, messages);
    writeFile(DataFolder::reminderFile(), Due + Future);
    QPointer<AlertWindow> alert = underAlert ? tick() : nullptr;
    {
        const Broken broken(fault);
        QVERIFY(broken.made);
        if (!underAlert) {
            window->showReviewPanel();
            window->showIncludePanel();
            child<QLineEdit>(window, "txtdata")->setText("01/02/2027");
            child<QComboBox>(window, "cboHora")->setCurrentText("10");
            child<QComboBox>(window, "cboMinuto")->setCurrentText("00");
            child<LimitedTextEdit>(window, "txtincdesc")->setText("Novo");
            click(window, "cmdinc");
            QCOMPARE(child<LimitedTextEdit>(window, "txtincdesc")->text(), QStringLiteral("Novo"));
            alert = tick();
            QCOMPARE(window->timer()->isActive(), scanGoesOn);
        }
        if (alert) {
            postpone(alert);
            click(alert, "cmdApagar");
            QVERIFY(alert && window->scan().alert() == alert);
        }
        QCOMPARE(shown(), messages);
    }
    if (alert) {
        click(alert, "cmdApagar");
        QCOMPARE(p->reminders(), Future);
    }
}

// Another program rewrites the file while a window shows what it held: each
// change applies to the file as it is now and keeps its lines.
void TestFaults::fileChangedByAnotherProgram()
{
    p->putReminders({"01/01/203008:00A", "02/01/203008:00B"});
    window->showReviewPanel();
    writeFile(DataFolder::reminderFile(), "05/01/203008:00X\n02/01/203008:00Outro B\n");
    alter("02/01/2030 08:00", "04/01/2030 08:00");
    QCOMPARE(p->reminders(), stored({"05/01/203008:00X", "04/01/203008:00Outro B"}));
    writeFile(DataFolder::reminderFile(), Due);
    QPointer<AlertWindow> alert = tick();
    writeFile(DataFolder::reminderFile(), "07/01/203008:00Y\r");
    click(alert, "cmdApagar");
    QCOMPARE(p->reminders(), stored({"07/01/203008:00Y"}));
    QCOMPARE(shown(), QStringList());
}

void TestFaults::oddContents_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("others"); // every line but the due one, as the program writes them
    QTest::addColumn<QByteArray>("text"); // the due one's
    const QByteArray line = "01/01/203009:00" + QByteArray(85, '=') + "\r\n", many = line.repeated(50'000);
    const QByteArray huge = "01/01/203008:00" + QByteArray(1 << 20, 'x') + "\r\n";
    const QByteArray nul = QByteArray("_\r\n31/12/2026_18:03x\r\n3_/12/202618:03x\r\n01/01/203008:00a_b\r\n")
                               .replace('_', '\0');
    QByteArray bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    bytes.remove(13, 1).remove(10, 1); // CR and LF would end the line
    const QByteArray due = "31/12/202618:03" + bytes, other = "01/01/203008:00" + bytes + "\r\n";
    // clang-format off
    QTest::newRow("100 000 reminders, 10 MB") << many + due + "\r\n" + many << many + many << bytes;
    QTest::newRow("a line of 1 MB") << huge + due << huge << bytes;
    QTest::newRow("NUL bytes, every byte value") << nul + other + due << nul + other << bytes;
    // clang-format on
}

// Whatever the file holds, the scan finds the due reminder, and postponing
// and altering it keep its text byte for byte and every other line.
void TestFaults::oddContents()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, others);
    QFETCH(QByteArray, text);
    writeFile(DataFolder::reminderFile(), content);
    QVERIFY(tick());
    postpone(window->scan().alert());
    QVERIFY(p->reminders() == others + "31/12/202619:03" + text + "\r\n");
    window->showReviewPanel();
    alter("31/12/2026 19:03", "01/01/2027 19:03");
    QVERIFY(p->reminders() == others + "01/01/202719:03" + text + "\r\n");
}

QTEST_MAIN(TestFaults)
#include "TestFaults.moc"
