#include "InstancePlace.h"

#include "reminders/DataFolder.h"
#include "shell/Platform.h"

namespace {
QString findFolder()
{
    const QString own = Platform::instanceFolder();
    if (!own.isEmpty()) {
        return own;
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
    return Platform::instanceServerName(folder());
}

} // namespace InstancePlace
