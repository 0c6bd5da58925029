// Linked into a test, or preloaded into a program with
// KLADDO_TEST_SYNC_FAILS set, where the syncs fail from the start.
#include "support/SyncFailure.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_failing{std::getenv("KLADDO_TEST_SYNC_FAILS") != nullptr};

int failedOr(long call, int fd)
{
    if (g_failing) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(call, fd));
}

} // namespace

void setSyncFailing(bool failing)
{
    g_failing = failing;
}

extern "C" int fdatasync(int fd)
{
    return failedOr(SYS_fdatasync, fd);
}

extern "C" int fsync(int fd)
{
    return failedOr(SYS_fsync, fd);
}

const char *SyncFailure::unavailable()
{
    return nullptr;
}
