#pragma once

#include "support/SyncFailure.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QString>
#include <QTest>

// Faults a test brings about on purpose, each while its object lives: a
// full disk, a folder that takes no new files, syncs that fail. Where the
// system cannot make one, its unavailable() says why (nullptr where it
// can) and a case that needs it skips through SKIP_UNLESS_AVAILABLE.
// FaultConditionsLinux.cpp and FaultConditionsWindows.cpp hold the two.

// Every write past `bytes` fails with EFBIG, even for root, in this
// process and in those it starts meanwhile: the stand-in for a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    static const char *unavailable();

    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    quint64 m_saved = 0;
};

// The folder refuses new files and renames, even for root.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path);
    ~ReadOnlyFolder();
    static const char *unavailable();

    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

private:
    QString m_path;
    QFile::Permissions m_saved;
};

// environment, for a program whose syncs fail from its start.
QProcessEnvironment withFailingSyncs(QProcessEnvironment environment);

// Skips the case, naming why, where Fault cannot be made here.
#define SKIP_UNLESS_AVAILABLE(Fault)                                                               \
    do {                                                                                           \
        if (const char *why = Fault::unavailable())                                                \
            QSKIP(why);                                                                            \
    } while (false)
