#include <QDateTime>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

const QByteArray Asked("quedrino: started again; running mnuInc\n");
constexpr int StartMs = 20000; // a sanitized build on a busy machine is slow to start

// One running copy of the program, ended with the test; its stderr is kept
// as it comes.
class Copy
{
public:
    explicit Copy(const QProcessEnvironment& environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(QUEDRINO_BIN), QStringList());
    }
    ~Copy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    Copy(const Copy&) = delete;
    Copy& operator=(const Copy&) = delete;

    QProcess& process() { return m_process; }
    qint64 pid() const { return m_process.processId(); }
    bool running() const { return m_process.state() == QProcess::Running; }
    QByteArray errors()
    {
        m_errors += m_process.readAllStandardError();
        return m_errors;
    }
    qsizetype timesAsked() { return errors().count(Asked); }

private:
    QProcess m_process;
    QByteArray m_errors;
};

} // namespace

// The real program started more than once for one user (HOME and the
// runtime folder in a temporary folder), on Qt's offscreen platform.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void laterStartsHandOver();
    void startsAtTheSameMoment();
    void lockOfAKilledCopy();
    void emptyLockFromACrash();
    void hungCopy();
    void desktopActions();

private:
    QProcessEnvironment environment(bool display) const;
    Copy& startCopy();
    // Runs a start to its end: its exit code, or -1 when it crashed.
    int runOnce(bool display, QByteArray* error = nullptr, const QStringList& arguments = {}) const;
    qint64 lockOwner() const;
    QString lockFile() const { return m_dir->filePath(QStringLiteral("run/quedrino.lock")); }
    QString socketFile() const { return m_dir->filePath(QStringLiteral("run/quedrino.socket")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<Copy>> m_copies;
};

void TestSingleInstance::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("home/quedrino")));
    // The runtime folder must be the user's alone, or Qt refuses it.
    QVERIFY(QDir().mkdir(m_dir->filePath(QStringLiteral("run")),
                         QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestSingleInstance::cleanup()
{
    m_copies.clear();
    m_dir.reset();
}

QProcessEnvironment TestSingleInstance::environment(bool display) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"}) {
        environment.remove(QString::fromLatin1(name));
    }
    if (display) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    // The running copy traces each hand-over it is asked for.
    environment.insert(QStringLiteral("QUEDRINO_DEBUG"), QStringLiteral("1"));
    environment.insert(QStringLiteral("HOME"), m_dir->filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->filePath(QStringLiteral("run")));
    return environment;
}

Copy& TestSingleInstance::startCopy()
{
    m_copies.push_back(std::make_unique<Copy>(environment(true)));
    Copy& copy = *m_copies.back();
    if (!copy.process().waitForStarted()) {
        qFatal("quedrino did not start: %s", qPrintable(copy.process().errorString()));
    }
    return copy;
}

int TestSingleInstance::runOnce(bool display, QByteArray* error, const QStringList& arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment(display));
    process.start(QStringLiteral(QUEDRINO_BIN), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (error) {
        *error = process.readAllStandardError();
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

qint64 TestSingleInstance::lockOwner() const
{
    qint64 pid = 0;
    return QLockFile(lockFile()).getLockInfo(&pid, nullptr, nullptr) ? pid : 0;
}

void TestSingleInstance::laterStartsHandOver()
{
    Copy& first = startCopy();
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first.pid(), StartMs);

    for (int start = 1; start <= 3; ++start) {
        // The last without any display: it needs none to hand over.
        QByteArray error;
        QCOMPARE(runOnce(start < 3, &error), 0);
        QCOMPARE(error, QByteArray("quedrino: Quedrino is already running; its include panel is shown\n"));
        QTRY_COMPARE(first.timesAsked(), start);
    }
    QVERIFY(first.running());
    QCOMPARE(lockOwner(), first.pid());
}

// At login the autostart entry and an impatient click can race: one wins the
// lock, the other hands over to it.
void TestSingleInstance::startsAtTheSameMoment()
{
    Copy& one = startCopy();
    Copy& other = startCopy();
    QTRY_VERIFY_WITH_TIMEOUT(!one.running() || !other.running(), StartMs);

    Copy& ended = one.running() ? other : one;
    Copy& runs = one.running() ? one : other;
    QCOMPARE(ended.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(ended.process().exitCode(), 0);
    QTRY_COMPARE(runs.timesAsked(), 1);
    QVERIFY(runs.running());
    QCOMPARE(lockOwner(), runs.pid());
}

void TestSingleInstance::lockOfAKilledCopy()
{
    Copy& first = startCopy();
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first.pid(), StartMs);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socketFile()), StartMs);
    first.process().kill(); // SIGKILL: no chance to clean up
    QVERIFY(first.process().waitForFinished());
    QVERIFY(QFileInfo::exists(lockFile()));
    QVERIFY(QFileInfo::exists(socketFile()));

    Copy& next = startCopy();
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), next.pid(), StartMs);
    QCOMPARE(runOnce(true), 0);
    QTRY_COMPARE(next.timesAsked(), 1);
}

void TestSingleInstance::emptyLockFromACrash()
{
    // Made but never written: its owner died between the two.
    QFile lock(lockFile());
    QVERIFY(lock.open(QIODevice::WriteOnly));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    lock.close();

    Copy& copy = startCopy();
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), copy.pid(), StartMs);
    QCOMPARE(runOnce(true), 0);
    QTRY_COMPARE(copy.timesAsked(), 1);
}

// A copy that holds the lock but never answers is left alone: the later
// start says so and fails, rather than run a second scan beside it.
void TestSingleInstance::hungCopy()
{
#ifdef Q_OS_UNIX
    Copy& first = startCopy();
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first.pid(), StartMs);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socketFile()), StartMs);
    QCOMPARE(::kill(pid_t(first.pid()), SIGSTOP), 0);

    QByteArray error;
    qputenv("QUEDRINO_ANSWER_WAIT", "2");
    const int status = runOnce(true, &error);
    qunsetenv("QUEDRINO_ANSWER_WAIT");
    ::kill(pid_t(first.pid()), SIGCONT);
    QCOMPARE(status, 1);
    QVERIFY2(error.contains("already running (process " + QByteArray::number(first.pid())
                            + ") but did not answer within 2 s"),
             error.constData());
    QCOMPARE(lockOwner(), first.pid());
#else
    QSKIP("stopping a process is a Unix matter");
#endif
}

// The desktop entry's actions run their menu command in the running copy:
// "&Sobre" opens its window there, and "&Encerrar" ends it even with that
// window open. With no copy running, "--encerrar" starts nothing.
void TestSingleInstance::desktopActions()
{
    Copy& first = startCopy();
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first.pid(), StartMs);
    QCOMPARE(runOnce(true, nullptr, {QStringLiteral("--sobre")}), 0);
    QTRY_VERIFY(first.errors().contains("quedrino: started again; running mnuSobre\n"));

    QByteArray error;
    QCOMPARE(runOnce(true, &error, {QStringLiteral("--encerrar")}), 0);
    QCOMPARE(error, QByteArray("quedrino: the running Quedrino ends\n"));
    QVERIFY(first.process().waitForFinished(StartMs));
    QCOMPARE(first.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.process().exitCode(), 0);

    QCOMPARE(runOnce(true, &error, {QStringLiteral("--encerrar")}), 0);
    QCOMPARE(error, QByteArray("quedrino: Quedrino is not running; nothing to end\n"));
    QVERIFY(!QFileInfo::exists(socketFile()));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
