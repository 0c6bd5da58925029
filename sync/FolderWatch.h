#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Tells when files in a folder may have changed from outside: a sync tool
// writing a page, or replacing it by a rename. The folder and the files
// named are watched; a file replaced by a rename drops out of the system's
// watch and is watched again, and so is one that is written anew. Bursts of
// events come as one, a short while after the last; and a poll stands in
// where the system's watch may hear nothing: on network drives, and for
// paths it refused. Whether a file really changed is for the listener to
// decide, by its content.
class FolderWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSettleMilliseconds = 300;
    static constexpr int kPollMilliseconds = 5000;

    // fileNames are the names of the files in folder to watch.
    FolderWatch(QString folder, QStringList fileNames, QObject *parent = nullptr);

    // Changes made on another machine to a network drive, or through a
    // user-space file system, reach no local watch.
    static bool isNetworkFileSystem(const QString &folder);

signals:
    // Something in the folder, or one of the files, may have changed.
    void mayHaveChanged();

private:
    void heard();
    void settled();
    void watchAgain();

    QString m_folder;
    QStringList m_files;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QTimer m_poll;
};
