#include "tools/Commands.h"

#include "passwords/PassPageFile.h"
#include "platform/AtomicFile.h"
#include "platform/KladdoError.h"
#include "platform/Languages.h"
#include "platform/PageBackups.h"
#include "platform/RunningCopy.h"
#include "platform/TerminalPassword.h"
#include "tools/PageNumber.h"
#include "vault/VaultPages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr const char *kUsage =
    "usage: kladdo-data vault create DATA_DIR [--password-stdin] [--drop-old-backups]\n"
    "                                [--memory MIB --iterations N]\n"
    "       kladdo-data vault check DATA_DIR [--password-stdin]\n"
    "       kladdo-data vault export DATA_DIR PAGE [--password-stdin]\n"
    "       kladdo-data vault import DATA_DIR PAGE FILE [--password-stdin]\n"
    "       kladdo-data vault passwd DATA_DIR [--password-stdin] [--memory MIB --iterations N]\n"
    "       kladdo-data vault remove DATA_DIR --yes [--password-stdin]\n"
    "       kladdo-data vault drop-old-backups DATA_DIR\n";

enum Flag { PasswordStdin = 1, DropOldBackups = 2, Yes = 4, Kdf = 8 };

struct Call
{
    QStringList words; // DATA_DIR and what follows it
    int flags = 0;
    std::optional<Argon2Parameters> argon2;

    const QString &dataDir() const { return words[0]; }
    bool has(Flag flag) const { return flags & flag; }
};

std::optional<quint64> positiveNumber(const QString &text)
{
    bool ok = false;
    const quint64 value = text.toULongLong(&ok);
    return ok && value > 0 ? std::optional(value) : std::nullopt;
}

// The words and flags after the action; nothing for a wrong call.
std::optional<Call> parseCall(const QStringList &args)
{
    Call call;
    std::optional<quint64> memory, iterations;
    for (qsizetype at = 0; at < args.size(); ++at) {
        const QString &word = args[at];
        const bool hasValue = at + 1 < args.size();
        if (word == u"--password-stdin")
            call.flags |= PasswordStdin;
        else if (word == u"--drop-old-backups")
            call.flags |= DropOldBackups;
        else if (word == u"--yes")
            call.flags |= Yes;
        else if (word == u"--memory" && hasValue)
            memory = positiveNumber(args[++at]);
        else if (word == u"--iterations" && hasValue)
            iterations = positiveNumber(args[++at]);
        else if (word.startsWith(u"--"))
            return std::nullopt;
        else
            call.words << word;
    }
    if (memory.has_value() != iterations.has_value())
        return std::nullopt;
    if (memory) {
        call.flags |= Kdf;
        call.argon2 = Argon2Parameters{*memory << 20, *iterations, 2};
    }
    return call;
}

// The passwords of one call, from the terminal or from standard input's lines.
class Passwords
{
public:
    explicit Passwords(bool fromStdin) : m_fromStdin(fromStdin) {}

    QString current(const QString &prompt) const
    {
        return m_fromStdin ? nextLine() : TerminalPassword::read(prompt);
    }

    QString fresh() const
    {
        const QString password = current(QStringLiteral("New master password: "));
        if (password.isEmpty())
            throw KladdoError(QStringLiteral("an empty master password protects nothing; nothing was changed"));
        if (!m_fromStdin && TerminalPassword::read(QStringLiteral("Type it again: ")) != password)
            throw KladdoError(QStringLiteral("the two passwords differ; nothing was changed"));
        return password;
    }

private:
    static QString nextLine()
    {
        std::string line;
        if (!std::getline(std::cin, line))
            throw KladdoError(QStringLiteral("standard input ended before the password"));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return QString::fromStdString(line);
    }

    bool m_fromStdin;
};

KdbxKey newKey(const Call &call, const QString &password)
{
    return KdbxKey::create(password, call.argon2.value_or(calibratedArgon2()));
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KladdoError(QStringLiteral("%1 cannot be read (%2)").arg(path, file.errorString()));
    return file.readAll();
}

void checkWritten(const AtomicFile::Result &result, const QString &path)
{
    if (!result.ok)
        throw KladdoError(QStringLiteral("%1 cannot be written (%2)").arg(path, result.reason));
}

void refuseWhileRunning(const QString &dataDir)
{
    if (RunningCopy::isRunning(dataDir))
        throw KladdoError(QStringLiteral("Kladdo runs on %1: close it first").arg(dataDir));
}

struct OpenVault
{
    QString path;
    KdbxFile::Opened opened;
    VaultPagesRead read;
};

OpenVault openVault(const QString &dataDir, const QString &password)
{
    const QString path = VaultPages::pathFor(dataDir);
    if (!QFileInfo::exists(path))
        throw KladdoError(QStringLiteral("%1 has no vault %2 (kladdo-data vault create makes one)")
                              .arg(dataDir, VaultPages::fileName()));
    try {
        KdbxFile::Opened opened = KdbxFile::read(readWhole(path), password);
        VaultPagesRead read = VaultPages::read(opened.database);
        return {path, std::move(opened), std::move(read)};
    } catch (const KladdoError &error) {
        throw KladdoError(QStringLiteral("%1: %2; nothing was changed").arg(path, error.message()));
    }
}

OpenVault openVault(const Call &call, const Passwords &passwords)
{
    return openVault(call.dataDir(), passwords.current(QStringLiteral("Master password: ")));
}

VaultPage vaultPageOf(const PassPageCells &cells)
{
    VaultPage page;
    for (int slot = 0; slot < VaultRowCount; ++slot)
        page[slot] = {cells.cell(PassTextColumn, slot), cells.cell(PassNameColumn, slot),
                      cells.cell(PassPasswordColumn, slot)};
    return page;
}

PassPageCells cellsOf(const VaultPage &page)
{
    PassPageCells cells;
    for (int slot = 0; slot < VaultRowCount; ++slot) {
        cells.setCell(PassTextColumn, slot, page[slot].text);
        cells.setCell(PassNameColumn, slot, page[slot].name);
        cells.setCell(PassPasswordColumn, slot, page[slot].password);
    }
    return cells;
}

bool isEmpty(const VaultPage &page)
{
    return std::all_of(page.begin(), page.end(), [](const VaultRow &row) { return row.isEmpty(); });
}

// The pages of the pass files; a damaged one would lose what it cannot show.
VaultPageSet pagesOfPassFiles(const QString &dataDir)
{
    VaultPageSet pages;
    for (int page = 0; page < VaultPageCount; ++page) {
        const PassPageFile file(PassPageFile::pathFor(dataDir, page));
        const PassPageLoad load = file.load();
        if (load.fileState == PassPageLoad::FileState::Unreadable)
            throw KladdoError(QStringLiteral("%1 cannot be read (%2)").arg(file.path(), load.readError));
        if (load.isDamaged())
            throw KladdoError(QStringLiteral("%1 is damaged (%2): restore or repair it first")
                                  .arg(file.path(), load.damageText(Languages::English)));
        pages[page] = vaultPageOf(load.cells);
    }
    return pages;
}

// The files that hold the passwords in the weak form besides the pass
// files: each computer's backup generations of them (and those of the
// older layout) and the recovery files of their unsaved changes.
QStringList weakCopies(const QString &dataDir)
{
    static const QRegularExpression generation(QStringLiteral(R"(^pass\d\.dat\.(\d+|replaced)$)"));
    QStringList paths;
    const QDir backups(QDir(dataDir).filePath(QStringLiteral("backup")));
    QStringList folders{QString()};
    folders += backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &folder : folders) {
        const QDir dir(backups.filePath(folder));
        for (const QString &name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name)) {
            if (generation.match(name).hasMatch())
                paths << dir.filePath(name);
        }
    }
    for (const RecoveryEntry &entry : recoveryFiles(dataDir)) {
        if (entry.pageFile.startsWith(u"pass"))
            paths << QDir(dataDir).filePath(entry.path());
    }
    return paths;
}

void wipe(const QStringList &paths)
{
    for (const QString &path : paths) {
        const AtomicFile::Result wiped = AtomicFile::wipeAndRemove(path);
        if (!wiped.ok)
            throw KladdoError(QStringLiteral("%1 cannot be wiped (%2)").arg(path, wiped.reason));
    }
}

void dropOrTellOfWeakCopies(const Call &call, CommandIo io)
{
    const QStringList copies = weakCopies(call.dataDir());
    if (copies.isEmpty())
        return;
    if (call.has(DropOldBackups)) {
        wipe(copies);
        io.out << "wiped " << copies.size() << " backups and recovery files of the pass files\n";
        return;
    }
    io.out << copies.size() << " backups and recovery files of the pass files remain in "
           << QDir(call.dataDir()).filePath(QStringLiteral("backup"))
           << ", their passwords in a form anyone with the files can read; "
              "kladdo-data vault drop-old-backups DATA_DIR wipes them\n";
}

void checkSamePages(const QString &path, const QString &password, const VaultPageSet &pages)
{
    if (openVault(QFileInfo(path).path(), password).read.pages != pages)
        throw KladdoError(QStringLiteral("%1 does not give back the pages written").arg(path));
}

int createVault(const Call &call, const Passwords &passwords, CommandIo io)
{
    const QString path = VaultPages::pathFor(call.dataDir());
    if (QFileInfo::exists(path))
        throw KladdoError(path + QStringLiteral(" exists already"));
    refuseWhileRunning(call.dataDir());
    const VaultPageSet pages = pagesOfPassFiles(call.dataDir());
    const QString password = passwords.fresh();
    const KdbxDatabase database = VaultPages::create(pages, QDateTime::currentDateTimeUtc());
    checkWritten(AtomicFile::write(path, KdbxFile::write(database, newKey(call, password))), path);
    try {
        checkSamePages(path, password, pages);
    } catch (const KladdoError &) {
        QFile::remove(path);
        throw;
    }
    QStringList passFiles;
    for (int page = 0; page < VaultPageCount; ++page) {
        if (const QString file = PassPageFile::pathFor(call.dataDir(), page); QFileInfo::exists(file))
            passFiles << file;
    }
    wipe(passFiles);
    io.out << "made " << path << "; wiped " << passFiles.size() << " pass files\n";
    dropOrTellOfWeakCopies(call, io);
    return ExitOk;
}

int checkOpenedVault(const Call &call, const Passwords &passwords, CommandIo io)
{
    const OpenVault vault = openVault(call, passwords);
    for (int page = 0; page < VaultPageCount; ++page) {
        const VaultPage &rows = vault.read.pages[page];
        io.out << "page " << page << ": "
               << std::count_if(rows.begin(), rows.end(), [](const VaultRow &row) { return !row.isEmpty(); })
               << " rows\n";
    }
    for (const QString &note : vault.read.notes)
        io.out << note << '\n';
    return ExitOk;
}

std::optional<int> pageOf(const Call &call, CommandIo io)
{
    return pageArgument(call.words[1], io);
}

int exportPage(const Call &call, const Passwords &passwords, CommandIo io)
{
    const std::optional<int> page = pageOf(call, io);
    if (!page)
        return ExitUsage;
    const OpenVault vault = openVault(call, passwords);
    QList<QStringList> rows;
    for (const VaultRow &row : vault.read.pages[*page])
        rows << QStringList{row.text, row.name, row.password};
    writePageCsv(rows, io);
    return ExitOk;
}

int importPage(const Call &call, const Passwords &passwords, CommandIo io)
{
    const std::optional<int> page = pageOf(call, io);
    if (!page)
        return ExitUsage;
    const VaultPage imported = vaultPageOf(cellsFromCsv(call.words[2]));
    refuseWhileRunning(call.dataDir());
    OpenVault vault = openVault(call, passwords);
    VaultPageSet pages = vault.read.pages;
    pages[*page] = imported;
    VaultPages::write(vault.opened.database, pages, QDateTime::currentDateTimeUtc());
    checkWritten(PageBackups::writePage(vault.path, KdbxFile::write(vault.opened.database, vault.opened.key)),
                 vault.path);
    return ExitOk;
}

// The generations of the vault kept in each computer's backup folder.
QStringList vaultBackups(const QString &dataDir)
{
    QStringList paths;
    const QString vault = VaultPages::pathFor(dataDir);
    const QDir backups(QDir(dataDir).filePath(QStringLiteral("backup")));
    QStringList computers{QString()};
    computers += backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &computer : computers) {
        for (int generation = 1; generation <= PageBackups::kGenerations; ++generation) {
            if (const QString path = PageBackups::pathFor(vault, generation, computer); QFileInfo::exists(path))
                paths << path;
        }
    }
    return paths;
}

void removeAll(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (QFile file(path); !file.remove())
            throw KladdoError(QStringLiteral("%1 cannot be removed (%2)").arg(path, file.errorString()));
    }
}

// The earlier generations open with the old password, which is often why
// it is changed: they go with it.
int changePassword(const Call &call, const Passwords &passwords, CommandIo io)
{
    refuseWhileRunning(call.dataDir());
    OpenVault vault = openVault(call.dataDir(), passwords.current(QStringLiteral("Old master password: ")));
    const QString password = passwords.fresh();
    const QByteArray bytes = KdbxFile::write(vault.opened.database, newKey(call, password));
    checkWritten(AtomicFile::write(vault.path, bytes), vault.path);
    const QStringList backups = vaultBackups(call.dataDir());
    removeAll(backups);
    io.out << "changed the master password of " << vault.path << "; removed " << backups.size()
           << " earlier versions kept under the old one\n";
    return ExitOk;
}

void checkSameCells(const PassPageFile &file, const PassPageCells &cells)
{
    const PassPageLoad load = file.load();
    for (int slot = 0; slot < PassSlotCount; ++slot) {
        for (int column = 0; column < PassColumnCount; ++column) {
            if (load.cells.cell(column, slot) != cells.cell(column, slot))
                throw KladdoError(file.path() + QStringLiteral(" does not give back the page written; "
                                                               "the vault is kept"));
        }
    }
}

int removeVault(const Call &call, const Passwords &passwords, CommandIo io)
{
    if (!call.has(Yes))
        throw KladdoError(QStringLiteral("vault remove stores the passwords again in the pass files, in a form "
                                         "anyone who has the files can read; give --yes to do so"));
    refuseWhileRunning(call.dataDir());
    const OpenVault vault = openVault(call, passwords);
    std::array<PassPageCells, VaultPageCount> cells;
    for (int page = 0; page < VaultPageCount; ++page) {
        cells[page] = cellsOf(vault.read.pages[page]);
        cells[page].toRecord(); // a cell a pass file cannot store stops it before any is written
    }
    for (int page = 0; page < VaultPageCount; ++page) {
        if (isEmpty(vault.read.pages[page]))
            continue;
        const PassPageFile file(PassPageFile::pathFor(call.dataDir(), page));
        file.save(cells[page]);
        checkSameCells(file, cells[page]);
    }
    const QStringList backups = vaultBackups(call.dataDir());
    removeAll(QStringList{vault.path} + backups);
    io.out << "wrote the pass files; removed " << vault.path << " and its " << backups.size()
           << " earlier versions\n";
    return ExitOk;
}

int dropOldBackups(const Call &call, const Passwords &, CommandIo io)
{
    refuseWhileRunning(call.dataDir());
    Call dropping = call;
    dropping.flags |= DropOldBackups;
    dropOrTellOfWeakCopies(dropping, io);
    return ExitOk;
}

struct Action
{
    const char *name;
    qsizetype words; // DATA_DIR and the rest
    int flags;       // those it takes
    int (*run)(const Call &, const Passwords &, CommandIo);
};

constexpr Action kActions[] = {
    {"create", 1, PasswordStdin | DropOldBackups | Kdf, createVault},
    {"check", 1, PasswordStdin, checkOpenedVault},
    {"export", 2, PasswordStdin, exportPage},
    {"import", 3, PasswordStdin, importPage},
    {"passwd", 1, PasswordStdin | Kdf, changePassword},
    {"remove", 1, PasswordStdin | Yes, removeVault},
    {"drop-old-backups", 1, 0, dropOldBackups},
};

} // namespace

int vaultCommand(const QStringList &args, CommandIo io)
{
    const std::optional<Call> call = parseCall(args.mid(1));
    for (const Action &action : kActions) {
        if (args.isEmpty() || args[0] != QLatin1StringView(action.name))
            continue;
        if (!call || call->words.size() != action.words || (call->flags & ~action.flags))
            return usageError(io, kUsage);
        if (!QFileInfo(call->dataDir()).isDir())
            return failure(io, call->dataDir() + QStringLiteral(" is not a folder"));
        try {
            return action.run(*call, Passwords(call->has(PasswordStdin)), io);
        } catch (const KladdoError &error) {
            return failure(io, error.message());
        }
    }
    return usageError(io, kUsage);
}

QList<CheckLine> checkVault(const QString &dataDir)
{
    const QString path = VaultPages::pathFor(dataDir);
    if (!QFileInfo::exists(path))
        return {};
    CheckLine line{VaultPages::fileName(), CheckLine::Status::Ok, {}};
    try {
        const KdbxFile::Header header = KdbxFile::inspect(readWhole(path));
        line.detail = QStringLiteral("ok as far as can be told without the password (KDBX 4.%1, %2, %3)")
                          .arg(header.minorVersion)
                          .arg(header.cipher, header.derivation);
        line.status = CheckLine::Status::Notice;
    } catch (const KladdoError &error) {
        line.status = CheckLine::Status::Damaged;
        line.detail = error.message();
    }
    return {line};
}
