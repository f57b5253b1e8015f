#include "shell/CommandLine.h"
#include "shell/PlatformChoice.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read();
    void platform();
};

// What each command line asks. One that only prints is run by the real
// program too, with no display of any kind: QApplication would abort.
void TestCommandLine::read()
{
    const QString usage = "Uso: quedrino [opções]\n", version = "Quedrino 1.1a\n";
    const QString unknown = "quedrino: opção desconhecida: ",
                  use = "Use \"quedrino --help\" para ver as opções.\n";
    // clang-format off
    const struct { const char* arguments; bool run; int exitCode; QString output, error; bool platformChosen; } rows[] = {
        {"",                                  true,  0, {},      {},                                                 false},
        {"-style=fusion -reverse -session x", true,  0, {},      {},                                                 false},
        {"-platform xcb",                     true,  0, {},      {},                                                 true},
        {"--version",                         false, 0, version, {},                                                 false},
        {"-v",                                false, 0, version, {},                                                 false},
        {"--help",                            false, 0, usage,   {},                                                 false},
        {"-h",                                false, 0, usage,   {},                                                 false},
        {"--version --help",                  false, 0, usage,   {},                                                 false},
        {"--bogus",                           false, 2, {},      unknown + "--bogus\n" + use,                        false},
        {"-x",                                false, 2, {},      unknown + "-x\n" + use,                             false},
        {"-style fusion --nada=1",            false, 2, {},      unknown + "--nada\n" + use,                         false},
        {"lembrete",                          false, 2, {},      "quedrino: argumento inesperado: lembrete\n" + use, false},
        {"--sobre --encerrar",                false, 2, {},      "quedrino: uma ação só de cada vez\n" + use,        false},
        {"-platform",                         false, 2, {},      "quedrino: linha de comando inválida: ",            false},
    };
    // clang-format on
    QTemporaryDir home;
    for (const auto& row : rows) {
        const QStringList arguments = QString(row.arguments).split(' ', Qt::SkipEmptyParts);
        const CommandLine::Request request = CommandLine::read(QStringList{"quedrino"} + arguments);
        QVERIFY2(request.run == row.run && request.platformChosen == row.platformChosen, row.arguments);
        if (!row.run) {
            QProcess program;
            program.setEnvironment(QProcess::systemEnvironment()
                                   << "QT_QPA_PLATFORM=none"
                                   << "LC_ALL=C.UTF-8"
                                   << "HOME=" + home.path() << "XDG_RUNTIME_DIR=" + home.path());
            program.start(QUEDRINO_BIN, arguments);
            QVERIFY(program.waitForFinished(30000) && program.exitStatus() == QProcess::NormalExit);
            const QString output = program.readAllStandardOutput(), error = program.readAllStandardError();
            QCOMPARE(program.exitCode(), row.exitCode);
            QVERIFY2(output.startsWith(row.output) && error.startsWith(row.error)
                         && output.isEmpty() == row.output.isEmpty()
                         && error.isEmpty() == row.error.isEmpty(),
                     qPrintable(output + error));
        }
    }
}

// On Wayland an alert cannot stay above the other windows, so the program
// goes through XWayland where there is one, unless the user chose otherwise.
void TestCommandLine::platform()
{
    // clang-format off
    const struct { const char *name, *wayland, *session, *x11, *qpa; bool option; const char* forced; } rows[] = {
        {"X11 session",                          "",          "x11",     ":0", "",          false, ""},
        {"Wayland with XWayland",                "wayland-0", "wayland", ":0", "",          false, "xcb;wayland"},
        {"Wayland display, no session type",     "wayland-1", "",        ":1", "",          false, "xcb;wayland"},
        {"Wayland session type, default socket", "",          "wayland", ":0", "",          false, "xcb;wayland"},
        {"Wayland without XWayland",             "wayland-0", "wayland", "",   "",          false, ""},
        {"user chose wayland",                   "wayland-0", "wayland", ":0", "wayland",   false, ""},
        {"user chose offscreen",                 "wayland-0", "",        ":0", "offscreen", false, ""},
        {"user passed -platform",                "wayland-0", "wayland", ":0", "",          true,  ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        QVERIFY2(PlatformChoice::forced({r.wayland, r.session, r.x11, r.qpa, r.option}).value_or("")
                     == r.forced,
                 r.name);
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
