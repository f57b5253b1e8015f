#include "Startup.h"

#include "alerting/QtAlarmSound.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSystemTrayIcon>
#include <QTranslator>

#include <cstdio>

namespace {
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
} // namespace

namespace Startup {

int run(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Quedrino"));
    QApplication::setApplicationVersion(QStringLiteral("1.1a"));
    QApplication::setQuitOnLastWindowClosed(false);
    installPortuguese(app);

    const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
    if (!tray) {
        std::fputs("quedrino: this desktop has no notification area; the main window stays open instead, "
                   "with the tray menu on its menu bar\n",
                   stderr);
    }
    QtAlarmSound sound;
    MainWindow window(tray, sound);
    // Ends every event loop at once, an open alert's or About window's too.
    QObject::connect(&window, &MainWindow::quitRequested, &app, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}

} // namespace Startup
