#pragma once

// Marks along the start, written to standard error when the environment
// variable KLADDO_STARTUP_TRACE is set: the wall clock in microseconds (so
// that a script can set them against the moment it launched the program)
// and the milliseconds since the previous mark. Costs one getenv otherwise.
namespace StartupTrace {

bool isOn();
void mark(const char *step);

} // namespace StartupTrace
