#include "controls/GroupBox.h"

#include "controls/PixelFrame.h"

#include <QPainter>

TGroupBox::TGroupBox(QWidget *parent)
    : QGroupBox(parent)
{
}

// An etched frame: a shadow line with a light line inside it.
void TGroupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    PixelFrame::paintRing(painter, frame, palette().color(QPalette::Mid));
    PixelFrame::paintRing(painter, frame.translated(1, 1), palette().color(QPalette::Light));
    const QRect titleRect(8, 0, metrics.horizontalAdvance(title()), metrics.height());
    painter.fillRect(titleRect, palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, title());
}
