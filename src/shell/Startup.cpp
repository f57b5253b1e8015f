#include "Startup.h"

#include "alerting/AlarmSound.h"
#include "shell/CommandLine.h"
#include "shell/InstanceClient.h"
#include "shell/InstanceLock.h"
#include "shell/InstancePlace.h"
#include "shell/InstanceServer.h"
#include "shell/MainWindow.h"
#include "shell/Platform.h"
#include "shell/PlatformChoice.h"
#include "ui/Accessibility.h"
#include "ui/WindowStyle.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTranslator>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

// How long a later start waits for the running copy to answer, in seconds. A
// copy that has just taken the lock has yet to start Qt before it listens.
// QUEDRINO_ANSWER_WAIT may shorten it, so a test of a hung copy is quick.
int answerWaitSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("QUEDRINO_ANSWER_WAIT", &ok);
    return ok && seconds > 0 ? seconds : 10;
}

// False when the text could not be written (a full disk, a closed pipe).
bool print(std::FILE* stream, const QString& text)
{
    return Platform::write(stream, text);
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// Qt's own texts (the context menus of the text boxes, the buttons of the
// dialogs) in Portuguese, like the rest of the program.
void installPortuguese(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_pt_BR"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }
}

// With the lock taken this start runs (nothing returned); otherwise the exit
// status once the running copy has been asked to run the command, or has not
// answered in time. A copy that ends meanwhile frees the lock for this one.
std::optional<int> handOver(InstanceLock& lock, MenuCommand command)
{
    const int waitSeconds = answerWaitSeconds();
    const QDeadlineTimer deadline(waitSeconds * 1000);
    for (;;) {
        switch (lock.claim()) {
        case InstanceLock::Claim::Taken:
            return std::nullopt;
        case InstanceLock::Claim::Unavailable:
            // Never kept from starting: at worst two copies run.
            print(stderr,
                  QStringLiteral("quedrino: cannot tell whether another copy runs (%1); starting anyway\n")
                      .arg(lock.errorText()));
            return std::nullopt;
        case InstanceLock::Claim::Held:
            break;
        }
        bool ran = false;
        const Outcome asked = InstanceClient::ask(InstancePlace::serverName(), command, deadline, ran);
        if (asked) {
            print(stderr,
                  ran ? MenuCommands::handedOver(command)
                      : QStringLiteral("quedrino: Quedrino is already running, with an alert open: "
                                       "answer the alert first\n"));
            return 0;
        }
        if (deadline.hasExpired()) {
            // Hung, most likely. A second copy would run a second scan and
            // show every alert twice once the first came back to life.
            const qint64 owner = lock.ownerPid();
            print(stderr,
                  QStringLiteral("quedrino: Quedrino is already running (process %1) but did not answer "
                                 "within %2 s (%3); nothing started. If it is stuck, end it "
                                 "(%4) and start again.\n")
                      .arg(owner)
                      .arg(waitSeconds)
                      .arg(asked.message(), Platform::endProcessCommand(owner)));
            return 1;
        }
        // Not listening yet, or just ending: look again shortly.
        QThread::msleep(50);
    }
}

// Qt's and its plugins' diagnostics (no audio device, no web browser found,
// a window the window manager took away) say nothing a user can act on:
// in normal use the program writes only its own notices. QUEDRINO_DEBUG set
// to anything lets them through, with the program's own trace lines.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        print(stderr, message + QLatin1Char('\n'));
    }
}

// The command line's answer where standard output leads nowhere (a windowed
// program started without a console): in a message box instead.
int showAnswer(int& argc, char** argv, const CommandLine::Request& request)
{
    QApplication app(argc, argv);
    const QString text = (request.output + request.error).trimmed();
    QMessageBox box(request.exitCode == 0 ? QMessageBox::Information : QMessageBox::Critical,
                    QStringLiteral("Quedrino"), text, QMessageBox::Ok);
    box.exec();
    return request.exitCode;
}

int run(int& argc, char** argv, bool platformForced, std::optional<MenuCommand> command)
{
    if (qEnvironmentVariableIsEmpty("QUEDRINO_DEBUG")) {
        qInstallMessageHandler(quietQtMessages);
    }
    QApplication app(argc, argv);
    if (platformForced) {
        // Only for this program: whatever it starts (the web browser)
        // chooses its own platform.
        qunsetenv("QT_QPA_PLATFORM");
    }
    QApplication::setQuitOnLastWindowClosed(false);
    installPortuguese(app);
    Accessibility::install();
    WindowStyle::useLightPaletteOnDarkDesktop();

    // Listening before the windows are made: a start meanwhile gets its
    // answer once the event loop runs.
    InstanceServer server;
    if (const Outcome listening = server.listen(InstancePlace::serverName()); !listening) {
        print(stderr,
              QStringLiteral("quedrino: later starts will not find this one: %1\n").arg(listening.message()));
    }

    const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
    if (!tray) {
        std::fputs("quedrino: this desktop has no notification area; the main window stays open instead, "
                   "with the tray menu on its menu bar\n",
                   stderr);
    }
    const std::unique_ptr<AlarmSound> sound = Platform::alarmSound();
    MainWindow window(tray, *sound);
    // Ends every event loop at once, an open alert's or About window's too.
    QObject::connect(&window, &MainWindow::quitRequested, &app, [] { QCoreApplication::exit(0); });
    // As if chosen from the menu, which an open alert disables: that alert
    // is already above everything.
    const auto entry
        = [&window](MenuCommand asked) { return window.findChild<QAction*>(MenuCommands::menuEntry(asked)); };
    const auto runCommand = [entry](MenuCommand asked) { entry(asked)->trigger(); };
    server.setReady([entry](MenuCommand asked) { return entry(asked)->isEnabled(); });
    QObject::connect(&server, &InstanceServer::commandRequested, &window, [runCommand](MenuCommand asked) {
        qInfo("quedrino: started again; running %s", qPrintable(MenuCommands::menuEntry(asked)));
        runCommand(asked);
    });
    if (command) {
        QMetaObject::invokeMethod(
            &window, [runCommand, command] { runCommand(*command); }, Qt::QueuedConnection);
    }
    return QApplication::exec();
}

} // namespace

namespace Startup {

int start(int& argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Quedrino"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1a"));

    const CommandLine::Request request = CommandLine::read(argumentsOf(argc, argv));
    if (!request.run) {
        if (!Platform::standardOutputReachable()) {
            return showAnswer(argc, argv, request);
        }
        const bool written = print(stdout, request.output);
        print(stderr, request.error);
        return written || request.exitCode != 0 ? request.exitCode : 1;
    }

    const std::optional<QByteArray> platform
        = PlatformChoice::forced(PlatformChoice::current(request.platformChosen));
    if (platform) {
        qputenv("QT_QPA_PLATFORM", *platform);
    }

    // Outlives run() and the server in it: the server removes its socket
    // file on closing, and with the lock already free that file could be a
    // new copy's.
    InstanceLock lock(InstancePlace::lockFile());
    if (const std::optional<int> status = handOver(lock, request.command.value_or(MenuCommand::Include))) {
        return *status;
    }
    if (request.command == MenuCommand::Quit) {
        print(stderr, QStringLiteral("quedrino: Quedrino is not running; nothing to end\n"));
        return 0;
    }
    return run(argc, argv, platform.has_value(), request.command);
}

} // namespace Startup
