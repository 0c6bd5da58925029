#pragma once

#include <QObject>

#include <memory>

// Tells when the system is about to lock the session or suspend the
// computer, where it says so: on Linux logind and the desktop's screen
// saver over D-Bus, on Windows the session and power messages it sends to
// a window of the program.
class SessionLockWatch : public QObject
{
    Q_OBJECT

public:
    // window: the native handle of a top-level window of the program.
    explicit SessionLockWatch(quintptr window, QObject *parent = nullptr);
    ~SessionLockWatch() override;

signals:
    void locking();

private:
    struct Listener;
    std::unique_ptr<Listener> m_listener;
};
