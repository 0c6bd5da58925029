#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>

#include <optional>

// The geometry and motion of the main window's frame, free of widgets.
namespace WindowFrame {

// Rolled in, the left edge is this far from the screen's right edge;
// rolled out, the toolbar strip ends at the screen edge.
constexpr int RolledInOffset = 16;
constexpr int RolledOutOffset = 525;

// The window's outline: toolbar strip and page area, plus the alarm area
// when it is shown.
QRegion windowShape(bool alarmAreaShown);

// The pixels of region that touch its border: a one-pixel frame inside it.
QRegion borderOf(const QRegion &region);

// Offsets from the screen's right edge that a roll passes through, the
// last one being where it ends.
QList<int> rollOutOffsets(int rollEffect);
QList<int> rollInOffsets(int rollEffect);

// The pause after each step of a roll, in milliseconds; none for roll
// effect 0 and for values the options cannot mean.
std::optional<int> RollDelay(int rollEffect);

// Where the window at window must go so that the user can reach it: a
// side handle that lies on no screen cannot be clicked. Nothing while one
// of them lies at least partly on a screen; otherwise rolled in at the
// primary screen's right edge (screens' first) with the window's whole
// height on that screen where it fits. The top edge moves only as far as
// it must.
std::optional<QPoint> reachablePlace(const QRect &window, const QList<QRect> &screens);

// The hint of both side handles: what a right click does, and the drag
// hint when the window may be moved, joined by a carriage return.
QString handleHint(int languageIndex, bool rolledIn, int adjust);

} // namespace WindowFrame
