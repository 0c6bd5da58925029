#pragma once

#include <QFile>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Makes a folder refuse new files and renames while it lives, even for
// root: its write bits go, and so does the calling thread's power to
// override them (CAP_DAC_OVERRIDE), which the thread keeps in reserve and
// takes back at the end. Qt writes files on the thread that asks.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(path), m_saved(QFile::permissions(path))
    {
        QFile::setPermissions(m_path, m_saved & ~(QFile::WriteOwner | QFile::WriteUser
                                                  | QFile::WriteGroup | QFile::WriteOther));
        setOverride(false);
    }
    ~ReadOnlyFolder()
    {
        setOverride(true);
        QFile::setPermissions(m_path, m_saved);
    }

    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

private:
    static void setOverride(bool on)
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

    QString m_path;
    QFile::Permissions m_saved;
};
