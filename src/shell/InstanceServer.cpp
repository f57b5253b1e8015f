#include "InstanceServer.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {
// Longer than any request: a peer sending more without a line end is not one
// of ours.
constexpr qint64 MaxRequest = 64;
// How long a start that has its reply may stay connected.
constexpr int PeerLingerMs = 2000;
} // namespace

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptPending);
}

Outcome InstanceServer::listen(const QString& name)
{
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        return Outcome::failure(QStringLiteral("cannot listen on %1: %2").arg(name, m_server->errorString()));
    }
    return Outcome::success();
}

void InstanceServer::setReady(std::function<bool(MenuCommand)> ready)
{
    m_ready = std::move(ready);
}

void InstanceServer::acceptPending()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(*socket); });
        if (socket->bytesAvailable() > 0) {
            answer(*socket);
        }
    }
}

void InstanceServer::answer(QLocalSocket& socket)
{
    if (!socket.canReadLine()) {
        if (socket.bytesAvailable() > MaxRequest) {
            socket.abort();
        }
        return;
    }
    MenuCommand command;
    if (!MenuCommands::fromRequest(socket.readLine(MaxRequest + 1), command)) {
        socket.disconnectFromServer();
        return;
    }
    // One request a connection.
    disconnect(&socket, &QLocalSocket::readyRead, this, nullptr);
    const bool ready = !m_ready || m_ready(command);
    socket.write(ready ? DoneReply : BusyReply);
    // The start that asked closes once it has read the reply, and only then
    // does the command run: a Windows pipe closed from this end throws away
    // a reply not read yet, and "&Encerrar" closes them all.
    if (ready) {
        connect(
            &socket, &QLocalSocket::disconnected, this, [this, command] { Q_EMIT commandRequested(command); },
            Qt::QueuedConnection);
    }
    QTimer::singleShot(PeerLingerMs, &socket, &QLocalSocket::abort);
}
