#pragma once

#include "reminders/Outcome.h"

#include <QObject>

class QLocalServer;
class QLocalSocket;

// The running copy's ear for later starts: a local socket that only its user
// can reach. A start that finds the program running sends ShowRequest and
// waits for ShownReply, which comes once showRequested() has been handled.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    static constexpr char ShowRequest[] = "show\n";
    static constexpr char ShownReply[] = "shown\n";

    explicit InstanceServer(QObject* parent = nullptr);

    // Only while holding the instance lock: a socket file in the way can
    // then only be one left by a copy that died, and is removed.
    Outcome listen(const QString& name);

Q_SIGNALS:
    void showRequested();

private:
    void acceptPending();
    void answer(QLocalSocket& socket);

    QLocalServer* m_server;
};
