#pragma once

#include "reminders/Outcome.h"
#include "shell/MenuCommand.h"

#include <QObject>

#include <functional>

class QLocalServer;
class QLocalSocket;

// The running copy's ear for later starts: a local socket that only its user
// can reach. A start that finds the program running sends the request line
// of a menu command and waits for DoneReply. The reply goes first and the
// command runs once the start has read it and closed, from the event loop:
// "&Sobre" waits in its window until the user closes it, and "&Encerrar"
// ends the program.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    static constexpr char DoneReply[] = "shown\n"; // as earlier versions answer "show"
    // The command's menu entry is off now: an alert is open.
    static constexpr char BusyReply[] = "busy\n";

    explicit InstanceServer(QObject* parent = nullptr);

    // Only while holding the instance lock: a socket file in the way can
    // then only be one left by a copy that died, and is removed.
    Outcome listen(const QString& name);

    // Whether a command can run now; every command can, until this is set.
    void setReady(std::function<bool(MenuCommand)> ready);

Q_SIGNALS:
    void commandRequested(MenuCommand command);

private:
    void acceptPending();
    void answer(QLocalSocket& socket);

    QLocalServer* m_server;
    std::function<bool(MenuCommand)> m_ready;
};
