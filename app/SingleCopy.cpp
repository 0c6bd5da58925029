#include "app/SingleCopy.h"

#include "platform/RunningCopy.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

constexpr QByteArrayView kComeOut = "come out\n";
// How long a later start waits for a copy that holds the lock to answer:
// the holder listens a moment after it takes the lock, and lets it go a
// moment after it stops listening.
constexpr int kAnswerMilliseconds = 2000;
constexpr int kRetryMilliseconds = 20;

} // namespace

SingleCopy::SingleCopy(const QString &dataFolder)
    : SingleCopy(RunningCopy::lockFilePath(dataFolder), RunningCopy::serverName(dataFolder))
{
}

SingleCopy::SingleCopy(const QString &lockPath, const QString &serverName)
    : m_lock(lockPath), m_serverName(serverName)
{
    // Held for the whole run: only a holder that died makes it stale.
    m_lock.setStaleLockTime(0);
}

SingleCopy::~SingleCopy() = default;

SingleCopy::Claim SingleCopy::claim()
{
    const QDeadlineTimer deadline(kAnswerMilliseconds);
    while (true) {
        if (m_lock.tryLock(0))
            return Claim::First;
        if (m_lock.error() != QLockFile::LockFailedError)
            return Claim::Unguarded;
        if (askToComeOut())
            return Claim::HandedOver;
        if (deadline.hasExpired())
            return Claim::Unanswered;
        QThread::msleep(kRetryMilliseconds);
    }
}

bool SingleCopy::askToComeOut() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kAnswerMilliseconds))
        return false;
    RunningCopy::allowForeground();
    socket.write(kComeOut.data(), kComeOut.size());
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kAnswerMilliseconds)) {
    }
    const bool sent = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return sent;
}

void SingleCopy::listen()
{
    if (!m_lock.isLocked() || m_server)
        return;
    // Left by a copy that died; while we hold the lock no live copy owns it.
    QLocalServer::removeServer(m_serverName);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleCopy::acceptStarts);
    if (!m_server->listen(m_serverName))
        m_server.reset();
}

void SingleCopy::acceptStarts()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        readRequest(socket);
    }
}

// Anything but the one request is dropped unread beyond its length.
void SingleCopy::readRequest(QLocalSocket *socket)
{
    if (!socket->canReadLine() && socket->bytesAvailable() < kComeOut.size())
        return;
    const QByteArray request = socket->read(kComeOut.size());
    socket->abort();
    if (request == kComeOut)
        emit comeOutRequested();
}
