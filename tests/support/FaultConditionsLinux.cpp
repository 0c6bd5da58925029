#include "support/FaultConditions.h"

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The calling thread's power to write where the permissions forbid it,
// which it keeps in reserve and can take back. Qt writes files on the
// thread that asks.
void setDacOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    const __u32 bit = 1u << CAP_DAC_OVERRIDE;
    // Only what the thread was permitted can come back.
    if (on)
        data[0].effective |= data[0].permitted & bit;
    else
        data[0].effective &= ~bit;
    syscall(SYS_capset, &header, data);
}

constexpr QFile::Permissions kWriteBits =
    QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;

void setSoftFileSizeLimit(rlim_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    m_saved = saved.rlim_cur;
    setSoftFileSizeLimit(rlim_t(bytes));
}

FileSizeLimit::~FileSizeLimit()
{
    setSoftFileSizeLimit(rlim_t(m_saved));
}

const char *FileSizeLimit::unavailable()
{
    return nullptr;
}

ReadOnlyFolder::ReadOnlyFolder(const QString &path) : m_path(path), m_saved(QFile::permissions(path))
{
    QFile::setPermissions(m_path, m_saved & ~kWriteBits);
    setDacOverride(false);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    setDacOverride(true);
    QFile::setPermissions(m_path, m_saved);
}

const char *ReadOnlyFolder::unavailable()
{
    return nullptr;
}

QProcessEnvironment withFailingSyncs(QProcessEnvironment environment)
{
    environment.insert("LD_PRELOAD", SYNC_FAILURE_LIBRARY);
    environment.insert("KLADDO_TEST_SYNC_FAILS", "1");
    // The sanitizers' runtime wants to come first, before any preload.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    return environment;
}
