#include "shell/CommandLine.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void read_data();
    void read();
    void binaryWithoutDisplay_data();
    void binaryWithoutDisplay();

private:
    QTemporaryDir m_home;
};

void TestCommandLine::initTestCase()
{
    QVERIFY(m_home.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Quedrino"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1a"));
}

void TestCommandLine::read_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("run");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // the start of stdout
    QTest::addColumn<QString>("error"); // the start of stderr
    QTest::addColumn<bool>("platformChosen");

    const QString usage = QStringLiteral("Uso: quedrino [opções]\n");
    const QString version = QStringLiteral("Quedrino 1.1a\n");
    const QString unknown = QStringLiteral("quedrino: opção desconhecida: ");
    const QString none;
    QTest::newRow("nothing") << QStringList() << true << 0 << none << none << false;
    QTest::newRow("--version") << QStringList{"--version"} << false << 0 << version << none << false;
    QTest::newRow("-v") << QStringList{"-v"} << false << 0 << version << none << false;
    QTest::newRow("--help") << QStringList{"--help"} << false << 0 << usage << none << false;
    QTest::newRow("-h") << QStringList{"-h"} << false << 0 << usage << none << false;
    QTest::newRow("help wins") << QStringList{"--version", "--help"} << false << 0 << usage << none << false;
    QTest::newRow("unknown long") << QStringList{"--bogus"} << false << 2 << none << unknown + "--bogus\n"
                                  << false;
    QTest::newRow("unknown short") << QStringList{"-x"} << false << 2 << none << unknown + "-x\n" << false;
    QTest::newRow("unknown among Qt's")
        << QStringList{"-style", "fusion", "--nada=1"} << false << 2 << none << unknown + "--nada\n"
        << false;
    QTest::newRow("an argument") << QStringList{"lembrete"} << false << 2 << none
                                 << QStringLiteral("quedrino: argumento inesperado: lembrete\n") << false;
    QTest::newRow("value missing") << QStringList{"-platform"} << false << 2 << none
                                   << QStringLiteral("quedrino: linha de comando inválida: ") << false;
    QTest::newRow("Qt's options") << QStringList{"-style=fusion", "-reverse", "-session", "x"} << true << 0
                                  << none << none << false;
    QTest::newRow("-platform") << QStringList{"-platform", "xcb"} << true << 0 << none << none << true;
}

void TestCommandLine::read()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, run);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, error);
    QFETCH(bool, platformChosen);

    const CommandLine::Request request
        = CommandLine::read(QStringList{QStringLiteral("quedrino")} + arguments);
    QCOMPARE(request.run, run);
    QCOMPARE(request.exitCode, exitCode);
    QVERIFY2(request.output.startsWith(output) && request.output.isEmpty() == output.isEmpty(),
             qPrintable(request.output));
    QVERIFY2(request.error.startsWith(error) && request.error.isEmpty() == error.isEmpty(),
             qPrintable(request.error));
    if (exitCode == 2) {
        QVERIFY(request.error.endsWith(QStringLiteral("Use \"quedrino --help\" para ver as opções.\n")));
    }
    QCOMPARE(request.platformChosen, platformChosen);
}

void TestCommandLine::binaryWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output"); // the start of stdout
    QTest::addColumn<QByteArray>("error"); // the start of stderr

    QTest::newRow("--version") << QStringList{"--version"} << 0 << QByteArray("Quedrino 1.1a\n")
                               << QByteArray();
    QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("Uso: quedrino [opções]\n")
                            << QByteArray();
    QTest::newRow("--bogus") << QStringList{"--bogus"} << 2 << QByteArray()
                             << QByteArray("quedrino: opção desconhecida: --bogus\n");
}

// The real program, with no display of any kind: QApplication would abort.
void TestCommandLine::binaryWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUEDRINO_BIN), arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(out.startsWith(output) && out.isEmpty() == output.isEmpty(), out.constData());
    QVERIFY2(err.startsWith(error) && err.isEmpty() == error.isEmpty(), err.constData());
    QCOMPARE(process.exitCode(), exitCode);
    // It ended without starting: nothing was locked.
    QVERIFY(!QFileInfo::exists(m_home.filePath(QStringLiteral("quedrino.lock"))));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
