#include "vault/VaultMigration.h"

#include "passwords/PassPageFile.h"
#include "platform/AtomicFile.h"
#include "platform/KladdoError.h"
#include "platform/Languages.h"
#include "platform/PageBackups.h"
#include "platform/RecoveryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace VaultMigration {

namespace {

bool isEmpty(const VaultPage &page)
{
    return std::all_of(page.begin(), page.end(), [](const VaultRow &row) { return row.isEmpty(); });
}

void checkWritten(const AtomicFile::Result &result, const QString &path)
{
    if (!result.ok)
        throw KladdoError(QStringLiteral("%1 cannot be written (%2)").arg(path, result.reason));
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

// backup/ itself (empty), then each computer's folder in it.
QStringList computerFolders(const QString &dataDir)
{
    const QDir backups(QDir(dataDir).filePath(QStringLiteral("backup")));
    return QStringList{QString()} + backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

VaultPageSet passFilePages(const QString &dataDir)
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
        pages[page] = VaultPages::pageOf(load.cells);
    }
    return pages;
}

int create(const QString &dataDir, const KdbxKey &key)
{
    const QString path = VaultPages::pathFor(dataDir);
    if (QFileInfo::exists(path))
        throw KladdoError(path + QStringLiteral(" exists already"));
    const VaultPageSet pages = passFilePages(dataDir);
    const QByteArray bytes = KdbxFile::write(VaultPages::create(pages, QDateTime::currentDateTimeUtc()), key);
    checkWritten(AtomicFile::write(path, bytes), path);
    QFile written(path);
    const std::optional<KdbxDatabase> back =
        written.open(QIODevice::ReadOnly) ? KdbxFile::read(written.readAll(), key) : std::nullopt;
    if (!back || VaultPages::read(*back).pages != pages) {
        QFile::remove(path);
        throw KladdoError(QStringLiteral("%1 does not give back the pages written").arg(path));
    }
    QStringList passFiles;
    for (int page = 0; page < VaultPageCount; ++page) {
        if (const QString file = PassPageFile::pathFor(dataDir, page); QFileInfo::exists(file))
            passFiles << file;
    }
    wipe(passFiles);
    return int(passFiles.size());
}

int remove(const QString &dataDir, const VaultPageSet &pages)
{
    std::array<PassPageCells, VaultPageCount> cells;
    for (int page = 0; page < VaultPageCount; ++page) {
        cells[page] = VaultPages::cellsOf(pages[page]);
        cells[page].toRecord(); // a cell a pass file cannot store stops it before any is written
    }
    for (int page = 0; page < VaultPageCount; ++page) {
        if (isEmpty(pages[page]))
            continue;
        const PassPageFile file(PassPageFile::pathFor(dataDir, page));
        file.save(cells[page]);
        checkSameCells(file, cells[page]);
    }
    const QStringList backups = vaultBackups(dataDir);
    removeAll(QStringList{VaultPages::pathFor(dataDir)} + backups);
    return int(backups.size());
}

QByteArray changeKey(const QString &dataDir, const KdbxDatabase &database, const KdbxKey &key)
{
    const QString path = VaultPages::pathFor(dataDir);
    const QStringList backups = vaultBackups(dataDir);
    const QByteArray bytes = KdbxFile::write(database, key);
    checkWritten(AtomicFile::write(path, bytes), path);
    removeAll(backups);
    return bytes;
}

QStringList weakCopies(const QString &dataDir)
{
    static const QRegularExpression generation(QStringLiteral(R"(^pass\d\.dat\.(\d+|replaced)$)"));
    static const QRegularExpression passFile(QStringLiteral(R"(^pass\d\.dat$)"));
    // Copies the sync tools and the version check kept beside a pass file.
    static const QRegularExpression conflictCopy(QStringLiteral(R"(^pass\d[ .\-(].*\.dat$)"));
    const QDir backups(QDir(dataDir).filePath(QStringLiteral("backup")));
    QStringList paths;
    for (const QString &name : QDir(dataDir).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name)) {
        if (conflictCopy.match(name).hasMatch())
            paths << QDir(dataDir).filePath(name);
    }
    for (const QString &computer : computerFolders(dataDir)) {
        const QDir dir(backups.filePath(computer));
        for (const QString &name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name)) {
            const std::optional<QString> recovered = RecoveryFile::pageOfRecovery(name);
            if (generation.match(name).hasMatch() || (recovered && passFile.match(*recovered).hasMatch()))
                paths << dir.filePath(name);
        }
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

QStringList vaultBackups(const QString &dataDir)
{
    const QString vault = VaultPages::pathFor(dataDir);
    QStringList paths;
    for (const QString &computer : computerFolders(dataDir)) {
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

} // namespace VaultMigration
