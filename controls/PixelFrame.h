#pragma once

#include <QColor>
#include <QRect>

class QPainter;

// Frames of filled rectangles. A pen's one-pixel line is centred on the
// edge of its pixel, so at a device pixel ratio of 2 it lands half a pixel
// up and left of where it lies at 1; filled rectangles cover whole pixels
// at every ratio.
namespace PixelFrame {

// Paints a one-pixel ring on the edge of r: the first colour on the left and
// top edges, the second on the right and bottom edges, which own the corners
// the two share. Returns r shrunk by that pixel on each side.
QRect paintRing(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight);

inline QRect paintRing(QPainter &painter, const QRect &r, const QColor &color)
{
    return paintRing(painter, r, color, color);
}

} // namespace PixelFrame
