#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStringList>

// The program's pictures, built in: the toolbar and calendar glyphs
// (16 x 16, the 16 standard colours, olive background), the alarm bells
// "C1" and "C2" (17 x 13, see-through background), the side-handle
// pictures "LOGOD" and "LOGOE" (14 x 46), the style pictures (20 x 20)
// and the program icon.
namespace Bitmaps {

// Every bitmap name, sorted.
QStringList names();

// The bitmap of that name as drawn; a null image for a name without one.
QImage bitmap(const QString &name);

// A picture for a screen of that device pixel ratio: each pixel made a
// square of whole device pixels, so that the picture stays sharp where Qt
// would smooth it into blur.
QPixmap pixmapFor(const QImage &picture, qreal devicePixelRatio);

enum class TextStyle { Bold, Italic, Underline };

// A style button's picture: the letter in black on a square inside a
// black frame, bevelled out when off and in when on. The square's colour
// is a placeholder for the colour scheme's fill from (2, 2).
QImage stylePicture(TextStyle style, bool on);

// The program's icon at 16, 32 and 48 pixels.
QIcon programIcon();

} // namespace Bitmaps
