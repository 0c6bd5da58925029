#pragma once

#include "vault/VaultPages.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// The vault of a data folder while it is unlocked: the database as last
// read or written, and the key that opened it. Locking forgets both, and
// with them every row.
class VaultStore
{
public:
    explicit VaultStore(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }
    bool exists() const;
    bool isUnlocked() const { return m_open.has_value(); }

    // False for a wrong password; throws KladdoError naming what is wrong
    // with the file.
    [[nodiscard]] bool unlock(const QString &password);
    void lock() { m_open.reset(); }

    // What follows needs the vault unlocked.

    // The stamp of the file as last read or written.
    const QByteArray &stamp() const { return m_open->stamp; }
    PassPageCells cells(int page) const;
    const VaultPageSet &pages() const { return m_open->pages; }
    QStringList notes() const { return m_open->notes; }
    int lockMinutes() const { return m_open->lockMinutes; }

    // Reads the file again if it changed since; locks when the key held no
    // longer opens it (its password was changed elsewhere). Throws
    // KladdoError, changing nothing, when the file is damaged.
    void follow();

    // Writes page into the newest version of the file that the key opens,
    // or into the version held when none does, keeping the one it replaces
    // among the backups. Throws KladdoError when it cannot be written.
    void save(int page, const PassPageCells &cells, const QDateTime &now);
    // Stored as save stores a page.
    void setLockMinutes(int minutes);

    // Writes the vault under key from now on; its backups go.
    void changeKey(KdbxKey key);

    // The vault held with page as cells, enciphered under the same key:
    // what a recovery file may keep of unsaved changes.
    QByteArray withPage(int page, const PassPageCells &cells, const QDateTime &now) const;
    // Page's cells in such bytes; nothing when the key does not open them.
    std::optional<PassPageCells> cellsIn(const QByteArray &bytes, int page) const;

private:
    struct Open
    {
        KdbxDatabase database;
        KdbxKey key;
        QByteArray stamp;
        VaultPageSet pages;
        QStringList notes;
        int lockMinutes;
    };
    // The file's database when the key opens it; throws when it cannot be read.
    std::optional<KdbxDatabase> newestOpened() const;
    // Writes the newest version the key opens, or the one held, as change
    // leaves it.
    void rewrite(const std::function<void(KdbxDatabase &)> &change);
    // The database of bytes, opened by key, is now the one held.
    void hold(KdbxDatabase database, KdbxKey key, const QByteArray &bytes);
    QByteArray readFile() const;

    QString m_path;
    std::optional<Open> m_open;
};
