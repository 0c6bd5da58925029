#include "platform/AtomicFilePlatform.h"

#include <QDir>

#include <io.h>
#include <windows.h>

namespace AtomicFile::Platform {

namespace {

QString lastError()
{
    return qt_error_string(int(GetLastError()));
}

} // namespace

QString syncFile(QFileDevice &file)
{
    if (!file.flush())
        return file.errorString();
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle))
        return QStringLiteral("it did not reach the disk: %1").arg(lastError());
    return {};
}

QString syncFolder(const QString &)
{
    return {};
}

// Write-through: the call returns once the new name is on the disk.
QString rename(const QString &from, const QString &to)
{
    if (!MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                     reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastError();
    return {};
}

} // namespace AtomicFile::Platform
