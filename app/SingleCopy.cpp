#include "app/SingleCopy.h"

#include "platform/LocalChannel.h"
#include "platform/RunningCopy.h"

#include <QDeadlineTimer>
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
    // Before the request: the running copy may take the foreground only
    // if this one, the foreground's owner, lets it.
    RunningCopy::allowForeground();
    return LocalChannel::send(m_serverName, kComeOut.toByteArray(), kAnswerMilliseconds);
}

void SingleCopy::listen()
{
    if (!m_lock.isLocked() || m_listener)
        return;
    m_listener = std::make_unique<LocalListener>(kComeOut.size());
    connect(m_listener.get(), &LocalListener::received, this, [this](const QByteArray &request) {
        if (request == kComeOut)
            emit comeOutRequested();
    });
    if (!m_listener->listen(m_serverName))
        m_listener.reset();
}
