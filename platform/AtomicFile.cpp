#include "platform/AtomicFile.h"

#include <QSaveFile>

namespace AtomicFile {

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
    if (!file.commit())
        return {false, file.errorString()};
    return {};
}

} // namespace AtomicFile
