#include "tools/Commands.h"

#include "notes/NotePage.h"
#include "passwords/PassPageFile.h"
#include "platform/ComputerName.h"
#include "platform/PageBackups.h"
#include "platform/RunningCopy.h"
#include "tools/PageNumber.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

constexpr const char *kUsage =
    "usage: kladdo-data backups list DATA_DIR\n"
    "       kladdo-data backups restore DATA_DIR note|pass PAGE [GENERATION]\n"
    "       kladdo-data backups extract RECOVERY_FILE OUT_FILE\n";

const QStringList kKinds = {QStringLiteral("note"), QStringLiteral("pass")};

// Both kinds have ten pages, numbered by one digit.
QString pagePath(const QString &dataDir, const QString &kind, int page)
{
    return kind == u"note" ? QDir(dataDir).filePath(NotePage::fileName(page))
                           : PassPageFile::pathFor(dataDir, page);
}

// One ASCII digit, as PAGE is.
std::optional<int> generationArgument(const QString &text, CommandIo io)
{
    const std::optional<int> digit = parsePageNumber(text);
    if (digit && *digit >= 1 && *digit <= PageBackups::kGenerations)
        return digit;
    io.err << "kladdo-data: GENERATION must be 1-" << PageBackups::kGenerations << ", not '" << text << "'\n";
    return std::nullopt;
}

// The older layout's generations of a page are this computer's next time
// it writes or restores the page.
QString generationsOwner(const QString &pagePath)
{
    const QString computer = ComputerName::unique();
    return PageBackups::hasGenerations(pagePath, computer) ? computer : QString();
}

void listOtherComputers(const QString &dataDir, CommandIo io)
{
    QStringList others = QDir(QDir(dataDir).filePath(QStringLiteral("backup")))
                             .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    others.removeAll(ComputerName::unique());
    if (!others.isEmpty())
        io.out << "not listed, kept by other computers: backup/" << others.join(QStringLiteral(", backup/"))
               << '\n';
}

int listBackups(const QString &dataDir, CommandIo io)
{
    bool found = false;
    for (const QString &kind : kKinds) {
        for (int page = 0; page < NotePage::kPageCount; ++page) {
            const QString path = pagePath(dataDir, kind, page);
            const QString computer = generationsOwner(path);
            for (int generation = 1; generation <= PageBackups::kGenerations; ++generation) {
                const QFileInfo backup(PageBackups::pathFor(path, generation, computer));
                if (!backup.isFile())
                    continue;
                io.out << QFileInfo(path).fileName() << "  " << generation << "  "
                       << backup.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << "  "
                       << backup.size() << " bytes\n";
                found = true;
            }
        }
    }
    // In the generation's column, what the name adds to the page file's.
    for (const RecoveryEntry &entry : recoveryFiles(dataDir)) {
        if (!entry.isThisComputers())
            continue;
        const QFileInfo recovery(QDir(dataDir).filePath(entry.path()));
        io.out << entry.pageFile << "  " << entry.fileName.mid(entry.pageFile.size() + 1) << "  "
               << recovery.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << "  "
               << recovery.size() << " bytes\n";
        found = true;
    }
    if (!found)
        io.out << "no backups of this computer in "
               << QDir::toNativeSeparators(QDir(dataDir).filePath(QStringLiteral("backup"))) << '\n';
    listOtherComputers(dataDir, io);
    return ExitOk;
}

// args: DATA_DIR note|pass PAGE [GENERATION]
int restoreBackup(const QStringList &args, CommandIo io)
{
    if (!kKinds.contains(args[1])) {
        io.err << "kladdo-data: the kind of page must be note or pass, not '" << args[1] << "'\n";
        return ExitUsage;
    }
    const std::optional<int> page = pageArgument(args[2], io);
    if (!page)
        return ExitUsage;
    const std::optional<int> generation = args.size() == 4 ? generationArgument(args[3], io) : 1;
    if (!generation)
        return ExitUsage;
    const QString &dataDir = args[0];
    if (!QFileInfo(dataDir).isDir())
        return failure(io, dataDir + QStringLiteral(" is not a folder"));
    // The program would write its own page over the restored one.
    if (RunningCopy::isRunning(dataDir))
        return failure(io, QStringLiteral("Kladdo is running on %1; close it, then restore").arg(dataDir));
    const AtomicFile::Result result = PageBackups::restore(pagePath(dataDir, args[1], *page), *generation);
    return result.ok ? ExitOk : failure(io, result.reason);
}

} // namespace

int backupsCommand(const QStringList &args, CommandIo io)
{
    if (args.size() == 2 && args[0] == u"list") {
        if (!QFileInfo(args[1]).isDir())
            return failure(io, args[1] + QStringLiteral(" is not a folder"));
        return listBackups(args[1], io);
    }
    if ((args.size() == 4 || args.size() == 5) && args[0] == u"restore")
        return restoreBackup(args.mid(1), io);
    if (args.size() == 3 && args[0] == u"extract")
        return extractRecovery(args[1], args[2], io);
    return usageError(io, kUsage);
}
