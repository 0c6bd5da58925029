#pragma once

#include "controls/WinColor.h"

#include <QImage>
#include <QRect>

// Pictures and pixel probes shared by the colour button tests.
namespace GlyphImages {

inline QImage filled(QSize size, TColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(WinColor::toQColor(color));
    return image;
}

// A glyph of one colour whose bottom-left pixel is olive, so that only
// that pixel counts as background.
inline QImage solid(QSize size, TColor ink)
{
    QImage image = filled(size, ink);
    image.setPixelColor(0, size.height() - 1, WinColor::toQColor(WinColor::Olive));
    return image;
}

inline TColor pixel(const QImage &image, int x, int y)
{
    return WinColor::fromQRgb(image.pixel(x, y));
}

inline void setPixel(QImage &image, int x, int y, TColor color)
{
    image.setPixelColor(x, y, WinColor::toQColor(color));
}

// The smallest rectangle holding every pixel of that colour.
inline QRect bounds(const QImage &image, TColor color)
{
    QRect found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (pixel(image, x, y) == color)
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

inline int count(const QImage &image, TColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += pixel(image, x, y) == color;
    }
    return n;
}

} // namespace GlyphImages
