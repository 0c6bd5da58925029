#include "platform/SessionLockWatch.h"

#include <QDBusConnection>

namespace {

const QString Login1 = QStringLiteral("org.freedesktop.login1");

// D-Bus delivers to slots named in strings.
class DBusListener : public QObject
{
    Q_OBJECT

public:
    explicit DBusListener(SessionLockWatch &watch) : m_watch(watch)
    {
        QDBusConnection system = QDBusConnection::systemBus();
        system.connect(Login1, QString(), QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock"),
                       this, SLOT(locked()));
        system.connect(Login1, QStringLiteral("/org/freedesktop/login1"),
                       QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                       SLOT(changed(bool)));
        QDBusConnection session = QDBusConnection::sessionBus();
        for (const char *screenSaver : {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver"})
            session.connect(QString(), QString(), QLatin1String(screenSaver), QStringLiteral("ActiveChanged"), this,
                            SLOT(changed(bool)));
    }

private slots:
    void locked() { emit m_watch.locking(); }
    // Sleep or the screen saver begins with true and ends with false.
    void changed(bool beginning)
    {
        if (beginning)
            emit m_watch.locking();
    }

private:
    SessionLockWatch &m_watch;
};

} // namespace

struct SessionLockWatch::Listener
{
    explicit Listener(SessionLockWatch &watch) : dbus(watch) {}
    DBusListener dbus;
};

SessionLockWatch::SessionLockWatch(quintptr, QObject *parent)
    : QObject(parent), m_listener(std::make_unique<Listener>(*this))
{
}

SessionLockWatch::~SessionLockWatch() = default;

#include "SessionLockWatchUnix.moc"
