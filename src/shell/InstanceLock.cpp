#include "InstanceLock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {
// A lock file is written a moment after it is made; younger than this, an
// empty one may still be in the making.
constexpr qint64 WritingTimeMs = 2000;
} // namespace

InstanceLock::InstanceLock(const QString& path)
    : m_file(path)
{
    // Held for the whole run: only a dead owner makes it stale, never its age.
    m_file.setStaleLockTime(0);
}

InstanceLock::Claim InstanceLock::claim()
{
    if (m_file.isLocked() || m_file.tryLock(0)) {
        return Claim::Taken;
    }
    if (m_file.error() != QLockFile::LockFailedError) {
        return Claim::Unavailable;
    }
    // A lock naming this very process is a dead copy's whose id the system
    // has given again (Windows does, soon): Qt would take it for a live one.
    // A copy that still holds the file keeps it from being removed.
    if (ownerPid() == QCoreApplication::applicationPid() && m_file.removeStaleLockFile()
        && m_file.tryLock(0)) {
        return Claim::Taken;
    }
    // Qt judges a lock by the process id written in it, so one left without
    // it (a crash between making the file and writing it) would stand for
    // ever. removeStaleLockFile() still refuses while a live copy holds the
    // file's flock.
    const QDateTime written = QFileInfo(m_file.fileName()).lastModified();
    if (!m_file.getLockInfo(nullptr, nullptr, nullptr) && written.isValid()
        && written.msecsTo(QDateTime::currentDateTime()) > WritingTimeMs && m_file.removeStaleLockFile()
        && m_file.tryLock(0)) {
        return Claim::Taken;
    }
    return Claim::Held;
}

qint64 InstanceLock::ownerPid() const
{
    qint64 pid = 0;
    return m_file.getLockInfo(&pid, nullptr, nullptr) ? pid : 0;
}

QString InstanceLock::errorText() const
{
    const QString path = QDir::toNativeSeparators(m_file.fileName());
    switch (m_file.error()) {
    case QLockFile::NoError:
        return {};
    case QLockFile::LockFailedError:
        return QStringLiteral("%1 is held by process %2").arg(path).arg(ownerPid());
    case QLockFile::PermissionError:
        return QStringLiteral("no permission to create %1").arg(path);
    case QLockFile::UnknownError:
        break;
    }
    return QStringLiteral("%1 could not be created").arg(path);
}
