#include "TestSupport.h"
#include "reminders/ReminderFile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

class TestReminderFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void operations_data();
    void operations();
    void killedMidRewrite();
#ifdef Q_OS_UNIX
    void unixFiles();
#endif
};

using namespace TestSupport;
using B = QByteArray;

void TestReminderFile::operations_data()
{
    // The file's bytes, or <missing>, <folder> (a folder in its place), <blocked> (a file in its folder's).
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("op");
    // The moment looked up, deleted or altered; the line included, or put in the altered one's place.
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("line");
    // The file afterwards, after "failed: " when the write is refused; what a read gives,
    // date|time|description\n a line; whether the moment is free.
    QTest::addColumn<QByteArray>("after");
    // clang-format off
    QTest::newRow("missing: read") << B("<missing>") << "read" << "" << "" << B("<missing>");
    QTest::newRow("missing: delete leaves it missing") << B("<missing>") << "delete" << "25/12/2024 14:30" << "" << B("<missing>");
    QTest::newRow("missing: include makes folder and file") << B("<missing>") << "include" << "" << "25/12/202414:30Comprar presentes" << B("25/12/202414:30Comprar presentes\r\n");
    QTest::newRow("empty: read") << B("") << "read" << "" << "" << B("");
    QTest::newRow("read: cut by position, Windows-1252") << B("25/12/202414:30Reuni\xe3o \xe0s 10 \x80\r\n26/12/202408:05   tab\there/slash: colon  \r\n28/12/202410:00\r\n") << "read" << "" << "" << B("25/12/2024|14:30|Reunião às 10 €\n26/12/2024|08:05|   tab\there/slash: colon  \n28/12/2024|10:00|\n");
    QTest::newRow("include appends, blanks kept") << B("25/12/202414:30a\r\n") << "include" << "" << "26/12/202408:05   tab\there/slash: colon  " << B("25/12/202414:30a\r\n26/12/202408:05   tab\there/slash: colon  \r\n");
    QTest::newRow("include: Windows-1252, ? for unmappable, no line breaks") << B("") << "include" << "" << "01/01/203001:01Reunião às 10 € \u4e2d\U0001F600\x1a\u00e7\r\ntwo\nthree\r" << B("01/01/203001:01Reuni\xe3o \xe0s 10 \x80 ??\x1a\xe7twothree\r\n");
    QTest::newRow("line ends: read") << B("01/01/203000:00a\r\n02/01/203000:00b\n03/01/203000:00c\r\r\n04/01/203000:00d") << "read" << "" << "" << B("01/01/2030|00:00|a\n02/01/2030|00:00|b\n03/01/2030|00:00|c\n||\n04/01/2030|00:00|d\n");
    QTest::newRow("line ends: include ends the last line") << B("01/01/203000:00a\r\n02/01/203000:00b\n03/01/203000:00c\r\r\n04/01/203000:00d") << "include" << "" << "05/01/203000:00e" << B("01/01/203000:00a\r\n02/01/203000:00b\n03/01/203000:00c\r\r\n04/01/203000:00d\r\n05/01/203000:00e\r\n");
    QTest::newRow("line ends: delete writes CR LF") << B("01/01/203000:00a\r\n02/01/203000:00b\n03/01/203000:00c\r\r\n04/01/203000:00d") << "delete" << "01/01/2030 00:00" << "" << B("02/01/203000:00b\r\n03/01/203000:00c\r\n\r\n04/01/203000:00d\r\n");
    QTest::newRow("delete: the last of two") << B("10/10/203010:10first\r\n11/11/203011:11other\r\n10/10/203010:10second\r\n") << "delete" << "10/10/2030 10:10" << "" << B("10/10/203010:10first\r\n11/11/203011:11other\r\n");
    QTest::newRow("delete absent keeps all, unsorted") << B("03/03/203003:03c\r\n01/01/203001:01a\r\n02/02/203002:02b\r\n") << "delete" << "01/01/2030 01:02" << "" << B("03/03/203003:03c\r\n01/01/203001:01a\r\n02/02/203002:02b\r\n");
    QTest::newRow("by value: taken") << B("01/01/203001:01a\r\n 5/03/2030 9:30hand\r\n02/02/203002:02b\r\n") << "free" << "05/03/2030 09:30" << "" << B("taken");
    QTest::newRow("by value: the next minute free") << B("01/01/203001:01a\r\n 5/03/2030 9:30hand\r\n02/02/203002:02b\r\n") << "free" << "05/03/2030 09:31" << "" << B("free");
    QTest::newRow("by value: delete hand-edited") << B("01/01/203001:01a\r\n 5/03/2030 9:30hand\r\n02/02/203002:02b\r\n") << "delete" << "05/03/2030 09:30" << "" << B("01/01/203001:01a\r\n02/02/203002:02b\r\n");
    QTest::newRow("by value: delete by hand-edited") << B("01/01/203001:01a\r\n 5/03/2030 9:30hand\r\n02/02/203002:02b\r\n") << "delete" << "1/1/2030 1:01" << "" << B(" 5/03/2030 9:30hand\r\n02/02/203002:02b\r\n");
    QTest::newRow("malformed: read") << B("hello\r\n99/99/999925:61bad\r\n01/01/203001:01ok\r\n") << "read" << "" << "" << B("hello||\n99/99/9999|25:61|bad\n01/01/2030|01:01|ok\n");
    QTest::newRow("malformed: never taken") << B("hello\r\n99/99/999925:61bad\r\n01/01/203001:01ok\r\n") << "free" << "99/99/9999 25:61" << "" << B("free");
    QTest::newRow("malformed: never deleted") << B("hello\r\n99/99/999925:61bad\r\n01/01/203001:01ok\r\n") << "delete" << "99/99/9999 25:61" << "" << B("hello\r\n99/99/999925:61bad\r\n01/01/203001:01ok\r\n");
    QTest::newRow("malformed: kept") << B("hello\r\n99/99/999925:61bad\r\n01/01/203001:01ok\r\n") << "delete" << "01/01/2030 01:01" << "" << B("hello\r\n99/99/999925:61bad\r\n");
    QTest::newRow("bytes kept, undefined ones too") << B("01/01/203001:01\x80\x81\x8d\x8f\x90\x9d\x9f\xa0\xff\r\n02/02/203002:02x\r\n") << "delete" << "02/02/2030 02:02" << "" << B("01/01/203001:01\x80\x81\x8d\x8f\x90\x9d\x9f\xa0\xff\r\n");
    QTest::newRow("alter: to the end") << B("01/01/203001:01a\r\n02/02/203002:02b\r\n") << "alter" << "01/01/2030 01:01" << "09/09/203009:09a2" << B("02/02/203002:02b\r\n09/09/203009:09a2\r\n");
    QTest::newRow("alter: gone meanwhile") << B("01/01/203001:01a\r\n02/02/203002:02b\r\n") << "alter" << "07/07/2030 07:07" << "08/08/203008:08n" << B("01/01/203001:01a\r\n02/02/203002:02b\r\n08/08/203008:08n\r\n");
    QTest::newRow("alter: missing") << B("<missing>") << "alter" << "01/01/2030 01:01" << "02/01/203001:01x" << B("02/01/203001:01x\r\n");
    QTest::newRow("folder blocked: include fails") << B("<blocked>") << "include" << "" << "01/01/203001:01x" << B("failed: <missing>");
    QTest::newRow("a folder: include fails") << B("<folder>") << "include" << "" << "01/01/203001:01x" << B("failed: <folder>");
    QTest::newRow("a folder: delete fails") << B("<folder>") << "delete" << "01/01/2030 01:01" << "" << B("failed: <folder>");
#ifdef Q_OS_UNIX
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
        got = store.HorarioLivre(moment) ? "free" : "taken";
    } else {
        const Outcome done = [&] {
#ifdef Q_OS_UNIX
            const FileSizeLimit full(op.endsWith("disk full") ? before.size() : RLIM_INFINITY);
#endif
            const QString date = moment.section(' ', 0, 0), time = moment.section(' ', 1);
            return op == "delete" ? store.apaga(date, time)
                : op == "alter"   ? store.substitui(date, time, Lembrete::fromLine(line))
                                  : store.GravaLembrete(Lembrete::fromLine(line));
        }();
        QVERIFY2(done.ok() || done.message().contains("quedrino.txt"), qPrintable(done.message()));
        got = (done.ok() ? "" : "failed: ") + (QFileInfo(path).isDir() ? "<folder>" : readFile(path));
    }
    QCOMPARE(got, after);
    // Written or not, no temporary file is left beside it.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), qsizetype(QFileInfo(path).isFile()));
}

void TestReminderFile::killedMidRewrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("quedrino.txt");
    // Enough lines that a rewrite takes long enough to be interrupted.
    const QByteArray common = QByteArray("28/02/203112:00linha comum\r\n").repeated(3000);
    const QByteArray a = common + "01/01/203001:01estado A\r\n", b = common + "02/02/203002:02estado B\r\n";
    QVERIFY(writeFile(path, a));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(ReminderFile(path).apaga("09/09/2039", "09:09")); // a rewrite to the same bytes
    const qint64 rewrite = qMax<qint64>(clock.nsecsElapsed() / 1000, 500);
    QSet<QByteArray> seen;
    for (int round = 0; round < 25; ++round) {
        QProcess child;
        child.start(REWRITE_LOOP, {path});
        QVERIFY(child.waitForReadyRead(10000)); // it has begun rewriting
        // Killed at random over about three rewrites, however fast this build is.
        QThread::usleep(QRandomGenerator::global()->bounded(3 * rewrite));
        child.kill();
        QVERIFY(child.waitForFinished());
        const QByteArray now = readFile(path);
        QVERIFY2(now == a || now == b, qPrintable(QString::number(now.size())));
        seen << now;
    }
    QCOMPARE(seen.size(), 2); // so the kills did land while it was rewriting
}

#ifdef Q_OS_UNIX
void TestReminderFile::unixFiles()
{
#ifdef Q_OS_LINUX
    // Its status gives size 0, as a file still being written can understate its size.
    QByteArray read;
    QString error;
    QCOMPARE(ReminderFile("/proc/self/cmdline").readRaw(read, error), LoadResult::Status::Loaded);
    QCOMPARE(read, readFile("/proc/self/cmdline"));
#endif
    // Reminders are nobody else's business: what the program makes is the
    // owner's alone, what the owner set stays. The usual umask: with 077
    // everything new would be private anyway.
    const mode_t umask = ::umask(022);
    // Qt's permission bits hold owner, group and others in hex digits: 0x7050 is 0750.
    const auto modeOf = [](const QString& path) { return int(QFileInfo(path).permissions() & 0x7077); };
    QTemporaryDir dir;
    const QString home = dir.filePath("home"), folder = home + "/a/quedrino", path = folder + "/quedrino.txt";
    QVERIFY(QDir().mkdir(home) && ::chmod(qPrintable(home), 0755) == 0);
    const ReminderFile store(path);
    const Lembrete first{"25/12/2030", "14:30", "a"}, second{"01/01/2031", "08:00", "b"};
    QVERIFY(store.GravaLembrete(first));
    const QList<int> made{modeOf(home), modeOf(home + "/a"), modeOf(folder), modeOf(path)};
    ::umask(umask);
    QCOMPARE(made, (QList<int>{0x7055, 0x7000, 0x7000, 0x6000}));

    // Then each rewrite keeps them; one that lost them would pass the loss on.
    QVERIFY(::chmod(qPrintable(folder), 0750) == 0 && ::chmod(qPrintable(path), 0640) == 0);
    // Only root can give a file to another user.
    QVERIFY(::geteuid() != 0 || ::chown(qPrintable(path), 65534, 65534) == 0);
    QVERIFY(store.GravaLembrete(second) && store.substitui(second.data, second.hora, first)
            && store.apaga(first.data, first.hora));
    QCOMPARE(QList<int>({modeOf(folder), modeOf(path)}), (QList<int>{0x7050, 0x6040}));
    QVERIFY(::geteuid() != 0 || (QFileInfo(path).ownerId() == 65534 && QFileInfo(path).groupId() == 65534));
}
#endif

QTEST_GUILESS_MAIN(TestReminderFile)
#include "TestReminderFile.moc"
