// libFuzzer target for the vault file, built with its HMAC checks and key
// derivation bypassed so that changed bytes reach the decryption, the
// inner header and the XML. Whatever the file holds, it is refused with a
// message or read; a vault read saves, and reads back with the same tree,
// attachments and pages.
//   KLADDO_KDBX_SEEDS=FOLDER kdbx_fuzzer   writes the seed corpus instead.
#include "platform/KladdoError.h"
#include "vault/KdbxFile.h"
#include "vault/VaultPages.h"

#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString Password = QStringLiteral("fuzz");

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::abort();
}

VaultPageSet seedPages()
{
    VaultPageSet pages;
    pages[0][0] = {QStringLiteral("Bank \u00e4"), QStringLiteral("anna"), QStringLiteral("pw<1>&")};
    pages[0][5] = {QStringLiteral("Mail"), {}, QStringLiteral("zwei")};
    pages[9][13] = {{}, {}, QStringLiteral("drei")};
    return pages;
}

// Small files: the page groups, an entry without a row, an attachment.
void writeSeeds(const QString &folder)
{
    KdbxDatabase database = VaultPages::create(seedPages(), QDateTime::fromSecsSinceEpoch(1800000000));
    XmlNode &group = database.document.child(QStringLiteral("Root"))->child(QStringLiteral("Group"))->children[3];
    XmlNode &entry = group.append(QStringLiteral("Entry"));
    XmlNode &title = entry.append(QStringLiteral("String"));
    title.append(QStringLiteral("Key"), QStringLiteral("Title"));
    title.append(QStringLiteral("Value"), QStringLiteral("ohne Zeile"));
    XmlNode &binary = entry.append(QStringLiteral("Binary"));
    binary.append(QStringLiteral("Key"), QStringLiteral("a.txt"));
    binary.append(QStringLiteral("Value")).setAttribute(QStringLiteral("Ref"), QStringLiteral("0"));
    database.binaries.append(QByteArrayLiteral("\x01" "attached"));
    const KdbxKey key = KdbxKey::create(Password, {1 << 20, 1, 1});
    using Cipher = KdbxWriteOptions::Cipher;
    const struct { const char *name; KdbxWriteOptions options; } seeds[] = {
        {"chacha20-plain.kdbx", {Cipher::ChaCha20, false}}, // bytes changed here reach the XML
        {"aes-plain.kdbx", {Cipher::Aes256, false}},
        {"aes-gzip.kdbx", {Cipher::Aes256, true}},
    };
    for (const auto &seed : seeds) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(seed.name));
        const QByteArray bytes = KdbxFile::write(database, key, seed.options);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            fail(QStringLiteral("cannot write %1").arg(file.fileName()));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (const char *folder = std::getenv("KLADDO_KDBX_SEEDS")) {
        writeSeeds(QString::fromLocal8Bit(folder));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    std::optional<KdbxFile::Opened> opened;
    try {
        opened.emplace(KdbxFile::read(input, Password));
    } catch (const KladdoError &) {
        return 0; // refused, as it should be
    }
    const VaultPagesRead pages = VaultPages::read(opened->database);
    KdbxDatabase database = opened->database;
    VaultPages::write(database, pages.pages, QDateTime::fromSecsSinceEpoch(1800000000));
    try {
        const KdbxDatabase saved = KdbxFile::read(KdbxFile::write(database, opened->key), Password).database;
        if (saved.document != database.document || saved.binaries != database.binaries)
            fail(QStringLiteral("the saved vault reads back different"));
        if (VaultPages::read(saved).pages != pages.pages)
            fail(QStringLiteral("the pages changed on saving"));
    } catch (const KladdoError &error) {
        fail(QStringLiteral("a vault as read could not be saved and read: %1").arg(error.message()));
    }
    return 0;
}
