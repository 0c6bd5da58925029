#pragma once

#include <optional>

// The primary screen's width, read afresh at every call because the user
// may change the display while the program runs. Tests can pretend a width.
namespace ScreenGeometry {

int primaryScreenWidth();
void overridePrimaryScreenWidth(std::optional<int> width);

} // namespace ScreenGeometry
