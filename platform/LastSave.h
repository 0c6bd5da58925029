#pragma once

#include <functional>

// The last save when the process ends through exit() with its window up.
// Qt's X11 platform does that on the main thread when the display goes
// away, whether or not its warning is logged. exit() does not unwind
// main's stack, so the windows and documents are still whole then; the
// display is not, so the save must not draw.
namespace LastSave {

// save runs once at exit(), if that is called on the thread that armed it:
// another thread's exit() must not touch the widgets. Arming again
// replaces the save; arm and disarm belong to that one thread.
void arm(std::function<void()> save);
// Nothing runs at exit(): for a return from main, whose close has saved
// and after which the window is gone.
void disarm();

} // namespace LastSave
