#include "InstanceServer.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {
// Longer than any request: a peer sending more without a line end is not one
// of ours.
constexpr qint64 MaxRequest = 64;
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
    if (MenuCommands::fromRequest(socket.readLine(MaxRequest + 1), command)) {
        if (m_ready && !m_ready(command)) {
            socket.write(BusyReply);
            socket.disconnectFromServer();
            return;
        }
        socket.write(DoneReply);
        QMetaObject::invokeMethod(
            this, [this, command] { Q_EMIT commandRequested(command); }, Qt::QueuedConnection);
    }
    // Sends the reply before it closes.
    socket.disconnectFromServer();
}
