#include "options/ColumnBoundary.h"

namespace ColumnBoundary {

std::optional<Step> step(const Widths &widths, int boundary, int direction, int position)
{
    const int newPosition = position + direction;
    if (newPosition < MinPosition || newPosition > MaxPosition)
        return std::nullopt;
    const auto left = std::size_t(boundary);
    const std::size_t narrowed = direction > 0 ? left + 1 : left;
    Widths moved = widths;
    moved[left] += direction;
    moved[left + 1] -= direction;
    if (moved[narrowed] < MinPosition)
        return std::nullopt;
    return Step{moved, newPosition};
}

} // namespace ColumnBoundary
