#pragma once

#include "platform/RecoveryDelays.h"
#include "platform/RecoveryWriter.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Keeps the unsaved changes of one page in its recovery file, a quiet
// while after typing pauses and at the latest a longer while after it
// began. No timer runs while nothing has changed. The content is taken on
// the caller's thread when it is due, and written by the writer.
class UnsavedChanges : public QObject
{
public:
    // content gives the bytes the page file would hold now, or null bytes
    // when the page cannot be stored.
    UnsavedChanges(RecoveryWriter &writer, std::function<QByteArray()> content, QObject *parent = nullptr);

    void setDelays(const RecoveryDelays &delays);

    // The page at pagePath is now the one held, standing in its file as
    // stamp says. What was kept of the page held before is dropped: it was
    // saved or given up.
    void track(const QString &pagePath, const QByteArray &stamp);
    // The page was saved as stamp: its recovery file goes.
    void saved(const QByteArray &stamp);
    // The changes were given up.
    void discard();
    // The page changed.
    void changed();
    // A write is due.
    bool isPending() const { return m_quiet.isActive(); }
    // Writes the recovery file at once and waits for it.
    [[nodiscard]] AtomicFile::Result keepNow();
    // The recovery file at the page's place holds changes that could not
    // be kept aside: until another page is tracked, nothing writes or
    // removes it, so the page's changes are kept only by its save.
    void leaveRecoveryAlone();
    // The program is ending: what stands in the recovery file now stays,
    // whatever a handler still under way does to the page.
    void freeze();

    const QString &pagePath() const { return m_pagePath; }

private:
    void keep();
    void stop();

    RecoveryWriter &m_writer;
    std::function<QByteArray()> m_content;
    QString m_pagePath;
    QByteArray m_stamp;
    QTimer m_quiet;
    QTimer m_longest;
    bool m_frozen = false;
    bool m_leftAlone = false;
};
