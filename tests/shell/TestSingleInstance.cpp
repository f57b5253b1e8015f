#include <QDateTime>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <list>
#include <map>

using Result = std::pair<int, QByteArray>; // the exit code (-1: it crashed), stderr
const Result HandedOver(0, "quedrino: Quedrino is already running; its include panel is shown\n");
const QByteArray Asked("quedrino: started again; running mnuInc\n");
constexpr int StartMs = 20000; // a sanitized build on a busy machine is slow to start

// The real program started more than once for one user (HOME and the
// runtime folder in a temporary folder), on Qt's offscreen platform.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::list<QProcess> m_copies;
    std::map<const QProcess*, QByteArray> m_errors; // each copy's stderr so far

    QString path(const char* name) const { return m_dir.filePath(name); }
    QProcess& start(const QStringList& arguments = {})
    {
        QProcess& copy = m_copies.emplace_back();
        connect(&copy, &QProcess::readyReadStandardError, this,
                [&] { m_errors[&copy] += copy.readAllStandardError(); });
        copy.start(QUEDRINO_BIN, arguments);
        copy.waitForStarted();
        return copy;
    }
    Result result(const QProcess& copy)
    {
        const bool ended = copy.state() == QProcess::NotRunning && copy.exitStatus() == QProcess::NormalExit;
        return {ended ? copy.exitCode() : -1, m_errors[&copy]};
    }
    Result run(const QStringList& arguments = {})
    {
        QProcess& once = start(arguments);
        once.waitForFinished(60000);
        return result(once);
    }
    // The copy holds the lock and listens.
    bool serves(const QProcess& copy)
    {
        return QTest::qWaitFor(
            [&] {
                qint64 owner = 0;
                QLockFile(path("run/quedrino.lock")).getLockInfo(&owner, nullptr, nullptr);
                return owner == copy.processId() && QFile::exists(path("run/quedrino.socket"));
            },
            StartMs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The runtime folder must be the user's alone, or Qt refuses it.
        QVERIFY(QDir().mkdir(path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"}) {
            qunsetenv(name);
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QUEDRINO_DEBUG", "1"); // the running copy traces each hand-over it is asked for
        qputenv("HOME", QFile::encodeName(path("home")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path("run")));
    }
    void cleanupTestCase()
    {
        for (QProcess& copy : m_copies) {
            copy.kill();
            copy.waitForFinished();
        }
    }
    void oneCopyPerUser();
};

void TestSingleInstance::oneCopyPerUser()
{
    // At login the autostart entry and an impatient click can race: one wins
    // the lock, the other hands over to it.
    QProcess& one = start();
    QProcess& other = start();
    QTRY_VERIFY_WITH_TIMEOUT(one.state() != QProcess::Running || other.state() != QProcess::Running, StartMs);
    QProcess& ended = one.state() == QProcess::Running ? other : one;
    QProcess& first = &ended == &one ? other : one;
    QCOMPARE(result(ended), HandedOver);
    QTRY_COMPARE(m_errors[&first].count(Asked), 1);
    QVERIFY(first.state() == QProcess::Running && serves(first));
    qunsetenv("QT_QPA_PLATFORM"); // with no display at all: it needs none to hand over
    QCOMPARE(run(), HandedOver);
    QTRY_COMPARE(m_errors[&first].count(Asked), 2);
    qputenv("QT_QPA_PLATFORM", "offscreen");

    // The desktop entry's actions run their menu command in the running copy.
    QCOMPARE(run({"--sobre"}).first, 0);
    QTRY_VERIFY(m_errors[&first].contains("quedrino: started again; running mnuSobre\n"));

    // A copy that holds the lock but never answers is left alone: a later
    // start says so and fails, rather than run a second scan beside it.
    QCOMPARE(::kill(pid_t(first.processId()), SIGSTOP), 0);
    qputenv("QUEDRINO_ANSWER_WAIT", "2");
    const Result hung = run();
    qunsetenv("QUEDRINO_ANSWER_WAIT");
    ::kill(pid_t(first.processId()), SIGCONT);
    const QByteArray pid = QByteArray::number(first.processId());
    QVERIFY2(hung.first == 1 && hung.second.contains("(process " + pid + ") but did not answer within 2 s"),
             hung.second);
    QVERIFY(serves(first));

    // Killed, it leaves its lock and socket behind for the next copy to take.
    first.kill();
    QVERIFY(first.waitForFinished() && QFile::exists(path("run/quedrino.lock"))
            && QFile::exists(path("run/quedrino.socket")));
    QProcess& next = start();
    QVERIFY(serves(next));
    QCOMPARE(run(), HandedOver);
    QTRY_COMPARE(m_errors[&next].count(Asked), 1);

    // "--encerrar" ends it even with windows open, and with no copy running
    // starts nothing.
    QCOMPARE(run({"--sobre"}).first, 0);
    QCOMPARE(run({"--encerrar"}), Result(0, "quedrino: the running Quedrino ends\n"));
    QVERIFY(next.waitForFinished(StartMs) && next.exitStatus() == QProcess::NormalExit
            && next.exitCode() == 0);
    QCOMPARE(run({"--encerrar"}), Result(0, "quedrino: Quedrino is not running; nothing to end\n"));
    QVERIFY(!QFile::exists(path("run/quedrino.socket")));

    // A lock made but never written: its owner died between the two.
    QFile lock(path("run/quedrino.lock"));
    QVERIFY(
        lock.open(QIODevice::WriteOnly)
        && lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    lock.close();
    QProcess& last = start();
    QVERIFY(serves(last));
    QCOMPARE(run(), HandedOver);
    QTRY_COMPARE(m_errors[&last].count(Asked), 1);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
