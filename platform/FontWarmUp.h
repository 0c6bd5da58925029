#pragma once

// Loads the system's font configuration on a thread of its own, where the
// system has one to load (fontconfig), so that the editor's first use of
// fonts finds it ready instead of reading it on the main thread. Call it
// first thing; it never waits and never fails: without the library nothing
// happens.
namespace FontWarmUp {

void start();

} // namespace FontWarmUp
