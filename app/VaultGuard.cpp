#include "app/VaultGuard.h"

#include "app/Environment.h"
#include "app/PassGridClipboard.h"
#include "platform/CoreDumps.h"

VaultGuard::VaultGuard(Environment &environment, PassGridClipboard &clipboard, std::function<void()> lock)
    : m_environment(environment), m_clipboard(clipboard), m_lock(std::move(lock)), m_idle(m_lock)
{
}

void VaultGuard::opened(int lockMinutes, quintptr window)
{
    if (!m_sessionLock) {
        CoreDumps::forbid();
        m_sessionLock = std::make_unique<SessionLockWatch>(window);
        QObject::connect(m_sessionLock.get(), &SessionLockWatch::locking, m_sessionLock.get(), m_lock);
    }
    const SecretDelays delays = m_environment.secretDelays();
    m_idle.start(delays.minute * lockMinutes);
    m_clipboard.clearAfter(delays.clipboard);
}

void VaultGuard::closed()
{
    m_idle.stop();
    m_clipboard.clearPassword();
    m_clipboard.clearAfter(std::nullopt);
}
