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

namespace {

// Through the links of its nearest folder that is there: a data folder the
// first start is yet to make keys as it will once made, and a later start
// that finds it made is kept out.
QString canonicalPath(const QString &dataFolder)
{
    QString there = QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath());
    QString missing;
    while (!QFileInfo::exists(there) && QFileInfo(there).path() != there) {
        missing.prepend(u'/' + QFileInfo(there).fileName());
        there = QFileInfo(there).path();
    }
    const QString canonical = QFileInfo(there).canonicalFilePath();
    return (canonical.isEmpty() ? there : canonical) + missing;
}

} // namespace

QString keyFor(const QString &dataFolder)
{
    const QString path = canonicalPath(dataFolder);
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
