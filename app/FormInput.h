#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QKeyEvent;

// Runs a handler of the main window through its guard.
using GuardedRun = std::function<void(const std::function<void()> &)>;

// The mouse on the window's handles, decoded into press, move and
// release, each through the guard.
class HandleMouseInput : public QObject
{
public:
    struct Handlers
    {
        std::function<void(Qt::MouseButton, Qt::MouseButtons, QPoint)> press;
        std::function<void(Qt::MouseButtons, QPoint)> move;
        std::function<void(Qt::MouseButton, QPoint)> release;
    };

    HandleMouseInput(GuardedRun guarded, Handlers handlers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GuardedRun m_guarded;
    Handlers m_on;
    // The last press failed, and its release is to do nothing.
    bool m_pressFailed = false;
};

// The note editor's keys and mouse releases, for what they do besides
// editing; each handler runs through the guard.
class EditorInput : public QObject
{
public:
    struct Handlers
    {
        // True when the key is consumed and the editor must not see it.
        std::function<bool(const QKeyEvent &)> keyDown;
        std::function<void()> keyUp;
        std::function<void()> mouseUp;
    };

    EditorInput(GuardedRun guarded, Handlers handlers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GuardedRun m_guarded;
    Handlers m_on;
};
