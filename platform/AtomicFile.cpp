#include "platform/AtomicFile.h"

#include "platform/AtomicFilePlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace AtomicFile {

namespace {

Result failedWhen(const QString &failure)
{
    return failure.isEmpty() ? Result{} : Result{false, failure};
}

QString overwriteWithZeros(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return file.errorString();
    const QByteArray zeros(64 * 1024, '\0');
    for (qint64 left = file.size(); left > 0; left -= zeros.size()) {
        if (file.write(zeros.constData(), qMin<qint64>(left, zeros.size())) <= 0)
            return file.errorString();
    }
    return Platform::syncFile(file);
}

} // namespace

Result write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Without this QSaveFile writes in place when the folder forbids new
    // files, which is exactly the torn write we want to avoid.
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a short write shows here: a buffered QSaveFile
    // commits a file cut short by a full disk as if all went well.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return {false, reason};
        }
        written += n;
    }
    // QSaveFile syncs too, but does not look at the result.
    if (const QString unsynced = Platform::syncFile(file); !unsynced.isEmpty()) {
        file.cancelWriting();
        return {false, unsynced};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return failedWhen(Platform::syncFolder(QFileInfo(path).absolutePath()));
}

Result rename(const QString &from, const QString &to)
{
    return failedWhen(Platform::rename(from, to));
}

Result makeFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (folder.isDir())
        return {};
    const QString parent = folder.absolutePath();
    if (const Result above = makeFolder(parent); !above.ok)
        return above;
    // Another thread may make it at the same time.
    if (!QDir().mkdir(path) && !QFileInfo(path).isDir())
        return {false, QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(path))};
    return failedWhen(Platform::syncFolder(parent));
}

Result wipeAndRemove(const QString &path)
{
    std::error_code error;
    const auto links = std::filesystem::hard_link_count(std::filesystem::path(path.toStdU16String()), error);
    if (!error && links == 1) {
        if (const QString reason = overwriteWithZeros(path); !reason.isEmpty())
            return {false, reason};
    }
    QFile file(path);
    if (!file.remove())
        return {false, file.errorString()};
    return failedWhen(Platform::syncFolder(QFileInfo(path).absolutePath()));
}

} // namespace AtomicFile
