#include "reminders/ReminderFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

// Kills a process that keeps rewriting the file and checks, after every kill,
// that the file holds exactly one of the two contents it alternates between.
class TestCrashConsistency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedMidRewrite();
};

void TestCrashConsistency::killedMidRewrite()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("quedrino.txt"));

    // Enough lines that a rewrite takes long enough to be interrupted.
    QByteArray common;
    for (int i = 0; i < 3000; ++i) {
        common += QStringLiteral("%1/01/2031%2:00linha comum número %3 com acentuação\r\n")
                      .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                      .arg(i % 24, 2, 10, QLatin1Char('0'))
                      .arg(i)
                      .toLatin1();
    }
    const QByteArray stateA = common + "01/01/203001:01estado A\r\n";
    const QByteArray stateB = common + "02/02/203002:02estado B\r\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stateA);
    }

    // Kill at random over about three rewrites, however fast this build is.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(ReminderFile(path).substitui(QStringLiteral("09/09/2039"), QStringLiteral("09:09"), {}));
    const qint64 rewriteMicroseconds = qMax<qint64>(clock.nsecsElapsed() / 1000, 500);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stateA);
    }

    auto* random = QRandomGenerator::global();
    int sawA = 0;
    int sawB = 0;
    for (int round = 0; round < 200; ++round) {
        QProcess child;
        child.start(QStringLiteral(REWRITE_LOOP), {path});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(10000)); // it has begun rewriting
        QThread::usleep(random->bounded(3 * rewriteMicroseconds));
        QCOMPARE(child.state(), QProcess::Running); // it never stops on its own
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray now = file.readAll();
        QVERIFY2(now == stateA || now == stateB,
                 qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
        (now == stateA ? sawA : sawB)++;
    }
    // Both contents were seen, so the kills did land while it was rewriting.
    QVERIFY(sawA > 0 && sawB > 0);
}

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "TestCrashConsistency.moc"
