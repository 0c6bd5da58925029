// Named pipes through Qt Network, which Windows loads cheaply.
#include "platform/LocalChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace LocalChannel {

bool send(const QString &name, const QByteArray &request, int timeoutMilliseconds)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMilliseconds))
        return false;
    socket.write(request);
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(timeoutMilliseconds)) {
    }
    const bool sent = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return sent;
}

} // namespace LocalChannel

struct LocalListener::Channel
{
    QLocalServer server;
};

LocalListener::LocalListener(qsizetype requestLength, QObject *parent)
    : QObject(parent), m_requestLength(requestLength)
{
}

LocalListener::~LocalListener() = default;

bool LocalListener::listen(const QString &name)
{
    if (m_channel)
        return false;
    auto channel = std::make_unique<Channel>();
    QLocalServer::removeServer(name);
    channel->server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!channel->server.listen(name))
        return false;
    QLocalServer *server = &channel->server;
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket *socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(LocalChannel::kSilenceLimit, socket, &QLocalSocket::abort);
            const auto read = [this, socket] {
                if (socket->bytesAvailable() < m_requestLength)
                    return;
                const QByteArray request = socket->read(m_requestLength);
                socket->abort();
                emit received(request);
            };
            connect(socket, &QLocalSocket::readyRead, this, read);
            read();
        }
    });
    m_channel = std::move(channel);
    return true;
}
