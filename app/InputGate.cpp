#include "app/InputGate.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

InputGate::InputGate(std::function<void()> onFirstInput) : m_onFirstInput(std::move(onFirstInput)) {}

void InputGate::arm()
{
    if (!std::exchange(m_armed, true))
        QCoreApplication::instance()->installEventFilter(this);
}

void InputGate::disarm()
{
    if (std::exchange(m_armed, false))
        QCoreApplication::instance()->removeEventFilter(this);
}

bool InputGate::eventFilter(QObject *, QEvent *event)
{
    if (m_armed && isInput(event->type())) {
        disarm();
        m_onFirstInput();
    }
    return false;
}
