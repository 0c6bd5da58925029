#include "app/IdleTimer.h"

#include <QCoreApplication>
#include <QEvent>

IdleTimer::IdleTimer(std::function<void()> expired, QObject *parent)
    : QObject(parent), m_expired(std::move(expired))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        stop();
        m_expired();
    });
}

void IdleTimer::start(std::chrono::milliseconds idle)
{
    m_timer.start(idle);
    QCoreApplication::instance()->installEventFilter(this);
}

void IdleTimer::stop()
{
    m_timer.stop();
    QCoreApplication::instance()->removeEventFilter(this);
}

bool IdleTimer::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        m_timer.start();
        break;
    default:
        break;
    }
    return false;
}
