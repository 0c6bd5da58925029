#include "platform/SessionLockWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>
#include <wtsapi32.h>

struct SessionLockWatch::Listener : QAbstractNativeEventFilter
{
    Listener(SessionLockWatch &watch, HWND window) : watch(watch), window(window)
    {
        WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~Listener() override
    {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        WTSUnRegisterSessionNotification(window);
    }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        const bool locking = (msg->message == WM_WTSSESSION_CHANGE && msg->wParam == WTS_SESSION_LOCK) ||
                             (msg->message == WM_POWERBROADCAST && msg->wParam == PBT_APMSUSPEND);
        if (msg->hwnd == window && locking)
            emit watch.locking();
        return false;
    }

    SessionLockWatch &watch;
    HWND window;
};

SessionLockWatch::SessionLockWatch(quintptr window, QObject *parent)
    : QObject(parent), m_listener(std::make_unique<Listener>(*this, reinterpret_cast<HWND>(window)))
{
}

SessionLockWatch::~SessionLockWatch() = default;
