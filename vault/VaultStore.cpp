#include "vault/VaultStore.h"

#include "platform/KladdoError.h"
#include "vault/VaultMigration.h"
#include "platform/PageBackups.h"
#include "platform/RecoveryFile.h"

#include <QFile>
#include <QFileInfo>

bool VaultStore::exists() const
{
    return QFileInfo::exists(m_path);
}

QByteArray VaultStore::readFile() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        throw KladdoError(QStringLiteral("%1 cannot be read (%2)").arg(m_path, file.errorString()));
    return file.readAll();
}

bool VaultStore::unlock(const QString &password)
{
    const QByteArray bytes = readFile();
    KdbxKey key = KdbxKey::derive(password, KdbxFile::inspect(bytes).kdfParameters);
    std::optional<KdbxDatabase> database = KdbxFile::read(bytes, key);
    if (!database)
        return false;
    hold(std::move(*database), std::move(key), bytes);
    return true;
}

void VaultStore::hold(KdbxDatabase database, KdbxKey key, const QByteArray &bytes)
{
    VaultPagesRead read = VaultPages::read(database);
    m_open.emplace(Open{std::move(database), std::move(key), RecoveryFile::stampOf(bytes), read.pages,
                        std::move(read.notes), read.lockMinutes});
}

PassPageCells VaultStore::cells(int page) const
{
    return VaultPages::cellsOf(m_open->pages[page]);
}

void VaultStore::follow()
{
    if (!exists())
        return;
    const QByteArray bytes = readFile();
    if (RecoveryFile::stampOf(bytes) == m_open->stamp)
        return;
    std::optional<KdbxDatabase> database = KdbxFile::read(bytes, m_open->key);
    if (!database) {
        lock();
        return;
    }
    hold(std::move(*database), std::move(m_open->key), bytes);
}

// A damaged file is written over with the version held, keeping it among
// the backups: refusing would leave no way to save at all.
std::optional<KdbxDatabase> VaultStore::newestOpened() const
{
    if (!exists())
        return std::nullopt;
    const QByteArray bytes = readFile();
    try {
        return KdbxFile::read(bytes, m_open->key);
    } catch (const KladdoError &) {
        return std::nullopt;
    }
}

void VaultStore::rewrite(const std::function<void(KdbxDatabase &)> &change)
{
    std::optional<KdbxDatabase> newest = newestOpened();
    KdbxDatabase database = newest ? std::move(*newest) : m_open->database;
    change(database);
    const QByteArray bytes = KdbxFile::write(database, m_open->key);
    if (const AtomicFile::Result written = PageBackups::writePage(m_path, bytes); !written.ok)
        throw KladdoError(QStringLiteral("%1 cannot be written (%2)").arg(m_path, written.reason));
    hold(std::move(database), std::move(m_open->key), bytes);
}

void VaultStore::save(int page, const PassPageCells &cells, const QDateTime &now)
{
    rewrite([&](KdbxDatabase &database) {
        VaultPageSet pages = VaultPages::read(database).pages;
        pages[page] = VaultPages::pageOf(cells);
        VaultPages::write(database, pages, now);
    });
}

void VaultStore::setLockMinutes(int minutes)
{
    rewrite([minutes](KdbxDatabase &database) { VaultPages::setLockMinutes(database, minutes); });
}

void VaultStore::changeKey(KdbxKey key)
{
    const QByteArray bytes = VaultMigration::changeKey(QFileInfo(m_path).path(), m_open->database, key);
    hold(std::move(m_open->database), std::move(key), bytes);
}

QByteArray VaultStore::withPage(int page, const PassPageCells &cells, const QDateTime &now) const
{
    KdbxDatabase database = m_open->database;
    VaultPageSet pages = m_open->pages;
    pages[page] = VaultPages::pageOf(cells);
    VaultPages::write(database, pages, now);
    return KdbxFile::write(database, m_open->key);
}

std::optional<PassPageCells> VaultStore::cellsIn(const QByteArray &bytes, int page) const
{
    try {
        if (const std::optional<KdbxDatabase> database = KdbxFile::read(bytes, m_open->key))
            return VaultPages::cellsOf(VaultPages::read(*database).pages[page]);
    } catch (const KladdoError &) {
    }
    return std::nullopt;
}
