#include "sync/ConflictCopies.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "note3.rtf Syncthing", or "" for a name that is no conflict copy.
QString recognised(const QString &name)
{
    const std::optional<ConflictCopies::Copy> copy = ConflictCopies::recognise(name);
    return copy ? copy->of.name + u' ' + ConflictCopies::toolName(copy->tool) : QString();
}

} // namespace

class TestConflictCopies : public QObject
{
    Q_OBJECT

private slots:
    void recognise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(expected);
        };
        row("note3.sync-conflict-20261209-154840-T4RZMUF.rtf", "note3.rtf Syncthing");
        row("note.sync-conflict-20261209-154840-T4RZMUF.ini", "note.ini Syncthing");
        row("note3.sync-conflict-20261209-154840.rtf", "note3.rtf Syncthing");
        row("note3.sync-conflict-20261209-154840-T4RZMUF.sync-conflict-20261210-080000-ABCDEF2.rtf", "note3.rtf Syncthing");
        row("note3.sync-conflict-2026129-154840-T4RZMUF.rtf", "");
        row(".syncthing.note3.rtf.tmp", "");
        row("~syncthing~note3.rtf.tmp", "");
        row(".syncthing.note3.sync-conflict-20261209-154840-T4RZMUF.rtf.tmp", "");
        row("note3 (conflicted copy 2026-12-09 154840).rtf", "note3.rtf Nextcloud");
        row("pass7 (conflicted copy Anna 2026-12-09 154840).dat", "pass7.dat Nextcloud");
        row("note3_conflict-20261209-154840.rtf", "note3.rtf Nextcloud");
        row("note3 (Anna's conflicted copy 2026-12-09).rtf", "note3.rtf Dropbox");
        row("note3 (Anna\u2019s MacBook Pro's conflicted copy 2026-12-09 (1)).rtf", "note3.rtf Dropbox");
        row("note (Anna's conflicted copy 2026-12-09) (2).ini", "note.ini Dropbox");
        row("note3 (Anna's conflicted copy 09-12-2026).rtf", "");
        row("note3-LAPTOP.rtf", "note3.rtf OneDrive");
        row("pass2-LAPTOP-2.dat", "pass2.dat OneDrive");
        row("note-DESKTOP-7K2P.ini", "note.ini OneDrive");
        row("note3-.rtf", "");
        row("note3-2.rtf", "");
        row("note3-LAPTOP-.rtf", "");
        row("note3-LAP TOP.rtf", "");
        row("note-LAPTOP.rtf", "");
        row("note3-LAPTOP.dat", "");
        row("notes-backup.rtf", "");
        row("note3 (conflict 2026-12-09 15-48 laptop).rtf", "note3.rtf Kladdo");
        row("pass9 (conflict 2026-12-09 15-48).dat", "pass9.dat Kladdo");
        row("passwords.sync-conflict-20261209-154840-T4RZMUF.kdbx", "passwords.kdbx Syncthing");
        row("note3 (conflict 2026-12-09 15:48 laptop).rtf", "");
        row("note10.rtf", "");
        row("note3.rtf", "");
        row("note3.rtf.Ab12Cd", "");
        row("report.sync-conflict-20261209-154840-T4RZMUF.rtf", "");
    }

    void recognise()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(recognised(name), expected);
    }

    void ownName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "note3.rtf" << "laptop" << "note3 (conflict 2026-12-09 15-48 laptop).rtf";
        QTest::newRow("settings") << "note.ini" << "Büro-PC" << "note (conflict 2026-12-09 15-48 Büro-PC).ini";
        QTest::newRow("unsafe") << "pass2.dat" << " Anna's PC: (2)/x\\y*?"
                                << "pass2 (conflict 2026-12-09 15-48 Anna_s_PC___2__x_y__).dat";
        QTest::newRow("no host") << "note3.rtf" << "" << "note3 (conflict 2026-12-09 15-48).rtf";
    }

    void ownName()
    {
        QFETCH(QString, file);
        QFETCH(QString, host);
        QFETCH(QString, expected);
        const QString made = ConflictCopies::ownConflictName(file, QDateTime({2026, 12, 9}, {15, 48, 40}), host);
        QCOMPARE(made, expected);
        QCOMPARE(recognised(made), file + QStringLiteral(" Kladdo"));
    }

    // Files only, of the folder itself, in the order of the files they belong to.
    void listOfAFolder()
    {
        QTemporaryDir dir;
        for (const char *name : {"pass2-LAPTOP.dat", "note3.sync-conflict-20261209-154840-T4RZMUF.rtf", "note3.rtf",
                                 "note_conflict-20261209-154840.ini", ".syncthing.note3.rtf.tmp",
                                 "note1 (conflict 2026-12-09 15-48).rtf"})
            QVERIFY(writeFile(dir.filePath(name), "x"));
        for (const char *folder : {".stfolder", ".stversions", "note4-LAPTOP.rtf"})
            QVERIFY(QDir(dir.path()).mkdir(folder));
        QVERIFY(writeFile(dir.filePath(".stversions/note3-LAPTOP.rtf"), "x"));
        QStringList names;
        for (const ConflictCopies::Copy &copy : ConflictCopies::list(dir.path()))
            names << copy.fileName;
        QCOMPARE(names, QStringList({"note_conflict-20261209-154840.ini", "note1 (conflict 2026-12-09 15-48).rtf",
                                     "note3.sync-conflict-20261209-154840-T4RZMUF.rtf", "pass2-LAPTOP.dat"}));
    }
};

QTEST_APPLESS_MAIN(TestConflictCopies)
#include "tst_ConflictCopies.moc"
