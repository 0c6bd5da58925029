#pragma once

#include "platform/AtomicFile.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Writes recovery files on a thread of its own, one at a time and in the
// order asked, so that writing a long page to the disk never stalls typing.
// The thread starts with the first write. A write that fails is logged
// once for each reason; the page stays in memory and its described save
// will report what is wrong.
class RecoveryWriter
{
public:
    RecoveryWriter() = default;
    // Finishes what is queued.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter &) = delete;
    RecoveryWriter &operator=(const RecoveryWriter &) = delete;

    // Queues a write of pagePath's recovery file; a queued write of the
    // same page that has not begun is replaced.
    void write(const QString &pagePath, QByteArray content, QByteArray baseStamp);
    // Drops the queued writes of pagePath, waits for one in progress and
    // removes the recovery file; true when none is left.
    bool discard(const QString &pagePath);
    // Writes now, on the caller's thread, once what is queued for the page
    // is dropped and what is in progress is done.
    [[nodiscard]] AtomicFile::Result writeNow(const QString &pagePath, const QByteArray &content,
                                              const QByteArray &baseStamp);
    // Returns once every queued write is done.
    void finish();

private:
    struct Job
    {
        QString pagePath;
        QByteArray content;
        QByteArray baseStamp;
    };

    void run();
    void dropQueued(const QString &pagePath);
    void waitIdle(std::unique_lock<std::mutex> &lock);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
