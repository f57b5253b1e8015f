#include "shell/InstanceLock.h"

#include <QDateTime>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <list>
#include <map>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#endif

using Result = std::pair<int, QByteArray>; // the exit code (-1: it crashed), stderr
constexpr int StartMs = 20000; // a sanitized build on a busy machine is slow to start

// The real program started more than once for one user (HOME and the
// runtime folder in a temporary folder), on Qt's offscreen platform.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::map<const QProcess*, QByteArray> m_errors; // each copy's stderr so far
    std::list<QProcess> m_copies; // killed, if still running, before m_errors goes

    QString path(const char* name) const { return m_dir.filePath(name); }
#ifdef Q_OS_WIN
    // No runtime folder here: the lock is in the user's temporary folder, the
    // socket is a named pipe, and the data folder is the machine's.
    static QString lockFile()
    {
        return QDir::tempPath() + "/quedrino.lock";
    }
    static bool listening()
    {
        const QString pipe = "\\\\.\\pipe\\quedrino-" + qEnvironmentVariable("USERNAME");
        return WaitNamedPipeW(reinterpret_cast<const wchar_t*>(pipe.utf16()), 1)
            || GetLastError() == ERROR_SEM_TIMEOUT; // there, busy with another client
    }
    static QString dataFolder()
    {
        return QStringLiteral("c:/quedrino");
    }
    // Every thread of the process stopped, or going on again: ntdll's calls,
    // which nothing in Win32 wraps.
    static bool freeze(qint64 pid, bool frozen)
    {
        using Call = LONG(WINAPI*)(HANDLE);
        const auto call = reinterpret_cast<Call>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"ntdll.dll"), frozen ? "NtSuspendProcess" : "NtResumeProcess")));
        const HANDLE process = OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, DWORD(pid));
        const bool done = call && process && call(process) >= 0;
        CloseHandle(process);
        return done;
    }
#else
    QString lockFile() const
    {
        return path("run/quedrino.lock");
    }
    bool listening() const
    {
        return QFile::exists(path("run/quedrino.socket"));
    }
    QString dataFolder() const
    {
        return path("home/quedrino");
    }
    static bool freeze(qint64 pid, bool frozen)
    {
        return ::kill(pid_t(pid), frozen ? SIGSTOP : SIGCONT) == 0;
    }
#endif
    QProcess& start(const QStringList& arguments = {})
    {
        QProcess& copy = m_copies.emplace_back();
        connect(&copy, &QProcess::readyReadStandardError, this, [&] {
            m_errors[&copy] += copy.readAllStandardError();
#ifdef Q_OS_WIN
            m_errors[&copy].replace("\r\n", "\n"); // written in text mode
#endif
        });
        copy.start(QUEDRINO_BIN, arguments);
        copy.waitForStarted();
        return copy;
    }
    Result run(const QStringList& arguments = {})
    {
        QProcess& once = start(arguments);
        const bool ended = once.waitForFinished(60000) && once.exitStatus() == QProcess::NormalExit;
        return {ended ? once.exitCode() : -1, m_errors[&once]};
    }
    // The copy holds the lock and listens.
    bool serves(const QProcess& copy)
    {
        qint64 owner = 0;
        return QTest::qWaitFor(
            [&] {
                return QLockFile(lockFile()).getLockInfo(&owner, nullptr, nullptr)
                    && owner == copy.processId() && listening();
            },
            StartMs);
    }

private Q_SLOTS:
    void oneCopyPerUser()
    {
#ifdef Q_OS_WIN
        if (QFile::exists(dataFolder()) || listening())
            QSKIP("c:/quedrino is there, or a copy runs: this Windows is someone's, not a fresh Wine prefix");
        const auto cleanup = qScopeGuard([] { QDir(dataFolder()).removeRecursively(); });
#endif
        // The runtime folder must be the user's alone, or Qt refuses it.
        QVERIFY(QDir().mkdir(path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)
                && QDir().mkpath(dataFolder()));
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
            qunsetenv(name);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QUEDRINO_DEBUG", "1"); // the running copy traces each hand-over it is asked for
        qputenv("QT_FORCE_STDERR_LOGGING", "1"); // to stderr, not to a system log or a debugger
        qputenv("HOME", QFile::encodeName(path("home")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path("run")));

        // At login the autostart entry and an impatient click can race: one wins
        // the lock, the other hands over to it.
        QProcess& one = start();
        QProcess& other = start();
        QTRY_VERIFY_WITH_TIMEOUT(one.state() != QProcess::Running || other.state() != QProcess::Running,
                                 StartMs);
        QProcess& ended = one.state() == QProcess::Running ? other : one;
        QProcess& first = &ended == &one ? other : one;
        QCOMPARE(Result(ended.exitCode(), m_errors[&ended]),
                 Result(0, "quedrino: Quedrino is already running; its include panel is shown\n"));
        QTRY_COMPARE(m_errors[&first].count("quedrino: started again; running mnuInc\n"), 1);
        QVERIFY(first.state() == QProcess::Running && serves(first));

        // The desktop entry's actions run their menu command in the running
        // copy; handing over needs no display at all.
        qunsetenv("QT_QPA_PLATFORM");
        QCOMPARE(run({"--sobre"}),
                 Result(0, "quedrino: Quedrino is already running; its About window is shown\n"));
        QTRY_VERIFY(m_errors[&first].contains("quedrino: started again; running mnuSobre\n"));
        qputenv("QT_QPA_PLATFORM", "offscreen");

        // A copy that holds the lock but never answers is left alone: a later
        // start says so and fails, rather than run a second scan beside it.
        const qint64 pid = first.processId();
        QVERIFY(freeze(pid, true));
        qputenv("QUEDRINO_ANSWER_WAIT", "2");
        const Result hung = run();
        qunsetenv("QUEDRINO_ANSWER_WAIT");
        freeze(pid, false);
        QVERIFY(hung.first == 1
                && hung.second.contains("(process " + QByteArray::number(pid)
                                        + ") but did not answer within 2 s"));

        // Killed, it leaves its lock and socket behind for the next copy to take;
        // that one opens an alert for a due reminder, and a later start only says
        // so: the alert is already above everything.
        first.kill();
        QVERIFY(first.waitForFinished());
        QFile due(dataFolder() + "/quedrino.txt");
        QVERIFY(due.open(QIODevice::WriteOnly) && due.write("06/12/202514:30Vencido\r\n") > 0 && due.flush());
        QProcess& next = start();
        QVERIFY(serves(next));
        QTRY_COMPARE(
            run(),
            Result(0, "quedrino: Quedrino is already running, with an alert open: answer the alert first\n"));

        // "--encerrar" ends it even with the alert open, and with no copy
        // running starts nothing.
        QCOMPARE(run({"--encerrar"}), Result(0, "quedrino: the running Quedrino ends\n"));
        QVERIFY(next.waitForFinished(StartMs) && next.exitStatus() == QProcess::NormalExit
                && next.exitCode() == 0);
        QCOMPARE(run({"--encerrar"}), Result(0, "quedrino: Quedrino is not running; nothing to end\n"));
        QVERIFY(!listening());

        // A lock made but never written: its owner died between the two.
        QFile lock(lockFile());
        QVERIFY(lock.open(QIODevice::WriteOnly)
                && lock.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                    QFileDevice::FileModificationTime));
        lock.close();
        QProcess& last = start();
        QVERIFY(serves(last) && run({"--encerrar"}).first == 0 && last.waitForFinished(StartMs));
    }

    // A dead copy's lock whose process id the system has given again, to the
    // very start that reads it: Qt would see a live owner of the right name.
    void lockOfAReusedProcessId()
    {
        const QString file = path("reused.lock");
        QFile lock(file);
        QVERIFY(lock.open(QIODevice::WriteOnly)
                && lock.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n'
                              + QCoreApplication::applicationName().toUtf8() + '\n'
                              + QSysInfo::machineHostName().toUtf8() + '\n')
                    > 0);
        lock.close();
        InstanceLock reused(file);
        QCOMPARE(reused.claim(), InstanceLock::Claim::Taken);
        // Held for real, it is no one else's to take.
        InstanceLock other(file);
        QCOMPARE(other.claim(), InstanceLock::Claim::Held);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
