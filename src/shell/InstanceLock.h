#pragma once

#include <QLockFile>
#include <QString>

// The lock file that makes a start the one running copy for its user, held
// from a successful claim() until destruction. A lock whose owner is gone (a
// crash, a SIGKILL) is taken over: Qt sees that its process id is no longer
// running the program that wrote it.
class InstanceLock
{
public:
    enum class Claim {
        Taken, // this start holds the lock
        Held, // a running copy holds it
        Unavailable, // the lock file cannot be made; see errorText()
    };

    explicit InstanceLock(const QString& path);

    Claim claim();
    qint64 ownerPid() const; // of the running copy, after Held; 0 if unknown
    QString errorText() const;

private:
    QLockFile m_file;
};
