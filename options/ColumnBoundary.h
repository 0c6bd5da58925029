#pragma once

#include <array>
#include <optional>

// The options dialog's two up-downs each move one boundary between the
// password grid's columns, one pixel a step, keeping the sum of the widths.
namespace ColumnBoundary {

constexpr int MinPosition = 25;
constexpr int MaxPosition = 250;
constexpr int DefaultWidth = 165;

using Widths = std::array<int, 3>;

struct Step
{
    Widths widths;
    int position;
};

// Moves the boundary after column boundary (0 or 1): direction +1 widens
// that column and narrows the next, -1 the reverse. Nothing when the
// up-down would leave 25-250 or the narrowed column would become narrower
// than 25, so that no column can vanish or turn negative.
std::optional<Step> step(const Widths &widths, int boundary, int direction, int position);

} // namespace ColumnBoundary
