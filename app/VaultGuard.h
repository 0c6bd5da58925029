#pragma once

#include "app/IdleTimer.h"
#include "platform/SessionLockWatch.h"

#include <functional>
#include <memory>

class Environment;
class PassGridClipboard;

// Keeps what an open vault lets out in reach only while it should be: the
// idle time and the session's lock or the computer's sleep ask for the
// lock, a copied password leaves the clipboard after a while, and from the
// first opening on the process keeps its memory to itself.
class VaultGuard
{
public:
    // lock runs when the vault is to be locked; it must call closed() once
    // it is, or opened() again when it cannot be.
    VaultGuard(Environment &environment, PassGridClipboard &clipboard, std::function<void()> lock);

    // window: the main window's native handle, for the session's messages.
    void opened(int lockMinutes, quintptr window);
    void closed();

private:
    Environment &m_environment;
    PassGridClipboard &m_clipboard;
    std::function<void()> m_lock;
    IdleTimer m_idle;
    std::unique_ptr<SessionLockWatch> m_sessionLock;
};
