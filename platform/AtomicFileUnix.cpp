#include "platform/AtomicFilePlatform.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace AtomicFile::Platform {

namespace {

int withoutInterrupts(int (*call)(int), int fd)
{
    int result = 0;
    do {
        result = call(fd);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

QString syncFile(QFileDevice &file)
{
    if (!file.flush())
        return file.errorString();
    if (withoutInterrupts(::fdatasync, file.handle()) != 0)
        return QStringLiteral("it did not reach the disk: %1").arg(qt_error_string(errno));
    return {};
}

QString syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int synced = fd < 0 ? -1 : withoutInterrupts(::fsync, fd);
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (synced != 0)
        return QStringLiteral("the change to the folder %1 did not reach the disk: %2").arg(folder, qt_error_string(error));
    return {};
}

QString rename(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return qt_error_string(errno);
    const QString toFolder = QFileInfo(to).absolutePath();
    const QString fromFolder = QFileInfo(from).absolutePath();
    QString failure = syncFolder(toFolder);
    if (failure.isEmpty() && fromFolder != toFolder)
        failure = syncFolder(fromFolder);
    return failure;
}

} // namespace AtomicFile::Platform
