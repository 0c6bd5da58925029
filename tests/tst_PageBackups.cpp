#include "platform/PageBackups.h"
#include "platform/RecoveryFile.h"
#include "platform/RunningCopy.h"

#include "support/FaultConditions.h"
#include "support/KladdoDataRun.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestPageBackups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString page() const { return m_dir->filePath("note3.rtf"); }

    // note3.rtf followed by its generations 1, 2, 3.
    QByteArrayList versions() const
    {
        QByteArrayList found{readFile(page())};
        for (int generation = 1; generation <= PageBackups::kGenerations; ++generation)
            found << readFile(PageBackups::pathFor(page(), generation));
        return found;
    }

    // Three generations of note3.rtf and one of pass0.dat, all saved at one
    // time, in the computer's folder; an empty computer lays them as
    // versions without computer names did.
    bool layBackups(const QString &computer = "desk") const
    {
        const QString folder = computer.isEmpty() ? "backup/" : "backup/" + computer + '/';
        const std::pair<QString, const char *> files[] = {
            {"note3.rtf", "now"}, {folder + "note3.rtf.1", "one"}, {folder + "note3.rtf.2", "two!"},
            {folder + "note3.rtf.3", "three"}, {folder + "pass0.dat.1", "p"}};
        QDir(m_dir->path()).mkpath(folder);
        for (const auto &[name, bytes] : files) {
            QFile file(m_dir->filePath(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) <= 0 || !file.flush()
                || !file.setFileTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), QFileDevice::FileModificationTime))
                return false;
        }
        return true;
    }

    KladdoDataRun backups(const char *verb, const QStringList &args = {}) const
    {
        return KladdoDataRun::run(QStringList{"backups", verb, m_dir->path()} + args);
    }

    QString ownFolder() const { return QFileInfo(PageBackups::pathFor(page(), 1)).path(); }

private slots:
    void init()
    {
        qputenv("KLADDO_COMPUTER", "desk");
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void rotation_data()
    {
        QTest::addColumn<QByteArrayList>("saves"); // the first is the file already there
        QTest::addColumn<bool>("folderBlocked");
        QTest::addColumn<int>("sizeLimit"); // the last save is tried three times past it
        QTest::addColumn<QByteArrayList>("versions");

        QTest::newRow("no file yet") << QByteArrayList{{}, "a"} << false << 0 << QByteArrayList{"a", {}, {}, {}};
        QTest::newRow("first save") << QByteArrayList{"a", "b"} << false << 0 << QByteArrayList{"b", "a", {}, {}};
        QTest::newRow("fourth save drops the oldest")
            << QByteArrayList{"a", "b", "c", "d", "e"} << false << 0 << QByteArrayList{"e", "d", "c", "b"};
        QTest::newRow("unchanged content") << QByteArrayList{"a", "b", "b"} << false << 0
                                           << QByteArrayList{"b", "a", {}, {}};
        QTest::newRow("same size, other content") << QByteArrayList{"ab", "ba"} << false << 0
                                                  << QByteArrayList{"ba", "ab", {}, {}};
        QTest::newRow("backup folder cannot be made") << QByteArrayList{"a", "b"} << true << 0
                                                      << QByteArrayList{"b", {}, {}, {}};
        // Retries on a full disk must not push the older versions out.
        QTest::newRow("full disk") << QByteArrayList{"a", "b", QByteArray(200, 'c')} << false << 100
                                   << QByteArrayList{"b", "a", {}, {}};
    }

    void rotation()
    {
        QFETCH(QByteArrayList, saves);
        QFETCH(bool, folderBlocked);
        QFETCH(int, sizeLimit);
        QFETCH(QByteArrayList, versions);
        if (sizeLimit)
            SKIP_UNLESS_AVAILABLE(FileSizeLimit);
        if (!saves.first().isEmpty())
            QVERIFY(writeFile(page(), saves.first()));
        if (folderBlocked) {
            QVERIFY(writeFile(m_dir->filePath("backup"), "a file where the folder belongs"));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No backup kept: the folder .*backup cannot be made"));
        }
        for (const QByteArray &bytes : saves.mid(1, saves.size() - (sizeLimit ? 2 : 1)))
            QVERIFY(PageBackups::writePage(page(), bytes).ok);
        if (sizeLimit) {
            const FileSizeLimit limit(sizeLimit);
            for (int attempt = 0; attempt < 3; ++attempt)
                QVERIFY(!PageBackups::writePage(page(), saves.last()).ok);
        }
        QCOMPARE(this->versions(), versions);
        if (!folderBlocked) // nothing else left behind
            QCOMPARE(QDir(ownFolder()).entryList(QDir::Files).size(),
                     versions.size() - versions.count(QByteArray()) - 1);
    }

    void listShowsEveryGeneration()
    {
        QVERIFY(layBackups());
        const KladdoDataRun r = backups("list");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out), "note3.rtf  1  2026-01-02 03:04:05  3 bytes\n"
                                           "note3.rtf  2  2026-01-02 03:04:05  4 bytes\n"
                                           "note3.rtf  3  2026-01-02 03:04:05  5 bytes\n"
                                           "pass0.dat  1  2026-01-02 03:04:05  1 bytes\n");
    }

    // Generations an earlier version kept in backup/ itself are this
    // computer's: listed, restored and rotated as its own, none lost.
    void olderLayoutIsTakenUp()
    {
        QVERIFY(layBackups(""));
        const QByteArray listed = backups("list").out;
        QVERIFY(layBackups());
        QCOMPARE(listed, backups("list").out);
        QVERIFY(QDir(ownFolder()).removeRecursively());
        QCOMPARE(backups("restore", {"note", "3", "3"}).exitCode, 0);
        QCOMPARE(versions(), (QByteArrayList{"three", "now", "one", "two!"}));
        QVERIFY(PageBackups::writePage(m_dir->filePath("pass0.dat"), "q").ok);
        QCOMPARE(readFile(PageBackups::pathFor(m_dir->filePath("pass0.dat"), 1)), "p");
        QCOMPARE(QDir(m_dir->filePath("backup")).entryList(QDir::Files), QStringList());
    }

    // Two computers sharing the folder each rotate their own generations.
    void computersKeepTheirOwn()
    {
        QVERIFY(writeFile(page(), "a"));
        for (const auto &[computer, bytes] : {std::pair{"desk", "b"}, {"laptop", "c"}, {"desk", "d"}}) {
            qputenv("KLADDO_COMPUTER", computer);
            QVERIFY(PageBackups::writePage(page(), bytes).ok);
        }
        QCOMPARE(versions(), (QByteArrayList{"d", "c", "a", {}}));
        QCOMPARE(readFile(PageBackups::pathFor(page(), 1, "laptop")), "b");
        QVERIFY(!QFileInfo::exists(PageBackups::pathFor(page(), 2, "laptop")));
        QVERIFY(backups("list").out.endsWith("  1 bytes\nnot listed, kept by other computers: backup/laptop\n"));
    }

    // check says what the program will do with each recovery file, list
    // shows them among the generations, extract gives the page they hold.
    void recoveryFilesReportedAndExtracted()
    {
        QVERIFY(layBackups());
        const QByteArray record(10752, '\0');
        QVERIFY(RecoveryFile::write(page(), "{\\rtf1 typed}", RecoveryFile::stampOf("now")).ok);
        QVERIFY(writeFile(m_dir->filePath("backup/note5.rtf.unsaved"), "KLADDO RECOVERY 1\nbase none\n"));
        QVERIFY(RecoveryFile::write(m_dir->filePath("pass0.dat"), record, {}).ok);
        const QString kept = RecoveryFile::keepAside(RecoveryFile::examine(m_dir->filePath("pass0.dat"))).path;
        // Another computer's, and one of the older layout behind this computer's.
        qputenv("KLADDO_COMPUTER", "laptop-1a2b3c");
        QVERIFY(RecoveryFile::write(m_dir->filePath("note0.rtf"), "{\\rtf1 elsewhere}", {}).ok);
        qputenv("KLADDO_COMPUTER", "desk");
        QVERIFY(writeFile(RecoveryFile::pathFor(page(), {}), RecoveryFile::encode("{\\rtf1 old}", {})));

        const KladdoDataRun check = KladdoDataRun::run({"check", m_dir->path()});
        QCOMPARE(check.exitCode, 1);
        const QStringList lines = QString::fromUtf8(check.out).split('\n');
        QCOMPARE(lines.filter("backup/").size(), 5);
        const QString changes = ": unsaved changes of %1 from \\S+ \\S+, ";
        const QString told[] = {
            "^backup/desk/note3.rtf.unsaved" + changes.arg("note3.rtf") + "shown when Kladdo next shows the page$",
            "^backup/note3.rtf.unsaved" + changes.arg("note3.rtf") + "left by an earlier version; taken up once",
            "^backup/note5.rtf.unsaved: damaged: its heading is damaged$",
            "^backup/desk/pass0.dat.unsaved-\\d{8}-\\d{6}" + changes.arg("pass0.dat") + "kept aside$",
            "^backup/laptop-1a2b3c/note0.rtf.unsaved" + changes.arg("note0.rtf")
                + "made on laptop-1a2b3c; not loaded on this computer$"};
        for (const QString &line : told)
            QVERIFY2(lines.filter(QRegularExpression(line)).size() == 1, qPrintable(line + '\n' + check.out));

        const QStringList listed = QString::fromUtf8(backups("list").out).split('\n');
        QCOMPARE(listed.filter(QRegularExpression("^note3.rtf  unsaved  \\S+ \\S+  \\d+ bytes$")).size(), 2);
        QCOMPARE(listed.filter(QRegularExpression("^pass0.dat  unsaved-\\d{8}-\\d{6}  ")).size(), 1);
        QCOMPARE(listed.filter("note0.rtf").size(), 0);

        const QString out = m_dir->filePath("out.dat");
        QCOMPARE(KladdoDataRun::run({"backups", "extract", kept, out}).exitCode, 0);
        QCOMPARE(readFile(out), record);
        const QString laptops = m_dir->filePath("backup/laptop-1a2b3c/note0.rtf.unsaved");
        QCOMPARE(KladdoDataRun::run({"backups", "extract", laptops, out}).exitCode, 0);
        QCOMPARE(readFile(out), "{\\rtf1 elsewhere}");
        const KladdoDataRun damaged =
            KladdoDataRun::run({"backups", "extract", m_dir->filePath("backup/note5.rtf.unsaved"), out});
        QCOMPARE(damaged.exitCode, 1);
        QVERIFY2(damaged.err.contains("is damaged: its heading is damaged"), qPrintable(damaged.err));
        QCOMPARE(KladdoDataRun::run({"backups", "extract", m_dir->filePath("backup/note3.rtf.1"), out}).exitCode, 1);
    }

    // A restored page's replaced version becomes generation 1 and the ones
    // before the restored generation move up into its place: no version is
    // lost. Whatever is refused changes nothing.
    void restore_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("times");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArrayList>("versions");
        const QByteArrayList laid{"now", "one", "two!", "three"};
        QTest::newRow("generation 1 by default") << QStringList{"note", "3"} << 1 << false << 0 << ""
                                                 << QByteArrayList{"one", "now", "two!", "three"};
        QTest::newRow("generation 1 twice is undone") << QStringList{"note", "3", "1"} << 2 << false << 0 << "" << laid;
        QTest::newRow("generation 3") << QStringList{"note", "3", "3"} << 1 << false << 0 << ""
                                      << QByteArrayList{"three", "now", "one", "two!"};
        QTest::newRow("missing backup") << QStringList{"pass", "0", "2"} << 1 << false << 1
                                        << "there is no backup " << laid;
        QTest::newRow("while Kladdo runs") << QStringList{"note", "3"} << 1 << true << 1 << "Kladdo is running on "
                                           << laid;
        QTest::newRow("unknown kind") << QStringList{"notes", "3"} << 1 << false << 2
                                      << "the kind of page must be note or pass" << laid;
        QTest::newRow("generation 0") << QStringList{"note", "3", "0"} << 1 << false << 2
                                      << "GENERATION must be 1-3" << laid;
        QTest::newRow("generation 4") << QStringList{"pass", "3", "4"} << 1 << false << 2
                                      << "GENERATION must be 1-3" << laid;
    }

    void restore()
    {
        QFETCH(QStringList, args);
        QFETCH(int, times);
        QFETCH(bool, locked);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QByteArrayList, versions);
        QVERIFY(layBackups());
        QLockFile lock(RunningCopy::lockFilePath(m_dir->path()));
        QVERIFY(!locked || lock.tryLock(0));
        for (int run = 0; run < times; ++run) {
            const KladdoDataRun r = backups("restore", args);
            QVERIFY2(r.exitCode == exitCode, qPrintable(QString::number(r.exitCode) + ": " + r.err));
            QVERIFY2(message.isEmpty() ? !r.err.contains("kladdo-data:") : r.err.contains("kladdo-data: " + message),
                     qPrintable(r.err));
        }
        QCOMPARE(this->versions(), versions);
    }
};

QTEST_MAIN(TestPageBackups)
#include "tst_PageBackups.moc"
