#pragma once

// Once secrets are in memory, a crash must not write them to disk: no core
// file, no crash dump, and no other process of the user reading the
// memory through a debugger's interface where the system allows that.
// For the rest of the run.
namespace CoreDumps {

void forbid();

} // namespace CoreDumps
