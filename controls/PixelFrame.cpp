#include "controls/PixelFrame.h"

#include <QPainter>

namespace PixelFrame {

QRect paintRing(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    if (r.width() > 0 && r.height() > 0) {
        painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    }
    return r.adjusted(1, 1, -1, -1);
}

} // namespace PixelFrame
