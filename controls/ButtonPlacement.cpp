#include "controls/ButtonPlacement.h"

namespace {

// Both items are centred across the axis; rounding puts an odd pixel after.
int centred(int extent, int size)
{
    return (extent - size + 1) / 2;
}

} // namespace

ButtonPlacement ButtonPlacement::compute(const QRect &content, QSize glyph, QSize text,
                                         TButtonLayout layout, int margin, int spacing)
{
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int extent = horizontal ? content.width() : content.height();
    const int across = horizontal ? content.height() : content.width();
    const int glyphAlong = horizontal ? glyph.width() : glyph.height();
    const int textAlong = horizontal ? text.width() : text.height();

    if (text.width() == 0 || glyph.width() == 0)
        spacing = 0;

    if (margin == -1) {
        if (spacing == -1) {
            margin = (extent - (glyphAlong + textAlong)) / 3;
            spacing = margin;
        } else {
            margin = (extent - (glyphAlong + spacing + textAlong) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (extent - (margin + glyphAlong) - textAlong) / 2;
    }

    int glyphAt = 0;
    int textAt = 0;
    switch (layout) {
    case blGlyphLeft:
    case blGlyphTop:
        glyphAt = margin;
        textAt = glyphAt + glyphAlong + spacing;
        break;
    case blGlyphRight:
    case blGlyphBottom:
        glyphAt = extent - margin - glyphAlong;
        textAt = glyphAt - spacing - textAlong;
        break;
    }

    const int glyphAcross = centred(across, horizontal ? glyph.height() : glyph.width());
    const int textAcross = centred(across, horizontal ? text.height() : text.width());
    const QPoint glyphOffset = horizontal ? QPoint(glyphAt, glyphAcross) : QPoint(glyphAcross, glyphAt);
    const QPoint textOffset = horizontal ? QPoint(textAt, textAcross) : QPoint(textAcross, textAt);

    ButtonPlacement placement;
    placement.glyphPos = content.topLeft() + glyphOffset;
    placement.textRect = QRect(content.topLeft() + textOffset, text);
    return placement;
}
