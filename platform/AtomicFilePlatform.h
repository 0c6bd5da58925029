#pragma once

#include <QFileDevice>
#include <QString>

// What a file system needs so that a write or a rename stays after a power
// cut. Each gives why it may not stay, or nothing once it will.
namespace AtomicFile::Platform {

// The bytes written to file so far reach the disk.
QString syncFile(QFileDevice &file);

// The names made, renamed or removed in folder reach the disk. Windows
// records them as it goes: there, nothing to do.
QString syncFolder(const QString &folder);

// Renames from to `to`, replacing what stood there, through to the disk.
QString rename(const QString &from, const QString &to);

} // namespace AtomicFile::Platform
