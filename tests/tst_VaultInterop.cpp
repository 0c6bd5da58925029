// The vault against the real KeePassXC command line: each side opens what
// the other wrote, and what KeePassXC adds survives Kladdo's save.
#include "support/TestFiles.h"
#include "support/VaultSamples.h"

#include "platform/KladdoError.h"

#include <QProcess>
#include <QtEndian>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Password = QStringLiteral("Gr\u00fcn 7");

struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

// keepassxc-cli reads the database password, and any other, from standard input.
CliResult keepassxc(const QStringList &arguments, const QStringList &input = {Password})
{
    QProcess process;
    process.start(QStringLiteral("keepassxc-cli"), arguments);
    process.write((input.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(process.readAllStandardError())};
}

VaultPageSet fewRows()
{
    VaultPageSet pages;
    pages[0][0] = {QStringLiteral("Bank \u00e4"), QStringLiteral("anna"), QStringLiteral("pw<1>&\u00df")};
    pages[0][2] = {QStringLiteral("Mail"), QStringLiteral("a@b"), QStringLiteral("zwei")};
    pages[9][13] = {QStringLiteral("Letzte"), {}, QStringLiteral("drei")};
    return pages;
}

void writeVault(const QString &path, const VaultPageSet &pages)
{
    const KdbxDatabase database = VaultPages::create(pages, QDateTime::currentDateTimeUtc());
    QVERIFY(writeFile(path, KdbxFile::write(database, fastVaultKey(Password))));
}

// The key derivations Kladdo reads but does not write, cheaply.
KdbxKey otherKdfKey(bool aesKdf)
{
    VariantDictionary kdf;
    kdf.setBytes(QStringLiteral("S"), QByteArray(32, '\x5A'));
    if (aesKdf) {
        kdf.setBytes(QStringLiteral("$UUID"), QByteArray::fromHex("c9d9f39a628a4460bf740d08c18a4fea"));
        kdf.setUnsigned(QStringLiteral("R"), VariantDictionary::UInt64, 1000);
        return KdbxKey::derive(Password, kdf);
    }
    kdf.setBytes(QStringLiteral("$UUID"), QByteArray::fromHex("ef636ddf8c29444b91f7a9a403e30a0c"));
    kdf.setUnsigned(QStringLiteral("M"), VariantDictionary::UInt64, 1 << 20);
    kdf.setUnsigned(QStringLiteral("I"), VariantDictionary::UInt64, 2);
    kdf.setUnsigned(QStringLiteral("P"), VariantDictionary::UInt32, 2);
    kdf.setUnsigned(QStringLiteral("V"), VariantDictionary::UInt32, 0x13);
    return KdbxKey::derive(Password, kdf);
}

quint32 versionOf(const QByteArray &file)
{
    return file.size() < 12 ? 0 : qFromLittleEndian<quint32>(file.constData() + 8);
}

} // namespace

class tst_VaultInterop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void kladdoVaultOpensInKeePassXC();
    void otherKdfsAndCipherOpenInKeePassXC_data();
    void otherKdfsAndCipherOpenInKeePassXC();
    void keePassXCImportIsRefusedAsKdbx3();
    void entryAddedByKeePassXCSurvivesSave();

private:
    QTemporaryDir m_folder;
};

void tst_VaultInterop::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("keepassxc-cli")).isEmpty())
        QSKIP("keepassxc-cli is not installed");
    QVERIFY(m_folder.isValid());
}

void tst_VaultInterop::kladdoVaultOpensInKeePassXC()
{
    const QString path = m_folder.filePath(QStringLiteral("kladdo.kdbx"));
    writeVault(path, fewRows());
    const CliResult list = keepassxc({QStringLiteral("ls"), QStringLiteral("-R"), QStringLiteral("-f"), path});
    QVERIFY2(list.exitCode == 0, qPrintable(list.err));
    for (const char *entry : {"Page 1/Bank \u00e4", "Page 1/Mail", "Page 10/Letzte"})
        QVERIFY2(list.out.contains(QString::fromUtf8(entry)), qPrintable(list.out));
    const CliResult show = keepassxc({QStringLiteral("show"), QStringLiteral("-s"), QStringLiteral("-a"),
                                      QStringLiteral("Password"), path, QStringLiteral("Page 1/Bank \u00e4")});
    QVERIFY2(show.exitCode == 0, qPrintable(show.err));
    QCOMPARE(show.out, QStringLiteral("pw<1>&\u00df"));
}

void tst_VaultInterop::otherKdfsAndCipherOpenInKeePassXC_data()
{
    QTest::addColumn<bool>("aesKdf");
    QTest::newRow("AES-KDF") << true;
    QTest::newRow("Argon2d") << false;
}

void tst_VaultInterop::otherKdfsAndCipherOpenInKeePassXC()
{
    QFETCH(bool, aesKdf);
    const QString path = m_folder.filePath(QStringLiteral("other.kdbx"));
    QVERIFY(writeFile(path, KdbxFile::write(VaultPages::create(fewRows(), QDateTime::currentDateTimeUtc()),
                                            otherKdfKey(aesKdf), {KdbxWriteOptions::Cipher::ChaCha20, false})));
    const CliResult show = keepassxc({QStringLiteral("show"), QStringLiteral("-s"), QStringLiteral("-a"),
                                      QStringLiteral("Password"), path, QStringLiteral("Page 10/Letzte")});
    QVERIFY2(show.exitCode == 0, qPrintable(show.err));
    QCOMPARE(show.out, QStringLiteral("drei"));
}

// KeePassXC's import (like its db-create) writes KDBX 3.1 with AES-KDF; its
// KDBX 4 files come from saving a KDBX 4 file, as in the test below.
void tst_VaultInterop::keePassXCImportIsRefusedAsKdbx3()
{
    const QString xml = m_folder.filePath(QStringLiteral("export.xml"));
    const QString path = m_folder.filePath(QStringLiteral("imported.kdbx"));
    QVERIFY(writeFile(xml, "<KeePassFile><Meta/><Root><Group><Name>K</Name></Group></Root></KeePassFile>"));
    const CliResult import = keepassxc({QStringLiteral("import"), QStringLiteral("-p"), QStringLiteral("-t"),
                                        QStringLiteral("100"), xml, path}, {Password, Password});
    QVERIFY2(import.exitCode == 0, qPrintable(import.err));
    try {
        KdbxFile::read(readFile(path), Password);
        QFAIL("the KDBX 3 file was read");
    } catch (const KladdoError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("older KDBX 3")), qPrintable(error.message()));
    }
}

void tst_VaultInterop::entryAddedByKeePassXCSurvivesSave()
{
    const QString path = m_folder.filePath(QStringLiteral("added.kdbx"));
    writeVault(path, fewRows());
    const QString entry = QStringLiteral("Page 1/Neu \u00fc");
    const CliResult add = keepassxc({QStringLiteral("add"), QStringLiteral("-u"), QStringLiteral("nutzer"),
                                     QStringLiteral("--url"), QStringLiteral("https://neu.example"),
                                     QStringLiteral("-p"), path, entry}, {Password, QStringLiteral("neues pw")});
    QVERIFY2(add.exitCode == 0, qPrintable(add.err));

    // KeePassXC wrote the whole file anew, as KDBX 4.0, with its own Meta.
    QCOMPARE(versionOf(readFile(path)), 0x00040000u);
    KdbxFile::Opened opened = KdbxFile::read(readFile(path), Password);
    QVERIFY(opened.database.document.child(QStringLiteral("Meta"))->children.size() > 10);
    VaultPageSet pages = VaultPages::read(opened.database).pages;
    const VaultRow added{QStringLiteral("Neu \u00fc"), QStringLiteral("nutzer"), QStringLiteral("neues pw")};
    QCOMPARE(pages[0][1], added);
    pages[0][0].password = QStringLiteral("ge\u00e4ndert");
    VaultPages::write(opened.database, pages, QDateTime::currentDateTimeUtc());
    QVERIFY(writeFile(path, KdbxFile::write(opened.database, opened.key)));

    const CliResult url = keepassxc({QStringLiteral("show"), QStringLiteral("-a"), QStringLiteral("URL"),
                                     QStringLiteral("-a"), QStringLiteral("Password"), QStringLiteral("-s"),
                                     path, entry});
    QVERIFY2(url.exitCode == 0, qPrintable(url.err));
    QCOMPARE(url.out.split(QLatin1Char('\n')),
             (QStringList{QStringLiteral("https://neu.example"), QStringLiteral("neues pw")}));
    const CliResult changed = keepassxc({QStringLiteral("show"), QStringLiteral("-s"), QStringLiteral("-a"),
                                         QStringLiteral("Password"), path, QStringLiteral("Page 1/Bank \u00e4")});
    QCOMPARE(changed.out, QStringLiteral("ge\u00e4ndert"));
    // Read once more, the new entry holds the row it was given.
    QCOMPARE(VaultPages::read(KdbxFile::read(readFile(path), Password).database).pages, pages);
}

QTEST_GUILESS_MAIN(tst_VaultInterop)
#include "tst_VaultInterop.moc"
