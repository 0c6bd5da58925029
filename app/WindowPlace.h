#pragma once

#include <QList>
#include <QRect>

#include <optional>

class Environment;
class QWidget;

// Where the window stands at the right edge of the primary screen: rolled
// in to its handle or out, kept where a handle can be reached. The screen
// is asked afresh every time: the display may change.
class WindowPlace
{
public:
    WindowPlace(QWidget &window, Environment &environment) : m_window(window), m_environment(environment) {}

    // Rolled in at the top edge y.
    void placeRolledIn(int y);
    bool isRolledIn() const;
    // Moves the window through offsets from the screen's right edge,
    // pausing between the steps when pause is set.
    void roll(const QList<int> &offsets, std::optional<int> pause);
    // Out in full when rolled in, or when a narrower screen left part of
    // it beyond the edge; a window already in view stays where it is.
    void bringIntoView();
    // Moves a window whose side handles lie on no screen back where it
    // can be reached; whether it moved.
    bool keepReachable();
    // The wanted place of a dialog, moved just enough to have it whole on
    // the primary screen; a screen smaller than it keeps its top left.
    QPoint fittedOnScreen(QRect wanted) const;

private:
    int screenWidth() const;

    QWidget &m_window;
    Environment &m_environment;
};
