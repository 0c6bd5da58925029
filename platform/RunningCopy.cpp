#include "platform/RunningCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

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

QString runtimeFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

} // namespace

QString lockFilePath(const QString &dataFolder)
{
    return runtimeFolder() + u'/' + keyFor(dataFolder) + QStringLiteral(".lock");
}

QString serverName(const QString &dataFolder)
{
    return runtimeFolder() + u'/' + keyFor(dataFolder) + QStringLiteral(".socket");
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
