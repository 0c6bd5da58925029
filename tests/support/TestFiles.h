#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole-file reads and writes for setting up and checking test folders.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

[[nodiscard]] inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A committed sample rich-text file from tests/data/rtf.
inline QByteArray rtfSample(const char *name)
{
    return readFile(QStringLiteral(TEST_DATA_DIR "/rtf/") + QLatin1StringView(name));
}
