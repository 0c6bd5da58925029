#include "tools/Commands.h"

#include "notes/NotePage.h"
#include "passwords/PassPageFile.h"
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

// What the program will do with the recovery file of a page at its next load.
CheckLine liveLine(const QString &dataDir, const RecoveryEntry &entry)
{
    const QString pagePath = QDir(dataDir).filePath(entry.pageFile);
    const RecoveryFile::Finding found = RecoveryFile::examine(pagePath, contentCheckFor(entry.pageFile));
    CheckLine line{QStringLiteral("backup/") + entry.fileName, CheckLine::Status::Notice, {}};
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

} // namespace

QList<RecoveryEntry> recoveryFiles(const QString &dataDir)
{
    QList<RecoveryEntry> entries;
    const QDir backups(QDir(dataDir).filePath(QStringLiteral("backup")));
    for (const QString &name : backups.entryList(QDir::Files | QDir::System, QDir::Name)) {
        const std::optional<QString> pageFile = RecoveryFile::pageOfRecovery(name);
        if (pageFile && isPageFile(*pageFile))
            entries.append({name, *pageFile, name != *pageFile + QStringLiteral(".unsaved")});
    }
    return entries;
}

QList<CheckLine> checkRecoveryFiles(const QString &dataDir)
{
    QList<CheckLine> lines;
    for (const RecoveryEntry &entry : recoveryFiles(dataDir)) {
        if (!entry.keptAside) {
            lines << liveLine(dataDir, entry);
            continue;
        }
        const QString path = QDir(dataDir).filePath(QStringLiteral("backup/") + entry.fileName);
        const QString damage = readRecovery(path, entry.pageFile).damage;
        lines << CheckLine{QStringLiteral("backup/") + entry.fileName,
                           damage.isEmpty() ? CheckLine::Status::Notice : CheckLine::Status::Damaged,
                           damage.isEmpty() ? QStringLiteral("unsaved changes of %1 from %2, kept aside")
                                                  .arg(entry.pageFile, timeText(QFileInfo(path).lastModified()))
                                            : damage};
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
