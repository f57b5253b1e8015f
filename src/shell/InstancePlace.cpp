#include "InstancePlace.h"

#include "reminders/DataFolder.h"

#include <QStandardPaths>

namespace {
QString findFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) {
        return runtime;
    }
    DataFolder::makePrivateFolder(DataFolder::path());
    return DataFolder::path();
}
} // namespace

namespace InstancePlace {

QString folder()
{
    // Looked up once: Qt warns about a missing XDG_RUNTIME_DIR at every look.
    static const QString found = findFolder();
    return found;
}

QString lockFile()
{
    return folder() + QStringLiteral("/quedrino.lock");
}

QString serverName()
{
#ifdef Q_OS_WIN
    // Named pipes share one namespace for the whole machine.
    return QStringLiteral("quedrino-") + qEnvironmentVariable("USERNAME");
#else
    return folder() + QStringLiteral("/quedrino.socket");
#endif
}

} // namespace InstancePlace
