#pragma once

#include "vault/VaultStore.h"

#include <QString>
#include <QStringList>

// The password pages moving between the pass files and a vault, and the
// copies of them left in the form anyone with the files can read. Each
// step checks what it wrote before it removes what it replaces, and
// throws KladdoError naming the file when it cannot go on.
namespace VaultMigration {

// The pages of the pass files; a damaged one would lose what it cannot show.
VaultPageSet passFilePages(const QString &dataDir);

// Makes the vault from the pass files under key, checks that it gives the
// pages back, then wipes the pass files; the number wiped.
int create(const QString &dataDir, const KdbxKey &key);

// Writes pages into the pass files, checking each, then removes the vault
// and its backups; the number of backups removed.
int remove(const QString &dataDir, const VaultPageSet &pages);

// Writes database as the vault under key, and removes the vault's backups,
// which open with the old password: that is often why it is changed. The
// bytes written.
QByteArray changeKey(const QString &dataDir, const KdbxDatabase &database, const KdbxKey &key);

// Each computer's backup generations of the pass files (and those of the
// older layout), the recovery files of their unsaved changes, and the
// conflict copies beside them.
QStringList weakCopies(const QString &dataDir);
// Overwritten with zeros, then removed.
void wipe(const QStringList &paths);

// The generations of the vault kept in each computer's backup folder.
QStringList vaultBackups(const QString &dataDir);
void removeAll(const QStringList &paths);

} // namespace VaultMigration
