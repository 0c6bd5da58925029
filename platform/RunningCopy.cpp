#include "platform/RunningCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace RunningCopy {

QString keyFor(const QString &dataFolder)
{
    const QFileInfo folder(dataFolder);
    const QString path = folder.canonicalFilePath().isEmpty() ? folder.absoluteFilePath()
                                                              : folder.canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("kladdo-") + QString::fromLatin1(hash.left(16));
}

namespace {

// Windows' "runtime" location is the home folder itself.
QString runtimeFolder()
{
#ifdef Q_OS_WIN
    return QDir::tempPath();
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
#endif
}

} // namespace

QString lockFilePath(const QString &dataFolder)
{
    return runtimeFolder() + u'/' + keyFor(dataFolder) + QStringLiteral(".lock");
}

QString serverName(const QString &dataFolder)
{
#ifdef Q_OS_WIN
    // A pipe's name is no path: its folder's drive colon and slashes are
    // not for it.
    return keyFor(dataFolder);
#else
    return runtimeFolder() + u'/' + keyFor(dataFolder) + QStringLiteral(".socket");
#endif
}

void allowForeground()
{
#ifdef Q_OS_WIN
    AllowSetForegroundWindow(ASFW_ANY);
#endif
}

bool isRunning(const QString &dataFolder)
{
    QLockFile lock(lockFilePath(dataFolder));
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

} // namespace RunningCopy
