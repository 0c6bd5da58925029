#include "app/PassGridClipboard.h"

#include "app/Environment.h"
#include "passwords/PassGrid.h"
#include "passwords/PasswordClipboard.h"

#include <QMimeData>

PassGridClipboard::PassGridClipboard(PassGrid &grid, Environment &environment)
    : m_grid(grid), m_environment(environment)
{
    m_clearTimer.setSingleShot(true);
    QObject::connect(&m_clearTimer, &QTimer::timeout, [this] { clearPassword(); });
}

void PassGridClipboard::copy()
{
    const std::optional<PassCellCopy> copied = m_grid.textToCopy();
    if (!copied)
        return;
    m_environment.setClipboardMimeData(PasswordClipboard::mimeData(copied->text, copied->secret));
    m_password = copied->secret ? copied->text : QString();
    if (m_clearDelay && copied->secret)
        m_clearTimer.start(*m_clearDelay);
}

void PassGridClipboard::followKeys(QObject &context,
                                   const std::function<void(std::function<void()>)> &whenIdle)
{
    QObject::connect(&m_grid, &PassGrid::pasteKeyPressed, &context,
                     [this, whenIdle] { whenIdle([this] { paste(); }); });
    QObject::connect(&m_grid, &PassGrid::copyKeyPressed, &context,
                     [this, whenIdle] { whenIdle([this] { copy(); }); });
}

void PassGridClipboard::paste()
{
    const QMimeData *data = m_environment.clipboardMimeData();
    m_grid.paste(data && data->hasText() ? data->text() : QString());
}

void PassGridClipboard::clearPassword()
{
    if (!m_password.isEmpty() && PasswordClipboard::holdsSecret(m_environment.clipboardMimeData(), m_password))
        m_environment.clearClipboard();
}

void PassGridClipboard::clearAfter(std::optional<std::chrono::milliseconds> delay)
{
    m_clearDelay = delay;
    if (!delay)
        m_clearTimer.stop();
}
