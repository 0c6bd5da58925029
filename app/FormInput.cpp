#include "app/FormInput.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <utility>

HandleMouseInput::HandleMouseInput(GuardedRun guarded, Handlers handlers)
    : m_guarded(std::move(guarded)), m_on(std::move(handlers))
{}

bool HandleMouseInput::eventFilter(QObject *watched, QEvent *event)
{
    // A second press within the double-click time comes as a double click;
    // it is a press like any other, or a quick click back would be lost.
    const QEvent::Type type = event->type();
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (!press && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    // From the global position: while a drag moves the window, the window
    // system may still report positions against where it was before.
    const QPoint position = static_cast<QWidget *>(watched)->mapFromGlobal(mouse->globalPosition()).toPoint();
    m_guarded([&] {
        if (press) {
            // Set until the press has done its work: a press that failed
            // has told the user, and a second box for its release would
            // only repeat the same trouble.
            m_pressFailed = true;
            m_on.press(mouse->button(), mouse->buttons(), position);
            m_pressFailed = false;
        } else if (type == QEvent::MouseMove) {
            m_on.move(mouse->buttons(), position);
        } else if (!std::exchange(m_pressFailed, false)) {
            m_on.release(mouse->button(), position);
        }
    });
    return true;
}

EditorInput::EditorInput(GuardedRun guarded, Handlers handlers)
    : m_guarded(std::move(guarded)), m_on(std::move(handlers))
{}

// The editor's own handling runs unless the key is consumed here; the
// releases come after it, so they see the editor as it now stands.
bool EditorInput::eventFilter(QObject *, QEvent *event)
{
    bool consumed = false;
    switch (event->type()) {
    case QEvent::KeyPress:
        m_guarded([&] { consumed = m_on.keyDown(*static_cast<QKeyEvent *>(event)); });
        break;
    case QEvent::KeyRelease:
        m_guarded(m_on.keyUp);
        break;
    case QEvent::MouseButtonRelease:
        // After the editor has moved its caret for the release.
        QMetaObject::invokeMethod(
            this, [this] { m_guarded(m_on.mouseUp); }, Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return consumed;
}
