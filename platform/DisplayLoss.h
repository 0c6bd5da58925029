#pragma once

#include <functional>

// The moment the connection to the display breaks. Qt's X11 platform then
// warns "The X11 connection broke ..." and ends the process at once with
// exit(1); the warning is the last moment at which every window and
// document is still whole, so the program's last save hooks in there. Only
// a break noticed on the main thread runs it.
namespace DisplayLoss {

// lost runs once, on the first such warning; other messages pass on to the
// handler that was installed before. An empty lost stops the watch.
void onLost(std::function<void()> lost);

// Whether a message of Qt's says that the display connection broke.
bool tellsOfLoss(const char *message);

} // namespace DisplayLoss
