#include "support/TestFiles.h"
#include "support/VaultSamples.h"
#include "vault/Gzip.h"
#include "vault/KdbxFile.h"

#include "platform/KladdoError.h"

#include <QCryptographicHash>
#include <QTest>
#include <QtEndian>

#include <functional>

Q_DECLARE_METATYPE(std::function<QByteArray(QByteArray)>)

namespace {

using Damage = std::function<QByteArray(QByteArray)>;
const QDateTime Now = QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC);
const QString Password = QStringLiteral("Gr\u00fcn 7");

QByteArray vaultFile(const VaultPageSet &pages, const KdbxWriteOptions &options = {})
{
    return KdbxFile::write(VaultPages::create(pages, Now), fastVaultKey(Password), options);
}

XmlNode &pageGroup(KdbxDatabase &database, int page)
{
    // After the top group's UUID, Name and Times.
    return database.document.child(QStringLiteral("Root"))->child(QStringLiteral("Group"))->children[3 + page];
}

XmlNode stringField(const QString &key, const QString &value, bool isProtected = false)
{
    XmlNode field{QStringLiteral("String"), {}, {}, {}};
    field.append(QStringLiteral("Key"), key);
    XmlNode &valueNode = field.append(QStringLiteral("Value"), value);
    if (isProtected)
        valueNode.setAttribute(QStringLiteral("Protected"), QStringLiteral("True"));
    return field;
}

XmlNode foreignEntry(const QString &title)
{
    XmlNode entry{QStringLiteral("Entry"), {}, {}, {stringField(QStringLiteral("Title"), title)}};
    entry.children.append(stringField(QStringLiteral("URL"), QStringLiteral("https://example.org/?a=1&b=2")));
    entry.children.append(stringField(QStringLiteral("Secret"), QStringLiteral("geheim \u00e9"), true));
    return entry;
}

// What another program adds: a group of its own with an entry with history and an
// attachment, fields and CustomData on a page's entry, Meta of its own.
KdbxDatabase withForeignContent(KdbxDatabase database)
{
    XmlNode entry = foreignEntry(QStringLiteral("Fremd"));
    XmlNode &binary = entry.append(QStringLiteral("Binary"));
    binary.append(QStringLiteral("Key"), QStringLiteral("a.txt"));
    binary.append(QStringLiteral("Value")).setAttribute(QStringLiteral("Ref"), QStringLiteral("0"));
    entry.append(QStringLiteral("History")).children.append(foreignEntry(QStringLiteral("Alt")));
    XmlNode group{QStringLiteral("Group"), {}, {}, {{QStringLiteral("Name"), {}, QStringLiteral("Eigene"), {}}}};
    group.children.append(entry);
    database.document.child(QStringLiteral("Root"))->child(QStringLiteral("Group"))->children.append(group);
    XmlNode &pageEntry = *pageGroup(database, 0).child(QStringLiteral("Entry"));
    pageEntry.children.append(stringField(QStringLiteral("URL"), QStringLiteral("https://bank.example")));
    XmlNode &item = pageEntry.ensureChild(QStringLiteral("CustomData")).append(QStringLiteral("Item"));
    item.append(QStringLiteral("Key"), QStringLiteral("Other"));
    database.document.child(QStringLiteral("Meta"))->append(QStringLiteral("Color"), QStringLiteral("#FF0000"));
    database.binaries.append(QByteArray("\x01", 1) + "attached bytes");
    database.publicCustomData = QByteArray::fromHex("00011806000000706c7567696e030000006f6e6500");
    return database;
}

// The file with its header's KDF parameters (field 11) given to `change`,
// and the header checksum made to fit again.
QByteArray withKdf(QByteArray file, const std::function<void(VariantDictionary &)> &change)
{
    qsizetype at = 12;
    while (file.at(at) != 11)
        at += 5 + qFromLittleEndian<quint32>(file.constData() + at + 1);
    const qsizetype length = qFromLittleEndian<quint32>(file.constData() + at + 1);
    VariantDictionary kdf = VariantDictionary::parse(file.mid(at + 5, length));
    change(kdf);
    const QByteArray data = kdf.serialise();
    char size[4];
    qToLittleEndian(quint32(data.size()), size);
    file.replace(at + 1, 4 + length, QByteArray(size, 4) + data);
    qsizetype end = 12;
    while (file.at(end) != 0)
        end += 5 + qFromLittleEndian<quint32>(file.constData() + end + 1);
    end += 9;
    file.replace(end, 32, QCryptographicHash::hash(file.first(end), QCryptographicHash::Sha256));
    return file;
}

Damage setKdf(const char *name, VariantDictionary::Type type, quint64 value)
{
    return [=](QByteArray file) {
        return withKdf(file, [=](VariantDictionary &kdf) { kdf.setUnsigned(QLatin1String(name), type, value); });
    };
}

Damage setKdfBytes(const char *name, const QByteArray &value)
{
    return [=](QByteArray file) {
        return withKdf(file, [=](VariantDictionary &kdf) { kdf.setBytes(QLatin1String(name), value); });
    };
}

// A random byte, such as the seed's, may hold any value: flipped, it changes.
Damage flipByte(qsizetype at)
{
    return [=](QByteArray file) {
        file[at] = char(~file[at]);
        return file;
    };
}

Damage changeByte(qsizetype at, char value)
{
    return [=](QByteArray file) {
        file[at < 0 ? file.size() + at : at] = value;
        return file;
    };
}

// The offset of the first block: after the header and its two hashes.
qsizetype firstBlock(const QByteArray &file)
{
    qsizetype at = 12;
    while (file.at(at) != 0)
        at += 5 + qFromLittleEndian<quint32>(file.constData() + at + 1);
    return at + 9 + 64;
}

KdbxDatabase documentOf(const XmlNode &document)
{
    KdbxDatabase database;
    database.document = document;
    return database;
}

} // namespace

class tst_Kdbx : public QObject
{
    Q_OBJECT

private slots:
    void pagesRoundTrip_data();
    void pagesRoundTrip();
    void foreignContentSurvives();
    void editsTouchOnlyWhatChanged();
    void entriesWithoutRowTakeFreeRows();
    void deletedAndDoubledPagesAreLeftAlone();
    void badFilesAreRefused_data();
    void badFilesAreRefused();
    void inspectSeesTheHeaderOnly_data();
    void inspectSeesTheHeaderOnly();
    void badDocumentsAreRefused_data();
    void badDocumentsAreRefused();
    void gzipBombIsRefused();
    void controlCharactersDoNotBreakTheFile();
    void fileSavedByKeePassXCReads();
};

void tst_Kdbx::pagesRoundTrip_data()
{
    QTest::addColumn<int>("cipher");
    QTest::addColumn<bool>("compress");
    QTest::newRow("AES, gzip") << int(KdbxWriteOptions::Cipher::Aes256) << true;
    QTest::newRow("ChaCha20, plain") << int(KdbxWriteOptions::Cipher::ChaCha20) << false;
}

void tst_Kdbx::pagesRoundTrip()
{
    QFETCH(int, cipher);
    QFETCH(bool, compress);
    const QByteArray file = vaultFile(sampleVaultPages(), {KdbxWriteOptions::Cipher(cipher), compress});
    const KdbxFile::Opened opened = KdbxFile::read(file, Password);
    const VaultPagesRead read = VaultPages::read(opened.database);
    QVERIFY(read.pages == sampleVaultPages());
    QVERIFY(read.notes.isEmpty());
    // Saved again with the key as opened: no new KDF run, a fresh seed.
    const QByteArray again = KdbxFile::write(opened.database, opened.key);
    QVERIFY(again.mid(40, 60) != file.mid(40, 60));
    QVERIFY(VaultPages::read(KdbxFile::read(again, Password).database).pages == sampleVaultPages());
}

void tst_Kdbx::foreignContentSurvives()
{
    KdbxDatabase original = withForeignContent(VaultPages::create(sampleVaultPages(), Now));
    original.minorVersion = 1; // 4.1 stays 4.1
    KdbxFile::Opened opened = KdbxFile::read(KdbxFile::write(original, fastVaultKey(Password)), Password);
    QCOMPARE(opened.database.document, original.document);
    VaultPages::write(opened.database, VaultPages::read(opened.database).pages, Now.addDays(1));
    const KdbxDatabase saved = KdbxFile::read(KdbxFile::write(opened.database, opened.key), Password).database;
    QCOMPARE(saved.document, original.document);
    QCOMPARE(saved.binaries, original.binaries);
    QCOMPARE(saved.publicCustomData, original.publicCustomData);
    QCOMPARE(saved.minorVersion, 1u);
}

void tst_Kdbx::editsTouchOnlyWhatChanged()
{
    KdbxDatabase database = withForeignContent(VaultPages::create(sampleVaultPages(), Now));
    const XmlNode before = pageGroup(database, 0);
    VaultPageSet pages = sampleVaultPages();
    pages[0][0].password = QStringLiteral("neu");
    pages[0][1] = {}; // row 1 holds its entry in the sample
    pages[0][13] = {QStringLiteral("Neu"), {}, {}};
    VaultPages::write(database, pages, Now.addDays(1));
    QVERIFY(VaultPages::read(database).pages == pages);
    const XmlNode &group = pageGroup(database, 0);
    const auto modified = [](const XmlNode &entry) {
        return entry.child(QStringLiteral("Times"))->child(QStringLiteral("LastModificationTime"))->text;
    };
    // Entries follow the group's UUID, Name, Times and CustomData.
    QVERIFY(modified(group.children.at(4)) != modified(before.children.at(4)));
    QCOMPARE(group.children.at(4).children.last().children.at(1).text, QStringLiteral("https://bank.example"));
    QCOMPARE(group.children.at(5), before.children.at(6)); // row 2 as it was, one entry up
    QCOMPARE(group.children.size(), before.children.size() - 1);
}

void tst_Kdbx::entriesWithoutRowTakeFreeRows()
{
    VaultPageSet pages;
    pages[2][0] = {QStringLiteral("Erste"), {}, {}};
    KdbxDatabase database = VaultPages::create(pages, Now);
    XmlNode &group = pageGroup(database, 2);
    for (int added = 0; added < VaultRowCount; ++added)
        group.children.append(foreignEntry(QStringLiteral("Fremd %1").arg(added)));
    VaultPagesRead read = VaultPages::read(database);
    QCOMPARE(read.pages[2][1].text, QStringLiteral("Fremd 0"));
    QCOMPARE(read.pages[2][13].text, QStringLiteral("Fremd 12"));
    QCOMPARE(read.notes, QStringList{QStringLiteral(
        "Page 3 has no free row for the entry \"Fremd 13\", which is kept but not shown")});
    // Saved, each keeps its row even when another client sorts the entries anew.
    VaultPages::write(database, read.pages, Now);
    std::reverse(group.children.begin() + 5, group.children.end());
    read = VaultPages::read(database);
    QCOMPARE(read.pages[2][1].text, QStringLiteral("Fremd 0"));
    QCOMPARE(read.pages[2][0].text, QStringLiteral("Erste"));
    QCOMPARE(read.notes.size(), 1);
}

void tst_Kdbx::deletedAndDoubledPagesAreLeftAlone()
{
    KdbxDatabase database = VaultPages::create(sampleVaultPages(), Now);
    XmlNode &top = *database.document.child(QStringLiteral("Root"))->child(QStringLiteral("Group"));
    XmlNode bin{QStringLiteral("Group"), {}, {}, {{QStringLiteral("UUID"), {}, QStringLiteral("YmluYmluYmluYmluYmluYg=="), {}}}};
    bin.children.append(top.children.takeAt(3 + 3)); // page 4, deleted elsewhere
    top.children.append(bin);
    database.document.child(QStringLiteral("Meta"))->append(QStringLiteral("RecycleBinUUID"), bin.children.at(0).text);
    top.children.append(pageGroup(database, 0)); // a copy of page 1 after it
    const VaultPagesRead read = VaultPages::read(database);
    QVERIFY(read.pages[3] == VaultPage{});
    QVERIFY(read.pages[0] == sampleVaultPages()[0]);
    QCOMPARE(read.notes, QStringList{QStringLiteral("The group \"Page 1\" is a second one of page 1 and is not shown")});
    VaultPages::write(database, sampleVaultPages(), Now);
    QCOMPARE(top.children.at(top.children.size() - 3), bin); // the bin as it was, before the copy
    QCOMPARE(top.children.last().child(QStringLiteral("Name"))->text, QStringLiteral("Page 4"));
    QVERIFY(VaultPages::read(database).pages == sampleVaultPages());
}

void tst_Kdbx::badFilesAreRefused_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    const QString right = Password;
    const auto cut = [](qsizetype size) { return [=](QByteArray file) { return file.first(size); }; };
    const auto setUInt32 = [](qsizetype at, quint32 value) {
        return [=](QByteArray file) {
            qToLittleEndian(value, file.data() + at);
            return file;
        };
    };
    const Damage none = [](QByteArray file) { return file; };
    QTest::newRow("empty") << Damage(cut(0)) << right << "cut short";
    QTest::newRow("wrong magic") << changeByte(0, 'K') << right << "not a vault file";
    QTest::newRow("KDBX 3.1") << Damage(setUInt32(8, 0x00030001)) << right << "older KDBX 3";
    QTest::newRow("version 4.2") << Damage(setUInt32(8, 0x00040002)) << right << "unknown version 4.2";
    QTest::newRow("huge header field") << Damage(setUInt32(13, 0x7FFFFFF0)) << right << "field 2 is too long";
    QTest::newRow("KDBX 3 field") << changeByte(12, 5) << right << "KDBX 3 field 5";
    QTest::newRow("unknown cipher") << changeByte(17, 0) << right << "cipher is unknown";
    QTest::newRow("damaged seed") << flipByte(50) << right << "header is damaged";
    QTest::newRow("wrong password") << none << "Gruen 7" << "wrong password or damaged header";
    QTest::newRow("unknown KDF") << setKdfBytes("$UUID", QByteArray(16, 'x')) << right << "key derivation 7878";
    QTest::newRow("5 GiB") << setKdf("M", VariantDictionary::UInt64, quint64(5) << 30) << right << "5120 MiB";
    QTest::newRow("odd memory") << setKdf("M", VariantDictionary::UInt64, 1000) << right << "1000 bytes";
    QTest::newRow("no iterations") << setKdf("I", VariantDictionary::UInt64, 0) << right << "0 iterations";
    QTest::newRow("no lanes") << setKdf("P", VariantDictionary::UInt32, 0) << right << "parallelism of 0";
    QTest::newRow("65 lanes") << setKdf("P", VariantDictionary::UInt32, 65) << right << "parallelism of 65";
    QTest::newRow("short salt") << setKdfBytes("S", "1234567") << right << "salt has 7 bytes";
    QTest::newRow("Argon2 1.0") << setKdf("V", VariantDictionary::UInt32, 0x10) << right << "not 0x13";
    QTest::newRow("M as UInt32") << setKdf("M", VariantDictionary::UInt32, 1 << 20) << right << "M is missing";
    const auto inBlock = [](qsizetype at, const std::function<Damage(qsizetype)> &damage) {
        return Damage([=](QByteArray file) { return damage(firstBlock(file) + at)(file); });
    };
    QTest::newRow("damaged block") << inBlock(50, [](qsizetype at) { return changeByte(at, 0); })
                                   << right << "block 0 of the vault file is damaged";
    QTest::newRow("huge block") << inBlock(32, [=](qsizetype at) { return Damage(setUInt32(at, 0x7FFFFFFF)); })
                                << right << "block 0 of the vault file has an impossible length";
    QTest::newRow("no end block") << Damage([](QByteArray file) { return file.first(file.size() - 36); }) << right
                                  << "cut short";
    QTest::newRow("damaged end block") << changeByte(-5, 1) << right << "block 1 of the vault file is damaged";
}

void tst_Kdbx::badFilesAreRefused()
{
    QFETCH(Damage, damage);
    QFETCH(QString, password);
    QFETCH(QString, message);
    static const QByteArray file = vaultFile(sampleVaultPages());
    try {
        KdbxFile::read(damage(file), password);
        QFAIL("the file was read");
    } catch (const KladdoError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
}

void tst_Kdbx::inspectSeesTheHeaderOnly_data()
{
    QTest::addColumn<KdbxWriteOptions::Cipher>("cipher");
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("found"); // the cipher, or what is wrong
    const Damage none = [](QByteArray file) { return file; };
    const auto aes = KdbxWriteOptions::Cipher::Aes256;
    QTest::newRow("AES") << aes << none << "AES-256";
    QTest::newRow("ChaCha20") << KdbxWriteOptions::Cipher::ChaCha20 << none << "ChaCha20";
    QTest::newRow("damaged block, unseen") << aes << changeByte(-5, 1) << "AES-256";
    QTest::newRow("damaged seed") << aes << flipByte(50) << "header is damaged";
    QTest::newRow("unknown cipher") << aes << changeByte(17, 0) << "cipher is unknown";
    QTest::newRow("no iterations") << aes << setKdf("I", VariantDictionary::UInt64, 0) << "0 iterations";
    QTest::newRow("unknown KDF") << aes << setKdfBytes("$UUID", QByteArray(16, 'x')) << "key derivation 7878";
}

void tst_Kdbx::inspectSeesTheHeaderOnly()
{
    QFETCH(KdbxWriteOptions::Cipher, cipher);
    QFETCH(Damage, damage);
    QFETCH(QString, found);
    const QByteArray file = damage(vaultFile(sampleVaultPages(), {cipher, true}));
    try {
        const KdbxFile::Header header = KdbxFile::inspect(file);
        QCOMPARE(header.cipher, found);
        QVERIFY2(header.derivation.startsWith(u"Argon2id, "), qPrintable(header.derivation));
    } catch (const KladdoError &error) {
        QVERIFY2(error.message().contains(found), qPrintable(error.message()));
    }
}

void tst_Kdbx::badDocumentsAreRefused_data()
{
    QTest::addColumn<XmlNode>("document");
    QTest::addColumn<QString>("message");
    const XmlNode valid = VaultPages::create({}, Now).document;
    XmlNode noRoot = valid;
    noRoot.children.removeLast();
    XmlNode twoGroups = valid;
    twoGroups.children.last().children.append(twoGroups.children.last().children.first());
    XmlNode deep = valid;
    XmlNode *inner = &deep;
    for (int level = 0; level < 130; ++level)
        inner = &inner->append(QStringLiteral("Group"));
    XmlNode other = valid;
    other.name = QStringLiteral("Other");
    XmlNode malformed = valid;
    malformed.append(QStringLiteral("two words")); // written as it stands, it is no XML
    QTest::newRow("no Root") << noRoot << "has no Root";
    QTest::newRow("two top groups") << twoGroups << "2 top groups";
    QTest::newRow("too deep") << deep << "nest more than 128 deep";
    QTest::newRow("other document") << other << "not a KeePass file";
    QTest::newRow("malformed") << malformed << "XML is damaged: line";
}

void tst_Kdbx::badDocumentsAreRefused()
{
    QFETCH(XmlNode, document);
    QFETCH(QString, message);
    const QByteArray file = KdbxFile::write(documentOf(document), fastVaultKey(Password));
    try {
        KdbxFile::read(file, Password);
        QFAIL("the document was read");
    } catch (const KladdoError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
}

void tst_Kdbx::gzipBombIsRefused()
{
    const QByteArray bomb = Gzip::compress(QByteArray(3 << 20, 'x'));
    QCOMPARE(Gzip::decompress(bomb, 3 << 20).size(), 3 << 20);
    QVERIFY_THROWS_EXCEPTION(KladdoError, Gzip::decompress(bomb, (3 << 20) - 1));
    QVERIFY_THROWS_EXCEPTION(KladdoError, Gzip::decompress(bomb.first(bomb.size() - 9), 3 << 20));
}

void tst_Kdbx::controlCharactersDoNotBreakTheFile()
{
    VaultPageSet pages;
    pages[4][7] = {QStringLiteral("a\x01" "b\U0001F600"), QStringLiteral("\x1Fn"), QStringLiteral("p\x02w")};
    const VaultPagesRead read = VaultPages::read(KdbxFile::read(vaultFile(pages), Password).database);
    // Protected, the password keeps them.
    const VaultRow expected{QStringLiteral("ab\U0001F600"), QStringLiteral("n"), QStringLiteral("p\x02w")};
    QCOMPARE(read.pages[4][7], expected);
}

// Made by kladdo-data on Linux, then saved by keepassxc-cli 2.7.4 adding
// an entry to page 1: read the same on every platform.
void tst_Kdbx::fileSavedByKeePassXCReads()
{
    const QByteArray file = readFile(QStringLiteral(TEST_DATA_DIR "/kdbx/saved-by-keepassxc.kdbx"));
    const VaultPage page = VaultPages::read(KdbxFile::read(file, QStringLiteral("kladdo")).database).pages[0];
    QCOMPARE(page[0],
             (VaultRow{QStringLiteral("Bank \u00e4"), QStringLiteral("alice"), QStringLiteral("s3cret \u00df")}));
    QCOMPARE(page[1], (VaultRow{QStringLiteral("Neu \u00fc"), QStringLiteral("nutzer"), QStringLiteral("neues pw")}));
}

QTEST_GUILESS_MAIN(tst_Kdbx)
#include "tst_Kdbx.moc"
