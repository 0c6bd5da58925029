#include "passwords/PassPageFile.h"
#include "platform/RecoveryFile.h"
#include "support/KladdoDataRun.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray kHeader = "text,name,password\r\n";
const QStringList kTinyKdf = {"--memory", "1", "--iterations", "1"};

// Cells long and odd enough that finding one in a file's bytes is no accident.
QByteArray pageCsv(const QByteArray &tag)
{
    QByteArray csv = kHeader;
    for (int row = 1; row <= 3; ++row) {
        const QByteArray n = tag + QByteArray::number(row);
        csv += "Konto-" + n + ",Nutzer-" + n + ",Kennwort-" + n + "\r\n";
    }
    return csv + QByteArray(",,\r\n").repeated(11);
}

using Files = QMap<QString, QByteArray>;

} // namespace

class TestKladdoDataVault : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString data() const { return m_dir->filePath(QStringLiteral("data")); }
    QString vault() const { return data() + QStringLiteral("/passwords.kdbx"); }
    QString page(int number) const { return PassPageFile::pathFor(data(), number); }

    // Every file under DATA/, by its path inside it.
    Files files() const
    {
        Files found;
        for (QDirIterator it(data(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            found.insert(QDir(data()).relativeFilePath(path), readFile(path));
        }
        return found;
    }

    KladdoDataRun vaultRun(const QStringList &args, const QByteArray &input = "Gr\xc3\xbcn 7\n") const
    {
        return KladdoDataRun::run(QStringList{"vault"} + args, input);
    }

    void importPage(int number, const QByteArray &csv) const
    {
        const QString path = m_dir->filePath(QStringLiteral("in.csv"));
        QVERIFY(writeFile(path, csv));
        QCOMPARE(KladdoDataRun::run({"passwords", "import", data(), QString::number(number), path}).exitCode, 0);
    }

    // Pages 2 and 7 under the vault, page 7 saved twice so that a backup
    // of it is kept.
    KladdoDataRun createVault(const QStringList &extra = {})
    {
        importPage(7, pageCsv("alt"));
        importPage(7, pageCsv("sieben"));
        importPage(2, pageCsv("zwei"));
        return vaultRun(QStringList{"create", data(), "--password-stdin"} + kTinyKdf + extra);
    }

    QByteArray exported(int number, const QByteArray &password = "Gr\xc3\xbcn 7\n") const
    {
        const KladdoDataRun run = vaultRun({"export", data(), QString::number(number), "--password-stdin"}, password);
        return run.exitCode == 0 ? run.out : QByteArray("failed: ") + run.err.toUtf8();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir().mkdir(data()));
    }

    void createMovesThePagesIntoTheVault()
    {
        const KladdoDataRun created = createVault();
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
        QCOMPARE(exported(7), pageCsv("sieben"));
        QCOMPARE(exported(2), pageCsv("zwei"));
        QCOMPARE(exported(0), kHeader + QByteArray(",,\r\n").repeated(14));
        QVERIFY(!QFile::exists(page(7)) && !QFile::exists(page(2)));
        const KladdoDataRun check = vaultRun({"check", data(), "--password-stdin"});
        QCOMPARE(check.exitCode, 0);
        QVERIFY(check.out.contains("page 7: 3 rows\n") && check.out.contains("page 0: 0 rows\n"));
        // Without --drop-old-backups the backup of page 7 stays, and the user is told.
        QVERIFY2(created.out.contains("1 backups and recovery files of the pass files remain"), created.out.constData());
        QVERIFY(files().firstKey().endsWith(u"/pass7.dat.1"));
        QCOMPARE(vaultRun({"create", data(), "--password-stdin"}).exitCode, 1); // there is one already
        const KladdoDataRun dropped = KladdoDataRun::run({"vault", "drop-old-backups", data()});
        QCOMPARE(dropped.exitCode, 0);
        QCOMPARE(files().keys(), QStringList{"passwords.kdbx"});
    }

    void importAndPasswdKeepTheOtherPages()
    {
        QCOMPARE(createVault({"--drop-old-backups"}).exitCode, 0);
        const QString csv = m_dir->filePath(QStringLiteral("new.csv"));
        QVERIFY(writeFile(csv, pageCsv("neu")));
        QCOMPARE(vaultRun({"import", data(), "4", csv, "--password-stdin"}).exitCode, 0);
        QCOMPARE(exported(4), pageCsv("neu"));
        QCOMPARE(exported(7), pageCsv("sieben"));
        QVERIFY(files().firstKey().endsWith(u"/passwords.kdbx.1")); // the vault before the import

        const KladdoDataRun passwd =
            vaultRun(QStringList{"passwd", data(), "--password-stdin"} + kTinyKdf, "Gr\xc3\xbcn 7\nBlau 9\n");
        QCOMPARE(passwd.exitCode, 0);
        QVERIFY(exported(4).startsWith("failed: ") && exported(4).contains("wrong password"));
        QCOMPARE(exported(4, "Blau 9\n"), pageCsv("neu"));
        QCOMPARE(files().keys(), QStringList{"passwords.kdbx"}); // none left under the old password
    }

    void removeGivesThePassFilesBack()
    {
        importPage(7, pageCsv("sieben"));
        importPage(2, pageCsv("zwei"));
        const QByteArray before7 = readFile(page(7)), before2 = readFile(page(2));
        QCOMPARE(vaultRun(QStringList{"create", data(), "--password-stdin"} + kTinyKdf).exitCode, 0);

        const KladdoDataRun unconfirmed = vaultRun({"remove", data(), "--password-stdin"});
        QCOMPARE(unconfirmed.exitCode, 1);
        QVERIFY(unconfirmed.err.contains("anyone who has the files can read"));
        QVERIFY(QFile::exists(vault()));

        QCOMPARE(vaultRun({"remove", data(), "--password-stdin", "--yes"}).exitCode, 0);
        QCOMPARE(readFile(page(7)), before7);
        QCOMPARE(readFile(page(2)), before2);
        QVERIFY(!QFile::exists(vault()));
        QCOMPARE(KladdoDataRun::run({"passwords", "export", data(), "7"}).out, pageCsv("sieben"));
    }

    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QStringList>("args"); // DATA stands for the folder
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<qsizetype>("damageAt"); // from the end; 0 for none
        QTest::addColumn<QString>("error");      // on stderr, or for check on stdout
        const QByteArray right = "Gr\xc3\xbcn 7\n";
        const QStringList exportPage{"vault", "export", "DATA", "7", "--password-stdin"};
        const QStringList importPage{"vault", "import", "DATA", "7", "CSV", "--password-stdin"};
        QTest::newRow("wrong password") << exportPage << QByteArray("Gruen 7\n") << qsizetype(0)
                                        << "wrong password or damaged header; nothing was changed";
        QTest::newRow("import, wrong password") << importPage << QByteArray("x\n") << qsizetype(0) << "wrong password";
        QTest::newRow("no password") << exportPage << QByteArray() << qsizetype(0) << "standard input ended";
        QTest::newRow("damaged block") << exportPage << right << qsizetype(50)
                                       << "block 0 of the vault file is damaged; nothing was changed";
        QTest::newRow("passwd, damaged") << QStringList{"vault", "passwd", "DATA", "--password-stdin"}
                                         << right + "neu\n" << qsizetype(50) << "block 0";
        QTest::newRow("passwords export") << QStringList{"passwords", "export", "DATA", "7"} << QByteArray()
                                          << qsizetype(0) << "use kladdo-data vault export";
        QTest::newRow("passwords import") << QStringList{"passwords", "import", "DATA", "7", "x.csv"}
                                          << QByteArray() << qsizetype(0) << "use kladdo-data vault import";
        QTest::newRow("check, sound") << QStringList{"check", "DATA"} << QByteArray() << qsizetype(0)
                                      << "passwords.kdbx: ok as far as can be told without the password";
        QTest::newRow("check, damaged header") << QStringList{"check", "DATA"} << QByteArray() << qsizetype(-50)
                                               << "passwords.kdbx: damaged: the vault file's header is damaged";
    }

    void refusalsChangeNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(qsizetype, damageAt);
        QFETCH(QString, error);
        importPage(7, pageCsv("sieben"));
        QCOMPARE(vaultRun(QStringList{"create", data(), "--password-stdin"} + kTinyKdf).exitCode, 0);
        QByteArray bytes = readFile(vault());
        if (damageAt != 0) {
            // Into the last block's data from the end, into the header from the start.
            const qsizetype at = damageAt > 0 ? bytes.size() - 40 - damageAt : 50;
            bytes[at] = char(bytes[at] ^ 0x55);
            QVERIFY(writeFile(vault(), bytes));
        }
        const Files before = files();
        args.replaceInStrings(QStringLiteral("DATA"), data());
        args.replaceInStrings(QStringLiteral("CSV"), m_dir->filePath(QStringLiteral("in.csv")));
        const KladdoDataRun run = KladdoDataRun::run(args, input);
        const bool checkIsSound = args[0] == u"check" && damageAt == 0;
        QCOMPARE(run.exitCode, checkIsSound ? 0 : 1);
        QVERIFY2((run.err + QString::fromUtf8(run.out)).contains(error), qPrintable(run.err));
        QCOMPARE(files(), before);
    }

    // What someone who takes a copy of the folder finds after create
    // --drop-old-backups: nothing of the pages, in no file, and no pass
    // file. Their bytes are overwritten before they go.
    void nothingIsLeftInTheWeakForm()
    {
        importPage(7, pageCsv("alt"));
        importPage(7, pageCsv("sieben"));
        QVERIFY(QDir(data()).mkpath("backup/anderer-pc"));
        QVERIFY(QFile::copy(page(7), data() + "/backup/pass7.dat.2")); // the older layout
        const QByteArray pageBytes = readFile(page(7));
        QVERIFY(RecoveryFile::write(page(7), pageBytes, RecoveryFile::stampOf(pageBytes)).ok);
        QVERIFY(writeFile(data() + "/backup/anderer-pc/pass7.dat.unsaved", RecoveryFile::encode(pageBytes, {})));
        QVERIFY(writeFile(data() + "/backup/anderer-pc/pass7.dat.1", pageBytes));
        QVERIFY(writeFile(data() + "/pass7.sync-conflict-20261209-154840-T4RZMUF.dat", pageBytes));
        // Where a file that is open can be removed, the handle shows what
        // its bytes became; Windows refuses to remove it.
        QFile open(page(7));
        const bool watchBytes = QSysInfo::productType() != u"windows";
        QVERIFY(!watchBytes || open.open(QIODevice::ReadOnly));
        QCOMPARE(files().size(), 7);

        const KladdoDataRun created =
            vaultRun(QStringList{"create", data(), "--password-stdin", "--drop-old-backups"} + kTinyKdf);
        QCOMPARE(created.exitCode, 0);
        QCOMPARE(files().keys(), QStringList{"passwords.kdbx"});
        if (watchBytes)
            QCOMPARE(open.readAll(), QByteArray(pageBytes.size(), '\0'));
        for (const QByteArray &bytes : files()) {
            for (const QByteArray tag : {"alt", "sieben"}) {
                for (const char *column : {"Konto-", "Nutzer-", "Kennwort-"})
                    QVERIFY(!bytes.contains(column + tag));
            }
        }
        QCOMPARE(exported(7), pageCsv("sieben"));
    }

    void wrongCalls_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no action") << QStringList{"vault"};
        QTest::newRow("unknown action") << QStringList{"vault", "open", "/tmp"};
        QTest::newRow("password as argument") << QStringList{"vault", "create", "/tmp", "--password", "x"};
        QTest::newRow("memory alone") << QStringList{"vault", "create", "/tmp", "--memory", "64"};
        QTest::newRow("iterations zero") << QStringList{"vault", "create", "/tmp", "--memory", "1", "--iterations", "0"};
        QTest::newRow("check with --yes") << QStringList{"vault", "check", "/tmp", "--yes"};
        QTest::newRow("export without page") << QStringList{"vault", "export", "/tmp"};
        QTest::newRow("page 10") << QStringList{"vault", "export", "/tmp", "10"};
    }

    void wrongCalls()
    {
        QFETCH(QStringList, args);
        const KladdoDataRun run = KladdoDataRun::run(args, QByteArray());
        QVERIFY2(run.isWrongCall(), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestKladdoDataVault)
#include "tst_KladdoDataVault.moc"
