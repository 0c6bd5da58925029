// Windows can make none of the faults: no process has a file size limit,
// a folder's read-only attribute does not stop new files in it, and
// FlushFileBuffers comes from kernel32, past anything a test links.
#include "support/FaultConditions.h"

namespace {

const char kNoFullDisk[] = "a full disk needs RLIMIT_FSIZE, which Windows lacks";
const char kNoReadOnlyFolder[] = "a read-only folder needs POSIX permissions and dropping Linux's "
                                 "CAP_DAC_OVERRIDE; Windows ignores a folder's read-only attribute";
const char kNoFailingSyncs[] = "failing syncs stand before the C library's fdatasync and fsync; "
                               "Windows syncs through FlushFileBuffers";

// A case that forgot SKIP_UNLESS_AVAILABLE would pass without its fault.
[[noreturn]] void refuse(const char *why)
{
    qFatal("%s", why);
}

} // namespace

FileSizeLimit::FileSizeLimit(qint64)
{
    refuse(kNoFullDisk);
}

FileSizeLimit::~FileSizeLimit() = default;

const char *FileSizeLimit::unavailable()
{
    return kNoFullDisk;
}

ReadOnlyFolder::ReadOnlyFolder(const QString &)
{
    refuse(kNoReadOnlyFolder);
}

ReadOnlyFolder::~ReadOnlyFolder() = default;

const char *ReadOnlyFolder::unavailable()
{
    return kNoReadOnlyFolder;
}

const char *SyncFailure::unavailable()
{
    return kNoFailingSyncs;
}

void setSyncFailing(bool)
{
    refuse(kNoFailingSyncs);
}

QProcessEnvironment withFailingSyncs(QProcessEnvironment)
{
    refuse(kNoFailingSyncs);
}
