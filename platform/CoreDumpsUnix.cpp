#include "platform/CoreDumps.h"

#include <sys/resource.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

void CoreDumps::forbid()
{
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
#if defined(__linux__)
    // Also keeps ptrace and /proc/<pid>/mem from other processes of the user.
    prctl(PR_SET_DUMPABLE, 0);
#endif
}
