#pragma once

#include <QByteArray>
#include <QString>

// Writes whole files so that a crash, a full disk or a power cut leaves
// the previous version intact: the bytes go to a temporary file in the
// same folder, reach the disk, and then replace the target by a rename
// that reaches the disk too. A disk that does not take them is a failed
// write, like a full one.
namespace AtomicFile {

struct Result
{
    bool ok = true;
    QString reason; // the system's words when ok is false
};

[[nodiscard]] Result write(const QString &path, const QByteArray &bytes);

// Renames from to `to`, replacing what stood there, so that the rename
// stays.
[[nodiscard]] Result rename(const QString &from, const QString &to);

// Makes the folder at path and those missing above it, so that they stay.
[[nodiscard]] Result makeFolder(const QString &path);

// Overwrites the file with zeros through to the disk, then removes it, so
// that what it held is not left in its blocks. A name that shares its bytes
// with another (a backup kept as a hard link) is only removed, since the
// bytes still belong to the other.
[[nodiscard]] Result wipeAndRemove(const QString &path);

} // namespace AtomicFile
