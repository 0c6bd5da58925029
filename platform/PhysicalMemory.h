#pragma once

#include <QtGlobal>

// How many bytes of memory the computer has, 0 when it cannot tell; a file
// that asks for more than this to be opened is refused rather than tried.
namespace PhysicalMemory {

quint64 bytes();

} // namespace PhysicalMemory
