#include "platform/PhysicalMemory.h"

#include <windows.h>

quint64 PhysicalMemory::bytes()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    return GlobalMemoryStatusEx(&status) ? quint64(status.ullTotalPhys) : 0;
}
