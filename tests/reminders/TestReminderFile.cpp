#include "TestSupport.h"
#include "reminders/ReminderFile.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

class TestReminderFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void operations_data();
    void operations();
    void rewrites();
};

using namespace TestSupport;
using B = QByteArray;

void TestReminderFile::operations_data()
{
    // The file's bytes, or <missing>, <folder> (a folder in its place), <blocked> (a file in its folder's).
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("op");
    // The moments looked up (;-separated), deleted or altered; the line included, or put in the altered one's
    // place.
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("line");
    // The file afterwards, after "failed: " when the write is refused; what a read gives,
    // date|time|description\n a line; whether each moment is free.
    QTest::addColumn<QByteArray>("after");
    // clang-format off
    QTest::newRow("missing: read") << B("<missing>") << "read" << "" << "" << B("<missing>");
    QTest::newRow("folder blocked: read") << B("<blocked>") << "read" << "" << "" << B("<missing>");
    QTest::newRow("missing: delete leaves it missing") << B("<missing>") << "delete" << "25/12/2024 14:30" << "" << B("<missing>");
    QTest::newRow("missing: include makes folder and file") << B("<missing>") << "include" << "" << "25/12/202414:30Comprar presentes" << B("25/12/202414:30Comprar presentes\r\n");
    QTest::newRow("missing: alter makes it") << B("<missing>") << "alter" << "01/01/2030 01:01" << "02/01/203001:01x" << B("02/01/203001:01x\r\n");
    QTest::newRow("read: by position, Windows-1252, line ends, malformed") << B("25/12/202414:30Reuni\xe3o \x80\r\n26/12/202408:05   tab\there/slash: colon  \n28/12/202410:00\r03/01/203000:00c\r\r\nhello\r\n99/99/999925:61bad\r\n04/01/203000:00d") << "read" << "" << "" << B("25/12/2024|14:30|Reunião €\n26/12/2024|08:05|   tab\there/slash: colon  \n28/12/2024|10:00|\n03/01/2030|00:00|c\n||\nhello||\n99/99/9999|25:61|bad\n04/01/2030|00:00|d\n");
    QTest::newRow("include ends the last line, Windows-1252, ? for unmappable, no line breaks") << B("01/01/203000:00a\r\n04/01/203000:00d") << "include" << "" << "01/01/203001:01  Reunião € \u4e2d\U0001F600\x1a\u00e7\r\ntwo\nthree\r  " << B("01/01/203000:00a\r\n04/01/203000:00d\r\n01/01/203001:01  Reuni\xe3o \x80 ??\x1a\xe7twothree  \r\n");
    QTest::newRow("delete by value, the last of two") << B("05/03/203009:30first\r\n01/01/203001:01a\r\n 5/03/2030 9:30hand\r\n02/02/203002:02b\r\n") << "delete" << "05/3/2030 09:30" << "" << B("05/03/203009:30first\r\n01/01/203001:01a\r\n02/02/203002:02b\r\n");
    QTest::newRow("delete of a malformed moment: all kept, unsorted, bytes kept, CR LF") << B("hello\n99/99/999925:61bad\r03/03/203003:03c\r\r\n01/01/203001:01\x80\x81\x8d\x8f\x90\x9d\x9f\xa0\xff") << "delete" << "99/99/9999 25:61" << "" << B("hello\r\n99/99/999925:61bad\r\n03/03/203003:03c\r\n\r\n01/01/203001:01\x80\x81\x8d\x8f\x90\x9d\x9f\xa0\xff\r\n");
    QTest::newRow("free: by value, the next minute, a malformed one") << B("01/01/203001:01a\r\n 5/03/2030 9:30hand\r\n99/99/999925:61bad\r\n") << "free" << "05/03/2030 09:30;05/03/2030 09:31;99/99/9999 25:61" << "" << B("taken free free ");
    QTest::newRow("alter: to the end") << B("01/01/203001:01a\r\n02/02/203002:02b\r\n") << "alter" << "01/01/2030 01:01" << "09/09/203009:09a2" << B("02/02/203002:02b\r\n09/09/203009:09a2\r\n");
    QTest::newRow("a folder: delete fails") << B("<folder>") << "delete" << "01/01/2030 01:01" << "" << B("failed: <folder>");
#ifdef Q_OS_UNIX // a full disk is a file size limit, which Windows lacks
    QTest::newRow("disk full: old file kept") << B("01/01/203001:01old\r\n") << "include, disk full" << "" << "02/02/203002:02new" << B("failed: 01/01/203001:01old\r\n");
#endif
    // clang-format on
}

void TestReminderFile::operations()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, op);
    QFETCH(QString, moment);
    QFETCH(QString, line);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString folder = dir.filePath("quedrino"), path = folder + "/quedrino.txt";
    QVERIFY(before == "<missing>"
            || (before == "<folder>" ? QDir().mkpath(path)
                                     : writeFile(before == "<blocked>" ? folder : path, before)));
    const ReminderFile store(path);
    QCOMPARE(store.ArquivoExiste(), !before.startsWith('<'));
    QByteArray got;
    if (op == "read") {
        const LoadResult loaded = store.CarregaLembretes();
        got = loaded.loaded() ? "" : loaded.error.isEmpty() ? "<missing>" : "<failed>";
        for (const Lembrete& entry : loaded.entries) {
            got += (entry.data + '|' + entry.hora + '|' + entry.descricao + '\n').toUtf8();
        }
    } else if (op == "free") {
        for (const QString& each : moment.split(';')) {
            got += store.HorarioLivre(each) ? "free " : "taken ";
        }
    } else {
#ifdef Q_OS_UNIX
        const FileSizeLimit full(op.endsWith("disk full") ? before.size() : RLIM_INFINITY);
#endif
        const QString date = moment.section(' ', 0, 0), time = moment.section(' ', 1);
        const Outcome done = op == "delete" ? store.apaga(date, time)
            : op == "alter"                 ? store.substitui(date, time, Lembrete::fromLine(line))
                                            : store.GravaLembrete(Lembrete::fromLine(line));
        QVERIFY2(done.ok() || done.message().contains("quedrino.txt"), qPrintable(done.message()));
        got = (done.ok() ? "" : "failed: ") + (QFileInfo(path).isDir() ? "<folder>" : readFile(path));
    }
    QCOMPARE(got, after);
    // Written or not, no temporary file is left beside it.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), qsizetype(QFileInfo(path).isFile()));
}

void TestReminderFile::rewrites()
{
#ifndef Q_OS_UNIX
    QSKIP("permissions, owners, /proc and fork are POSIX's");
#else
    // Its status gives size 0, as a file still being written can understate its size.
    QByteArray read;
    QString error;
    QVERIFY(ReminderFile("/proc/self/cmdline").readRaw(read, error) == LoadResult::Status::Loaded
            && read == readFile("/proc/self/cmdline"));
    // Reminders are nobody else's business: what the program makes is the owner's
    // alone (under the usual umask), what the owner set stays, and so does the owner.
    const mode_t umask = ::umask(022);
    // Qt's permission bits hold owner, group and others in hex digits: 0x7050 is 0750.
    const auto mode = [](const QString& path) { return int(QFileInfo(path).permissions() & 0x7077); };
    QTemporaryDir dir;
    const QString home = dir.filePath("home"), folder = home + "/a/quedrino", path = folder + "/quedrino.txt";
    QVERIFY(QDir().mkdir(home) && ::chmod(qPrintable(home), 0755) == 0);
    const ReminderFile store(path);
    QVERIFY(store.GravaLembrete({"25/12/2030", "14:30", "a"}));
    ::umask(umask);
    QCOMPARE(QList<int>({mode(home), mode(home + "/a"), mode(folder), mode(path)}),
             (QList<int>{0x7055, 0x7000, 0x7000, 0x6000}));
    QVERIFY(::chmod(qPrintable(folder), 0750) == 0 && ::chmod(qPrintable(path), 0640) == 0);
    // Only root can give a file to another user.
    QVERIFY(::geteuid() != 0 || ::chown(qPrintable(path), 65534, 65534) == 0);

    // Then rewrites killed at random: the file is always whole, old or new.
    // Enough lines that a rewrite takes long enough to be interrupted.
    const QByteArray common = QByteArray("28/02/203112:00linha comum\r\n").repeated(3000);
    const Lembrete a{"01/01/2030", "01:01", "estado A"}, b{"02/02/2030", "02:02", "estado B"};
    QVERIFY(writeFile(path, common + "01/01/203001:01estado A\r\n"));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(store.apaga("09/09/2039", "09:09")); // a rewrite to the same bytes
    const qint64 rewrite = qMax<qint64>(clock.nsecsElapsed() / 1000, 500);
    QSet<QByteArray> seen;
    for (int round = 0; round < 200 && (round < 25 || seen.size() < 2); ++round) { // both states, seen
        const pid_t child = ::fork();
        // The child flips the file between the two for ever, from whichever the last one left.
        for (bool toB = store.HorarioLivre(b.momento()); child == 0; toB = !toB) {
            store.substitui((toB ? a : b).data, (toB ? a : b).hora, toB ? b : a);
        }
        // Killed at random over about three rewrites, however fast this build is.
        QThread::usleep(QRandomGenerator::global()->bounded(3 * rewrite));
        QVERIFY(child > 0 && ::kill(child, SIGKILL) == 0 && ::waitpid(child, nullptr, 0) == child);
        seen << readFile(path);
    }
    QCOMPARE(
        seen,
        (QSet<QByteArray>{common + "01/01/203001:01estado A\r\n", common + "02/02/203002:02estado B\r\n"}));
    QCOMPARE(QList<int>({mode(folder), mode(path)}), (QList<int>{0x7050, 0x6040}));
    QVERIFY(::geteuid() != 0 || (QFileInfo(path).ownerId() == 65534 && QFileInfo(path).groupId() == 65534));
#endif
}

QTEST_GUILESS_MAIN(TestReminderFile)
#include "TestReminderFile.moc"
