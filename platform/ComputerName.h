#pragma once

#include <QString>

// What tells this computer's files in DATA/ from another's when two
// computers share the folder through a sync tool. KLADDO_COMPUTER, when set,
// stands for the computer's name, for two copies on one machine acting as two
// computers and for machines that share a host name.
namespace ComputerName {

// The host name as people know it, in characters every file system takes:
// for names a user reads, such as a conflict copy's.
QString shown();

// shown() and a short mark of the machine's own identity, so that two
// machines both called "debian" still keep apart: for folder and section
// names that must never collide.
QString unique();

} // namespace ComputerName
