#include "platform/StartupTrace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace StartupTrace {

bool isOn()
{
    static const bool on = std::getenv("KLADDO_STARTUP_TRACE") != nullptr;
    return on;
}

void mark(const char *step)
{
    if (!isOn())
        return;
    using namespace std::chrono;
    static steady_clock::time_point previous = steady_clock::now();
    const steady_clock::time_point now = steady_clock::now();
    const auto wall = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "startup %lld %8.3f ms  %s\n", static_cast<long long>(wall),
                 duration<double, std::milli>(now - previous).count(), step);
    previous = now;
}

} // namespace StartupTrace
