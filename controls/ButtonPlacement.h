#pragma once

#include "controls/ButtonTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// Where glyph and caption go inside a button's content rectangle.
struct ButtonPlacement
{
    QPoint glyphPos;
    QRect textRect;

    // content: the content rectangle; glyph and text: the sizes of the glyph
    // (one image) and of the measured caption, empty when absent. margin -1
    // centres the pair; spacing -1 spreads it evenly.
    static ButtonPlacement compute(const QRect &content, QSize glyph, QSize text,
                                   TButtonLayout layout, int margin, int spacing);
};
