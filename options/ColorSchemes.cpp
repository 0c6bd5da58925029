#include "options/ColorSchemes.h"

#include <QList>

namespace ColorSchemes {

using WinColor::rgb;

const std::array<ColorScheme, 5> FixedPalettes = {{
    {rgb(224, 223, 227), rgb(192, 192, 192), rgb(160, 160, 164)}, // silver
    {rgb(255, 255, 204), rgb(255, 207, 87), rgb(232, 191, 38)},   // yellow
    {rgb(255, 210, 210), rgb(255, 102, 102), rgb(255, 66, 66)},   // red
    {rgb(204, 204, 255), rgb(89, 89, 255), rgb(63, 49, 234)},     // blue
    {rgb(204, 255, 204), rgb(0, 198, 0), rgb(0, 128, 0)},         // green
}};

std::optional<ColorScheme> schemeFor(int palette, TColor color1, TColor color2, TColor color3)
{
    if (palette == UserPalette)
        return ColorScheme{color1, color2, color3};
    if (palette < FirstPalette || palette > UserPalette)
        return std::nullopt;
    return FixedPalettes[std::size_t(palette - FirstPalette)];
}

namespace {

constexpr QPoint kFillStart{2, 2};
constexpr QPoint kItalicEnclosedPixel{10, 8};

// Four-way fill of every pixel reachable from start without crossing a
// black pixel.
void floodFillToBlack(QImage &image, QPoint start, QRgb fill)
{
    const QRgb black = qRgb(0, 0, 0);
    QList<bool> seen(qsizetype(image.width()) * image.height(), false);
    QList<QPoint> pending{start};
    while (!pending.isEmpty()) {
        const QPoint p = pending.takeLast();
        if (!image.rect().contains(p))
            continue;
        const qsizetype index = qsizetype(p.y()) * image.width() + p.x();
        if (seen[index] || image.pixel(p) == black)
            continue;
        seen[index] = true;
        image.setPixel(p, fill);
        pending.append({p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
}

} // namespace

QImage filledStylePicture(const QImage &original, TColor color, bool italic)
{
    QImage image = original.convertToFormat(QImage::Format_RGB32);
    const QRgb fill = WinColor::toQColor(color).rgb();
    floodFillToBlack(image, kFillStart, fill);
    if (italic && image.rect().contains(kItalicEnclosedPixel))
        image.setPixel(kItalicEnclosedPixel, fill);
    return image;
}

} // namespace ColorSchemes
