#include "DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

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

bool makePrivateFolder(const QString& folder)
{
    // From the deepest folder that exists, down: mkpath would make the
    // missing ones with the umask's permissions.
    QStringList missing;
    QString current = QFileInfo(folder).absoluteFilePath();
    while (!QFileInfo::exists(current)) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).path();
        if (parent == current) {
            break;
        }
        current = parent;
    }
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const QString& path : std::as_const(missing)) {
        // Another process may make it meanwhile; that is fine too.
        if (!QDir().mkdir(path, ownerOnly) && !QFileInfo(path).isDir()) {
            return false;
        }
    }
    return QFileInfo(folder).isDir();
}

void setPathForTesting(const QString& folder)
{
    overridePath() = folder;
}

} // namespace DataFolder
