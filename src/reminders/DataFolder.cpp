#include "DataFolder.h"

#include <QDir>

namespace {
QString& overridePath()
{
    static QString folder;
    return folder;
}
} // namespace

namespace DataFolder {

QString path()
{
    if (!overridePath().isEmpty()) {
        return overridePath();
    }
#ifdef Q_OS_WIN
    return QStringLiteral("c:/quedrino");
#else
    return QDir::homePath() + QStringLiteral("/quedrino");
#endif
}

QString reminderFile()
{
    return path() + QStringLiteral("/quedrino.txt");
}

QString alarmSound()
{
    return path() + QStringLiteral("/alarm.wav");
}

void setPathForTesting(const QString& folder)
{
    overridePath() = folder;
}

} // namespace DataFolder
