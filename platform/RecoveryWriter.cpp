#include "platform/RecoveryWriter.h"

#include "platform/RecoveryFile.h"

#include <QSet>

#include <algorithm>

namespace {

void logOnce(const QString &pagePath, const QString &reason)
{
    static QSet<QString> logged;
    if (logged.contains(reason))
        return;
    logged.insert(reason);
    qWarning("No recovery file kept for %s: %s", qUtf8Printable(pagePath), qUtf8Printable(reason));
}

} // namespace

RecoveryWriter::~RecoveryWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void RecoveryWriter::write(const QString &pagePath, QByteArray content, QByteArray baseStamp)
{
    {
        const std::lock_guard lock(m_mutex);
        dropQueued(pagePath);
        m_queue.push_back({pagePath, std::move(content), std::move(baseStamp)});
        if (!m_thread.joinable())
            m_thread = std::thread(&RecoveryWriter::run, this);
    }
    m_wake.notify_one();
}

bool RecoveryWriter::discard(const QString &pagePath)
{
    std::unique_lock lock(m_mutex);
    dropQueued(pagePath);
    waitIdle(lock);
    return RecoveryFile::remove(pagePath);
}

AtomicFile::Result RecoveryWriter::writeNow(const QString &pagePath, const QByteArray &content,
                                            const QByteArray &baseStamp)
{
    std::unique_lock lock(m_mutex);
    dropQueued(pagePath);
    waitIdle(lock);
    return RecoveryFile::write(pagePath, content, baseStamp);
}

void RecoveryWriter::finish()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

// Only the job in progress matters: the lock keeps new ones from starting.
void RecoveryWriter::waitIdle(std::unique_lock<std::mutex> &lock)
{
    m_idle.wait(lock, [this] { return !m_busy; });
}

void RecoveryWriter::dropQueued(const QString &pagePath)
{
    std::erase_if(m_queue, [&](const Job &job) { return job.pagePath == pagePath; });
}

void RecoveryWriter::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        const AtomicFile::Result result = RecoveryFile::write(job.pagePath, job.content, job.baseStamp);
        if (!result.ok)
            logOnce(job.pagePath, result.reason);
        lock.lock();
        m_busy = false;
        m_idle.notify_all();
    }
}
