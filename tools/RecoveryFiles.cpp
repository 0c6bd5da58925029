#include "tools/Commands.h"

#include "notes/NotePage.h"
#include "passwords/PassPageFile.h"
#include "platform/ComputerName.h"
#include "platform/RecoveryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using Verdict = RecoveryFile::Finding::Verdict;

QString timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool isPageFile(const QString &name)
{
    for (int page = 0; page < NotePage::kPageCount; ++page) {
        if (name == NotePage::fileName(page) || name == QFileInfo(PassPageFile::pathFor({}, page)).fileName())
            return true;
    }
    return false;
}

// A password page's recovery holds exactly one record.
RecoveryFile::ContentCheck contentCheckFor(const QString &pageFile)
{
    if (pageFile.endsWith(u".rtf"))
        return {};
    return PassPageFile::recordDamage;
}

// The page a recovery file holds, or what is wrong with it.
RecoveryFile::Decoded readRecovery(const QString &path, const QString &pageFile)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, {}, QStringLiteral("it cannot be read (%1)").arg(file.errorString())};
    RecoveryFile::Decoded decoded = RecoveryFile::decode(file.readAll());
    if (const RecoveryFile::ContentCheck check = contentCheckFor(pageFile); decoded.damage.isEmpty() && check)
        decoded.damage = check(decoded.content);
    return decoded;
}

bool samePath(const QString &one, const QString &other)
{
    return QFileInfo(one).absoluteFilePath() == QFileInfo(other).absoluteFilePath();
}

// What the program will do with the recovery file of a page at its next load.
CheckLine liveLine(const QString &dataDir, const RecoveryEntry &entry)
{
    const QString pagePath = QDir(dataDir).filePath(entry.pageFile);
    const RecoveryFile::Finding found = RecoveryFile::examine(pagePath, contentCheckFor(entry.pageFile));
    const QString path = QDir(dataDir).filePath(entry.path());
    CheckLine line{entry.path(), CheckLine::Status::Notice, {}};
    // This computer's own stands before the one of the older layout.
    if (!samePath(found.path, path)) {
        line.detail = QStringLiteral("unsaved changes of %1 from %2, left by an earlier version; "
                                     "taken up once this computer's own are saved")
                          .arg(entry.pageFile, timeText(QFileInfo(path).lastModified()));
        return line;
    }
    const QString changes =
        QStringLiteral("unsaved changes of %1 from %2").arg(entry.pageFile, timeText(found.written));
    switch (found.verdict) {
    case Verdict::None:
    case Verdict::Load:
        line.detail = changes + QStringLiteral(", shown when Kladdo next shows the page");
        break;
    case Verdict::Redundant:
        line.detail = QStringLiteral("%1 already holds these changes; Kladdo removes the file").arg(entry.pageFile);
        break;
    case Verdict::Older:
        line.detail = changes + QStringLiteral(", not to be loaded: %1 was saved after them").arg(entry.pageFile);
        break;
    case Verdict::PageChanged:
        line.detail = changes + QStringLiteral(", not to be loaded: %1 changed since").arg(entry.pageFile);
        break;
    case Verdict::Damaged:
        line.status = CheckLine::Status::Damaged;
        line.detail = found.damage;
        break;
    }
    return line;
}

CheckLine keptAsideLine(const QString &dataDir, const RecoveryEntry &entry)
{
    const QString path = QDir(dataDir).filePath(entry.path());
    const QString damage = readRecovery(path, entry.pageFile).damage;
    return {entry.path(), damage.isEmpty() ? CheckLine::Status::Notice : CheckLine::Status::Damaged,
            damage.isEmpty() ? QStringLiteral("unsaved changes of %1 from %2, kept aside")
                                   .arg(entry.pageFile, timeText(QFileInfo(path).lastModified()))
                             : damage};
}

// Changes typed on the other computer are its own to load; here they are
// only told of.
CheckLine otherComputersLine(const QString &dataDir, const RecoveryEntry &entry)
{
    const QDateTime written = QFileInfo(QDir(dataDir).filePath(entry.path())).lastModified();
    return {entry.path(), CheckLine::Status::Notice,
            QStringLiteral("unsaved changes of %1 from %2, made on %3; not loaded on this computer")
                .arg(entry.pageFile, timeText(written), entry.computer)};
}

void appendEntries(QList<RecoveryEntry> &entries, const QDir &folder, const QString &computer)
{
    for (const QString &name : folder.entryList(QDir::Files | QDir::System, QDir::Name)) {
        const std::optional<QString> pageFile = RecoveryFile::pageOfRecovery(name);
        if (pageFile && isPageFile(*pageFile))
            entries.append({computer, name, *pageFile, name != *pageFile + QStringLiteral(".unsaved")});
    }
}

} // namespace

QString RecoveryEntry::path() const
{
    return computer.isEmpty() ? QStringLiteral("backup/") + fileName
                              : QStringLiteral("backup/%1/%2").arg(computer, fileName);
}

bool RecoveryEntry::isThisComputers() const
{
    return computer.isEmpty() || computer == ComputerName::unique();
}

QList<RecoveryEntry> recoveryFiles(const QString &dataDir)
{
    QList<RecoveryEntry> entries;
    const QDir backups(QDir(dataDir).filePath(QStringLiteral("backup")));
    appendEntries(entries, backups, {});
    for (const QString &computer : backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        appendEntries(entries, QDir(backups.filePath(computer)), computer);
    return entries;
}

QList<CheckLine> checkRecoveryFiles(const QString &dataDir)
{
    QList<CheckLine> lines;
    for (const RecoveryEntry &entry : recoveryFiles(dataDir)) {
        if (!entry.isThisComputers())
            lines << otherComputersLine(dataDir, entry);
        else
            lines << (entry.keptAside ? keptAsideLine(dataDir, entry) : liveLine(dataDir, entry));
    }
    return lines;
}

int extractRecovery(const QString &recoveryPath, const QString &outPath, CommandIo io)
{
    const QString pageFile = RecoveryFile::pageOfRecovery(QFileInfo(recoveryPath).fileName()).value_or(QString());
    if (!isPageFile(pageFile))
        return failure(io, recoveryPath + QStringLiteral(" is not named as a recovery file of a page"));
    const RecoveryFile::Decoded decoded = readRecovery(recoveryPath, pageFile);
    if (!decoded.damage.isEmpty())
        return failure(io, QStringLiteral("%1 is damaged: %2").arg(recoveryPath, decoded.damage));
    const AtomicFile::Result written = AtomicFile::write(outPath, decoded.content);
    return written.ok ? ExitOk : failure(io, QStringLiteral("%1 cannot be written: %2").arg(outPath, written.reason));
}
