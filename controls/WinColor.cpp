#include "controls/WinColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace WinColor {

namespace {

struct SystemRole
{
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system colour indexes that have a counterpart in a Qt palette.
constexpr SystemRole kSystemRoles[] = {
    {1, QPalette::Active, QPalette::Window},           // desktop
    {4, QPalette::Active, QPalette::Window},           // menu
    {5, QPalette::Active, QPalette::Base},             // window
    {6, QPalette::Active, QPalette::Shadow},           // window frame
    {7, QPalette::Active, QPalette::WindowText},       // menu text
    {8, QPalette::Active, QPalette::Text},             // window text
    {13, QPalette::Active, QPalette::Highlight},
    {14, QPalette::Active, QPalette::HighlightedText},
    {15, QPalette::Active, QPalette::Button},          // button face
    {16, QPalette::Active, QPalette::Dark},            // button shadow
    {17, QPalette::Disabled, QPalette::Text},          // grey text
    {18, QPalette::Active, QPalette::ButtonText},
    {20, QPalette::Active, QPalette::Light},           // button highlight
    {21, QPalette::Active, QPalette::Shadow},          // 3D dark shadow
    {22, QPalette::Active, QPalette::Midlight},        // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},
    {24, QPalette::Active, QPalette::ToolTipBase},
};

TColor resolveSystemColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    for (const SystemRole &entry : kSystemRoles) {
        if (entry.index == index)
            return fromQColor(palette.color(entry.group, entry.role));
    }
    // Indexes without a counterpart fall back to the window background.
    return fromQColor(palette.color(QPalette::Active, QPalette::Window));
}

} // namespace

TColor toRgb(TColor c)
{
    if (isSystemColor(c))
        return resolveSystemColor(c & 0xFF);
    return c & 0xFFFFFF;
}

QColor toQColor(TColor c)
{
    const TColor plain = toRgb(c);
    return QColor(red(plain), green(plain), blue(plain));
}

TColor fromQRgb(QRgb value)
{
    return rgb(qRed(value), qGreen(value), qBlue(value));
}

TColor fromQColor(const QColor &c)
{
    return fromQRgb(c.rgb());
}

} // namespace WinColor

TColor ShadeColor(TColor color, int percent)
{
    const TColor plain = WinColor::toRgb(color);
    const int r = WinColor::red(plain);
    const int g = WinColor::green(plain);
    const int b = WinColor::blue(plain);

    int newRed = r + r * percent / 100;
    int carry = newRed > 255 ? newRed - 255 : 0;
    int newGreen = g + g * percent / 100 + carry;
    if (newGreen > 255) {
        newRed += newGreen - 255;
        carry = newGreen - 255;
    }
    const int newBlue = b + b * percent / 100 + carry;
    if (newBlue > 255 && newGreen <= 255)
        newRed += newBlue - 255;

    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    return WinColor::rgb(clamp(newRed), clamp(newGreen), clamp(newBlue));
}
