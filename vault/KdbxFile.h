#pragma once

#include "vault/KdbxKey.h"
#include "vault/XmlTree.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A KDBX 4 database as read: the XML tree and everything around it that
// must be written back as it came.
struct KdbxDatabase
{
    quint32 minorVersion = 0; // 4.0 or 4.1
    XmlNode document;         // KeePassFile
    QList<QByteArray> binaries; // attachments: flag byte, then the content
    std::optional<QByteArray> publicCustomData; // a VariantDictionary's bytes
};

struct KdbxWriteOptions
{
    enum class Cipher { Aes256, ChaCha20 };
    Cipher cipher = Cipher::Aes256;
    bool compress = true;
};

namespace KdbxFile {

struct Opened
{
    KdbxDatabase database;
    KdbxKey key;
};

// What the outer header tells without the password.
struct Header
{
    quint32 minorVersion = 0;
    QString cipher;     // "AES-256" or "ChaCha20"
    QString derivation; // as KdbxKey::describe gives it
    VariantDictionary kdfParameters;
};

// Throws KladdoError naming what is wrong with the header, its checksum
// or its key derivation parameters.
Header inspect(const QByteArray &file);
// Throws KladdoError naming what is wrong with the file or the password.
Opened read(const QByteArray &file, const QString &password);
// With a key derived before, as long as it opens the file: nothing once the
// file's password or key derivation has changed. Throws as read does for a
// damaged file.
std::optional<KdbxDatabase> read(const QByteArray &file, const KdbxKey &key);
// The whole file; a fresh master seed, IV and inner stream key each time.
QByteArray write(const KdbxDatabase &database, const KdbxKey &key, const KdbxWriteOptions &options = {});

} // namespace KdbxFile
