#pragma once

#include "passwords/PassPageCells.h"
#include "vault/KdbxFile.h"

#include <QDateTime>
#include <QStringList>

#include <array>

constexpr int VaultPageCount = 10;
constexpr int VaultRowCount = 14;
constexpr int MaxLockMinutes = 600;

struct VaultRow
{
    QString text;
    QString name;
    QString password;

    bool isEmpty() const { return text.isEmpty() && name.isEmpty() && password.isEmpty(); }
    bool operator==(const VaultRow &) const = default;
};

using VaultPage = std::array<VaultRow, VaultRowCount>;
using VaultPageSet = std::array<VaultPage, VaultPageCount>;

struct VaultPagesRead
{
    VaultPageSet pages;
    QStringList notes; // what the pages cannot show, for the user
    // Idle minutes before the pages lock, 1 to MaxLockMinutes.
    int lockMinutes = 5;
};

// The ten password pages as groups of a vault, found by their CustomData
// item KladdoPage wherever they are but in the recycle bin; a row is an
// entry with the item KladdoRow, since other programs sort entries by
// title. Everything else in the vault stays as it is.
namespace VaultPages {

// passwords.kdbx, and where it lies in a data folder.
QString fileName();
QString pathFor(const QString &dataDir);

// A page's rows as the password grid holds its cells, and back.
VaultPage pageOf(const PassPageCells &cells);
PassPageCells cellsOf(const VaultPage &page);

KdbxDatabase create(const VaultPageSet &pages, const QDateTime &now);
VaultPagesRead read(const KdbxDatabase &database);
// Updates the rows' entries in place, makes those missing and removes those
// of rows now empty. An entry without a row takes the first free one.
void write(KdbxDatabase &database, const VaultPageSet &pages, const QDateTime &now);
// Kept in the vault, since only an open vault locks.
void setLockMinutes(KdbxDatabase &database, int minutes);

} // namespace VaultPages
