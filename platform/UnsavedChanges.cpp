#include "platform/UnsavedChanges.h"

UnsavedChanges::UnsavedChanges(RecoveryWriter &writer, std::function<QByteArray()> content, QObject *parent)
    : QObject(parent), m_writer(writer), m_content(std::move(content))
{
    for (QTimer *timer : {&m_quiet, &m_longest}) {
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &UnsavedChanges::keep);
    }
    setDelays({});
}

void UnsavedChanges::setDelays(const RecoveryDelays &delays)
{
    m_quiet.setInterval(delays.quiet);
    m_longest.setInterval(delays.longest);
}

void UnsavedChanges::track(const QString &pagePath, const QByteArray &stamp)
{
    if (m_frozen)
        return;
    discard();
    m_pagePath = pagePath;
    m_stamp = stamp;
    m_leftAlone = false;
}

void UnsavedChanges::saved(const QByteArray &stamp)
{
    if (m_frozen)
        return;
    m_stamp = stamp;
    discard();
}

void UnsavedChanges::discard()
{
    if (m_frozen)
        return;
    stop();
    if (!m_pagePath.isEmpty() && !m_leftAlone)
        m_writer.discard(m_pagePath);
}

// Restarting the quiet timer at every key is all a key costs.
void UnsavedChanges::changed()
{
    if (m_frozen)
        return;
    if (m_pagePath.isEmpty() || m_leftAlone)
        return;
    m_quiet.start();
    if (!m_longest.isActive())
        m_longest.start();
}

AtomicFile::Result UnsavedChanges::keepNow()
{
    stop();
    if (m_leftAlone)
        return {false, QStringLiteral("it holds earlier changes that could not be kept aside")};
    const QByteArray content = m_content();
    if (content.isNull())
        return {false, QStringLiteral("the page cannot be stored as it stands")};
    return m_writer.writeNow(m_pagePath, content, m_stamp);
}

void UnsavedChanges::leaveRecoveryAlone()
{
    stop();
    m_leftAlone = true;
}

void UnsavedChanges::freeze()
{
    stop();
    m_frozen = true;
}

void UnsavedChanges::keep()
{
    stop();
    if (QByteArray content = m_content(); !content.isNull())
        m_writer.write(m_pagePath, std::move(content), m_stamp);
}

void UnsavedChanges::stop()
{
    m_quiet.stop();
    m_longest.stop();
}
