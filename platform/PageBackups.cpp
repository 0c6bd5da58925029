#include "platform/PageBackups.h"

#include "platform/AtomicFilePlatform.h"
#include "platform/ComputerName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <filesystem>
#include <system_error>

namespace PageBackups {

namespace {

using AtomicFile::Result;

enum class OnBackupFailure { Log, Refuse };

// The current version of a page file, held under a name of its own until
// the file has been replaced.
struct Hold
{
    bool held = false;
    QString failure; // why it could not be held
};

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString backupFolder(const QString &pagePath, const QString &computer = ComputerName::unique())
{
    const QString folder = QFileInfo(pagePath).dir().filePath(QStringLiteral("backup"));
    return computer.isEmpty() ? folder : folder + u'/' + computer;
}

QString heldPath(const QString &pagePath)
{
    return backupFolder(pagePath) + u'/' + QFileInfo(pagePath).fileName() + QStringLiteral(".replaced");
}

bool holdsBytes(const QFileInfo &file, const QByteArray &bytes)
{
    if (file.size() != bytes.size())
        return false;
    QFile opened(file.filePath());
    return opened.open(QIODevice::ReadOnly) && opened.readAll() == bytes;
}

// A copy for file systems without hard links (FAT on a USB stick), dated
// like the version it keeps, as a link would be.
QString copyCurrent(const QFileInfo &page, const QString &held)
{
    QFile source(page.canonicalFilePath());
    if (!source.copy(held))
        return source.errorString();
    QFile copy(held);
    if (!copy.open(QIODevice::ReadWrite))
        return copy.errorString();
    copy.setFileTime(page.lastModified(), QFileDevice::FileModificationTime);
    return AtomicFile::Platform::syncFile(copy);
}

// The held version has to be on the disk before the page is replaced.
QString holdByLinkOrCopy(const QFileInfo &page, const QString &held)
{
    std::error_code error;
    std::filesystem::create_hard_link(fsPath(page.canonicalFilePath()), fsPath(held), error);
    if (error) {
        if (const QString reason = copyCurrent(page, held); !reason.isEmpty())
            return reason;
    }
    return AtomicFile::Platform::syncFolder(QFileInfo(held).absolutePath());
}

void logOnce(const char *what, const QString &reason)
{
    static QSet<QString> logged;
    if (logged.contains(reason))
        return;
    logged.insert(reason);
    qWarning("%s: %s", what, qUtf8Printable(reason));
}

void logOnce(const QString &reason)
{
    logOnce("No backup kept", reason);
}

// A folder kept in the older layout was one computer's, so its generations
// are this computer's. Generation 1 moves first: a move cut short leaves
// the newest here, and the rest where they were.
void adoptOlderLayout(const QString &pagePath)
{
    if (hasGenerations(pagePath, ComputerName::unique()) || !hasGenerations(pagePath, {}))
        return;
    Result moved = AtomicFile::makeFolder(backupFolder(pagePath));
    for (int generation = 1; generation <= kGenerations && moved.ok; ++generation) {
        if (const QString older = pathFor(pagePath, generation, {}); QFileInfo::exists(older))
            moved = AtomicFile::rename(older, pathFor(pagePath, generation));
    }
    if (!moved.ok)
        logOnce("Backups left in the older layout", moved.reason);
}

Hold holdCurrent(const QString &pagePath, const QByteArray &nextBytes)
{
    const QFileInfo page(pagePath);
    if (!page.exists() || holdsBytes(page, nextBytes))
        return {};
    const QString folder = backupFolder(pagePath);
    if (const Result made = AtomicFile::makeFolder(folder); !made.ok)
        return {false, made.reason};
    const QString held = heldPath(pagePath);
    QFile::remove(held); // left by a save that was cut off
    if (const QString reason = holdByLinkOrCopy(page, held); !reason.isEmpty()) {
        QFile::remove(held);
        return {false, QStringLiteral("%1 cannot be kept in %2: %3").arg(native(pagePath), native(folder), reason)};
    }
    return {true, {}};
}

// The generations before `freed` move up by one over it, and the held
// version becomes generation 1.
Result promoteHeld(const QString &pagePath, int freed)
{
    Result renamed;
    for (int generation = freed; generation > 1 && renamed.ok; --generation) {
        const QString older = pathFor(pagePath, generation - 1);
        if (QFileInfo::exists(older))
            renamed = AtomicFile::rename(older, pathFor(pagePath, generation));
    }
    if (renamed.ok)
        renamed = AtomicFile::rename(heldPath(pagePath), pathFor(pagePath, 1));
    if (!renamed.ok)
        return {false, QStringLiteral("the replaced version is left as %1, since the backups cannot be renamed: %2")
                           .arg(native(heldPath(pagePath)), renamed.reason)};
    return {};
}

Result replacePage(const QString &pagePath, const QByteArray &bytes, int freed, OnBackupFailure onFailure)
{
    const Hold hold = holdCurrent(pagePath, bytes);
    if (!hold.failure.isEmpty()) {
        if (onFailure == OnBackupFailure::Refuse)
            return {false, hold.failure};
        logOnce(hold.failure);
    }
    const Result written = AtomicFile::write(pagePath, bytes);
    if (!written.ok) {
        // The page is unchanged, so the backups stay as they are.
        if (hold.held)
            QFile::remove(heldPath(pagePath));
        return written;
    }
    if (!hold.held)
        return written;
    const Result promoted = promoteHeld(pagePath, freed);
    if (!promoted.ok && onFailure == OnBackupFailure::Log) {
        logOnce(promoted.reason);
        return written;
    }
    return promoted;
}

} // namespace

QString pathFor(const QString &pagePath, int generation, const QString &computer)
{
    return backupFolder(pagePath, computer) + u'/' + QFileInfo(pagePath).fileName() + u'.'
           + QString::number(generation);
}

QString pathFor(const QString &pagePath, int generation)
{
    return pathFor(pagePath, generation, ComputerName::unique());
}

bool hasGenerations(const QString &pagePath, const QString &computer)
{
    for (int generation = 1; generation <= kGenerations; ++generation) {
        if (QFileInfo::exists(pathFor(pagePath, generation, computer)))
            return true;
    }
    return false;
}

Result writePage(const QString &pagePath, const QByteArray &bytes)
{
    adoptOlderLayout(pagePath);
    return replacePage(pagePath, bytes, kGenerations, OnBackupFailure::Log);
}

Result restore(const QString &pagePath, int generation)
{
    adoptOlderLayout(pagePath);
    const QString backup = pathFor(pagePath, generation);
    QByteArray bytes;
    {
        // Closed before the backups move: Windows renames no open file.
        QFile file(backup);
        if (!file.exists())
            return {false, QStringLiteral("there is no backup %1").arg(native(backup))};
        bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (file.error() != QFileDevice::NoError)
            return {false, QStringLiteral("%1 cannot be read: %2").arg(native(backup), file.errorString())};
    }
    return replacePage(pagePath, bytes, generation, OnBackupFailure::Refuse);
}

} // namespace PageBackups
