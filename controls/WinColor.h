#pragma once

#include <QColor>
#include <QtGlobal>

// A colour as the settings file and the colour schemes hold it: 0x00BBGGRR,
// red in the low byte. A negative value names a system colour instead; its
// low byte is the system colour's index, resolved against the application
// palette whenever the colour is used.
using TColor = qint32;

namespace WinColor {

constexpr TColor rgb(int r, int g, int b)
{
    return TColor(r | (g << 8) | (b << 16));
}

constexpr int red(TColor c) { return c & 0xFF; }
constexpr int green(TColor c) { return (c >> 8) & 0xFF; }
constexpr int blue(TColor c) { return (c >> 16) & 0xFF; }

// System colours: the flag bits plus an index.
constexpr TColor SystemColorFlag = TColor(0xFF000000);
constexpr TColor ButtonFace = SystemColorFlag | 15;
constexpr TColor ButtonShadow = SystemColorFlag | 16;
constexpr TColor ButtonText = SystemColorFlag | 18;
constexpr TColor ButtonHighlight = SystemColorFlag | 20;

constexpr TColor White = rgb(255, 255, 255);
constexpr TColor Black = rgb(0, 0, 0);
constexpr TColor Gray = rgb(128, 128, 128);
constexpr TColor Olive = rgb(128, 128, 0);

constexpr bool isSystemColor(TColor c) { return c < 0; }

// The plain 0x00BBGGRR value; system colours come from the application
// palette.
TColor toRgb(TColor c);

QColor toQColor(TColor c);
TColor fromQRgb(QRgb rgb);
TColor fromQColor(const QColor &c);

} // namespace WinColor

// The colour lightened (percent > 0) or darkened (percent < 0). Integer
// arithmetic truncating toward zero; when lightening, the overflow of red
// spills into green and blue, and that of green or blue back into red, so a
// saturated channel still gives a visibly lighter colour.
TColor ShadeColor(TColor color, int percent);
