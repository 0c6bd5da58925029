#include "platform/LastSave.h"

#include <QtGlobal>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <utility>

namespace LastSave {

namespace {

// Only the armed thread touches the save; other threads see the id alone.
std::function<void()> g_save;
// No thread while disarmed, and once the save has run.
std::atomic<std::thread::id> g_armedOn;

void saveAtExit()
{
    std::thread::id self = std::this_thread::get_id();
    if (g_armedOn.compare_exchange_strong(self, std::thread::id()))
        std::exchange(g_save, nullptr)();
}

} // namespace

void arm(std::function<void()> save)
{
    // Registered as late as can be: statics made after it are destroyed
    // before it runs.
    static const bool registered = std::atexit(saveAtExit) == 0;
    if (!registered) {
        qWarning("No save is possible if the display goes away: the program cannot act at its end");
        return;
    }
    g_save = std::move(save);
    g_armedOn.store(std::this_thread::get_id());
}

void disarm()
{
    g_armedOn.store(std::thread::id());
    g_save = nullptr;
}

} // namespace LastSave
