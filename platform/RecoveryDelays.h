#pragma once

#include <chrono>

// How long the changes of a page wait before they reach its recovery file.
struct RecoveryDelays
{
    // After the last change: typing has paused.
    std::chrono::milliseconds quiet{2000};
    // After the first change since the file was written: typing goes on.
    std::chrono::milliseconds longest{30000};
};
