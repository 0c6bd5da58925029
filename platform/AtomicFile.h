#pragma once

#include <QByteArray>
#include <QString>

// Writes whole files so that a crash or a full disk leaves the previous
// version intact: the bytes go to a temporary file in the same folder,
// which then replaces the target by a rename.
namespace AtomicFile {

struct Result
{
    bool ok = true;
    QString reason; // the system's words when ok is false
};

[[nodiscard]] Result write(const QString &path, const QByteArray &bytes);

} // namespace AtomicFile
