#include "shell/CommandLine.h"
#include "shell/PlatformChoice.h"

#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readAndPlatform();
};

// What each command line asks (exit code -1: the program runs). One that
// only prints is run by the real program too, with no display of any kind:
// QApplication would abort. What it prints is stdout|stderr.
void TestCommandLine::readAndPlatform()
{
    qputenv("QT_QPA_PLATFORM", "none");
    qputenv("LC_ALL", "C.UTF-8");
    const QString usage = "Uso: quedrino [opções]\n", use = "\nUse \"quedrino --help\" para ver as opções.\n";
    // clang-format off
    const struct { const char* arguments; int exitCode; QString printed; bool platformChosen; } lines[] = {
        {"-style=fusion -reverse -session x", -1, {},                                               false},
        {"-platform xcb",                     -1, {},                                               true},
        {"-v",                                0,  "Quedrino 1.1a\n|",                               false},
        {"-v --help",                         0,  usage,                                            false},
        {"-h --version",                      0,  usage,                                            false},
        {"-x",                                2,  "|quedrino: opção desconhecida: -x" + use,        false},
        {"-style fusion --nada=1",            2,  "|quedrino: opção desconhecida: --nada" + use,    false},
        {"lembrete",                          2,  "|quedrino: argumento inesperado: lembrete" + use, false},
        {"--sobre --encerrar",                2,  "|quedrino: uma ação só de cada vez" + use,       false},
        {"-platform",                         2,  "|quedrino: linha de comando inválida: ",         false},
    };
    // clang-format on
    for (const auto& row : lines) {
        const QStringList arguments = QString(row.arguments).split(' ', Qt::SkipEmptyParts);
        const CommandLine::Request request = CommandLine::read(QStringList{"quedrino"} + arguments);
        QVERIFY2(request.run == (row.exitCode < 0) && request.platformChosen == row.platformChosen,
                 row.arguments);
        if (row.exitCode >= 0) {
            QProcess program;
            program.start(QUEDRINO_BIN, arguments);
            const bool ended = program.waitForFinished(30000);
            QString printed = QString::fromLocal8Bit(program.readAllStandardOutput() + '|'
                                                     + program.readAllStandardError());
#ifdef Q_OS_WIN
            printed.replace("\r\n", "\n"); // written in text mode
#endif
            QVERIFY2(ended && program.exitCode() == row.exitCode && printed.startsWith(row.printed),
                     row.arguments);
        }
    }

    // On Wayland an alert cannot stay above the other windows, so the program
    // goes through XWayland where there is one, unless the user chose otherwise.
    // clang-format off
    const struct { const char *name, *wayland, *session, *x11, *qpa; bool option; std::optional<QByteArray> forced; } rows[] = {
        {"X11 session",                          "",          "x11",     ":0", "",        false, {}},
        {"Wayland display, no session type",     "wayland-1", "",        ":1", "",        false, "xcb;wayland"},
        {"Wayland session type, default socket", "",          "wayland", ":0", "",        false, "xcb;wayland"},
        {"Wayland without XWayland",             "wayland-0", "wayland", "",   "",        false, {}},
        {"user chose wayland",                   "wayland-0", "wayland", ":0", "wayland", false, {}},
        {"user passed -platform",                "wayland-0", "wayland", ":0", "",        true,  {}},
    };
    // clang-format on
    for (const auto& r : rows)
        QVERIFY2(PlatformChoice::forced({r.wayland, r.session, r.x11, r.qpa, r.option}) == r.forced, r.name);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
