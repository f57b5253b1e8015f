#include "InstanceClient.h"

#include "shell/InstanceServer.h"

#include <QLocalSocket>

namespace InstanceClient {

Outcome ask(const QString& serverName, MenuCommand command, QDeadlineTimer deadline, bool& ran)
{
    QLocalSocket socket;
    const auto failed = [&socket](const char* step) {
        return Outcome::failure(QStringLiteral("%1: %2").arg(QLatin1String(step), socket.errorString()));
    };
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(deadline.remainingTime())) {
        return failed("connecting");
    }
    socket.write(MenuCommands::request(command));
    if (!socket.waitForBytesWritten(deadline.remainingTime())) {
        return failed("sending");
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(deadline.remainingTime())) {
            return deadline.hasExpired() ? Outcome::failure(QStringLiteral("no answer"))
                                         : failed("waiting for the answer");
        }
    }
    const QByteArray reply = socket.readLine();
    if (reply != InstanceServer::DoneReply && reply != InstanceServer::BusyReply) {
        return Outcome::failure(QStringLiteral("an answer not understood"));
    }
    ran = reply == InstanceServer::DoneReply;
    return Outcome::success();
}

} // namespace InstanceClient
