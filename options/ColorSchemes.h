#pragma once

#include "controls/WinColor.h"

#include <QImage>

#include <array>
#include <optional>

// The main window's colours: a light background, a medium colour for the
// bars and a dark one for the buttons.
struct ColorScheme
{
    TColor BackColor = 0;
    TColor BarColor = 0;
    TColor ButtonColor = 0;

    friend bool operator==(const ColorScheme &, const ColorScheme &) = default;
};

namespace ColorSchemes {

constexpr int FirstPalette = 1;
constexpr int UserPalette = 6;
constexpr int PaletteCount = 6;

// The five fixed palettes, palette 1 first; palette 6 is the user's colours.
extern const std::array<ColorScheme, 5> FixedPalettes;

// The scheme of a palette number; nothing for a number outside 1-6.
std::optional<ColorScheme> schemeFor(int palette, TColor color1, TColor color2, TColor color3);

// Fills a style picture's background with colour: every pixel reachable
// from (2, 2) up to the black outline. In the italic pictures the pixel
// (10, 8) is background walled in by the letter and gets the colour too.
// Always start from a fresh copy of the artwork: a fill on a filled copy
// cannot bring back a colour that was black.
QImage filledStylePicture(const QImage &original, TColor color, bool italic);

} // namespace ColorSchemes
