#include "tools/Commands.h"

#include "platform/AtomicFile.h"
#include "platform/KladdoError.h"
#include "platform/PageBackups.h"
#include "platform/RunningCopy.h"
#include "platform/TerminalPassword.h"
#include "tools/PageNumber.h"
#include "vault/VaultMigration.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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

void dropOrTellOfWeakCopies(const Call &call, CommandIo io)
{
    const QStringList copies = VaultMigration::weakCopies(call.dataDir());
    if (copies.isEmpty())
        return;
    if (call.has(DropOldBackups)) {
        VaultMigration::wipe(copies);
        io.out << "wiped " << copies.size() << " backups and recovery files of the pass files\n";
        return;
    }
    io.out << copies.size() << " backups and recovery files of the pass files remain in "
           << QDir(call.dataDir()).filePath(QStringLiteral("backup"))
           << ", their passwords in a form anyone with the files can read; "
              "kladdo-data vault drop-old-backups DATA_DIR wipes them\n";
}

int createVault(const Call &call, const Passwords &passwords, CommandIo io)
{
    const QString path = VaultPages::pathFor(call.dataDir());
    if (QFileInfo::exists(path))
        throw KladdoError(path + QStringLiteral(" exists already"));
    refuseWhileRunning(call.dataDir());
    // A damaged pass file stops it before the password is asked for.
    VaultMigration::passFilePages(call.dataDir());
    const int wiped = VaultMigration::create(call.dataDir(), newKey(call, passwords.fresh()));
    io.out << "made " << path << "; wiped " << wiped << " pass files\n";
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
    const VaultPage imported = VaultPages::pageOf(cellsFromCsv(call.words[2]));
    refuseWhileRunning(call.dataDir());
    OpenVault vault = openVault(call, passwords);
    VaultPageSet pages = vault.read.pages;
    pages[*page] = imported;
    VaultPages::write(vault.opened.database, pages, QDateTime::currentDateTimeUtc());
    checkWritten(PageBackups::writePage(vault.path, KdbxFile::write(vault.opened.database, vault.opened.key)),
                 vault.path);
    return ExitOk;
}

// The earlier generations open with the old password, which is often why
// it is changed: they go with it.
int changePassword(const Call &call, const Passwords &passwords, CommandIo io)
{
    refuseWhileRunning(call.dataDir());
    const OpenVault vault = openVault(call.dataDir(), passwords.current(QStringLiteral("Old master password: ")));
    const QString password = passwords.fresh();
    const qsizetype backups = VaultMigration::vaultBackups(call.dataDir()).size();
    VaultMigration::changeKey(call.dataDir(), vault.opened.database, newKey(call, password));
    io.out << "changed the master password of " << vault.path << "; removed " << backups
           << " earlier versions kept under the old one\n";
    return ExitOk;
}

int removeVault(const Call &call, const Passwords &passwords, CommandIo io)
{
    if (!call.has(Yes))
        throw KladdoError(QStringLiteral("vault remove stores the passwords again in the pass files, in a form "
                                         "anyone who has the files can read; give --yes to do so"));
    refuseWhileRunning(call.dataDir());
    const OpenVault vault = openVault(call, passwords);
    const int backups = VaultMigration::remove(call.dataDir(), vault.read.pages);
    io.out << "wrote the pass files; removed " << vault.path << " and its " << backups << " earlier versions\n";
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
