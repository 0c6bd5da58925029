#include "sync/FolderWatch.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

FolderWatch::FolderWatch(QString folder, QStringList fileNames, QObject *parent)
    : QObject(parent), m_folder(QDir::cleanPath(std::move(folder))), m_files(std::move(fileNames))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &FolderWatch::settled);
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &FolderWatch::settled);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderWatch::heard);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FolderWatch::heard);
    watchAgain();
    if (isNetworkFileSystem(m_folder))
        m_poll.start();
}

bool FolderWatch::isNetworkFileSystem(const QString &folder)
{
    if (QDir::cleanPath(folder).startsWith(QStringLiteral("//")))
        return true;
    const QByteArray type = QStorageInfo(folder).fileSystemType().toLower();
    static const QByteArrayList kNetworkTypes = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ncpfs", "davfs"};
    return type.startsWith("fuse") || kNetworkTypes.contains(type);
}

void FolderWatch::heard()
{
    m_settle.start();
}

void FolderWatch::settled()
{
    watchAgain();
    emit mayHaveChanged();
}

// Paths the watch has lost, or never had since they did not exist, are
// added; adding one that is watched already does nothing.
void FolderWatch::watchAgain()
{
    QStringList paths;
    if (QFileInfo(m_folder).isDir() && !m_watcher.directories().contains(m_folder))
        paths << m_folder;
    const QStringList watched = m_watcher.files();
    for (const QString &name : m_files) {
        const QString path = m_folder + u'/' + name;
        if (!watched.contains(path) && QFileInfo::exists(path))
            paths << path;
    }
    if (!paths.isEmpty() && !m_watcher.addPaths(paths).isEmpty() && !m_poll.isActive())
        m_poll.start();
}
