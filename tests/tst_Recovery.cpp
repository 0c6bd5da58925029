#include "passwords/PassGrid.h"
#include "passwords/PassPageFile.h"
#include "platform/PageBackups.h"
#include "platform/RecoveryFile.h"
#include "support/MainWindowFolder.h"
#include "support/FaultConditions.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTest>

// The main window keeps unsaved changes in their recovery files, brings
// back what a run left behind, and saves without the user when the
// session ends.
class TestRecovery : public QObject, private MainWindowFolder
{
    Q_OBJECT

    static NoteEditor *editor(TForm1 &form) { return form.findChild<NoteEditor *>("RichEdit1"); }
    QString recovery(const char *page) const { return RecoveryFile::pathFor(data(page)); }
    QString ownFolder() const { return QFileInfo(recovery("note0.rtf")).path(); }
    QByteArray recoveredContent(const char *page) const { return RecoveryFile::decode(readFile(recovery(page))).content; }

    void layPages(const QByteArray &ini = "[WINDOW]\r\nLanguage=English\r\n")
    {
        QVERIFY(writeFile(data("note.ini"), ini));
        writeNotePage(0, "page as saved");
        writeNotePage(1, "page one");
    }

private slots:
    void init()
    {
        QVERIFY(resetFolder());
        m_environment.delays = {std::chrono::milliseconds(50), std::chrono::milliseconds(200)};
    }

    // Typed text reaches the recovery file, never the page file, until the
    // page is left; the save takes the recovery file away. Loading a page
    // is no change: nothing is written without typing.
    void typingIsKeptUntilTheSave()
    {
        layPages();
        const QByteArray saved = readFile(data("note0.rtf"));
        auto form = makeForm();
        QTest::qWait(150);
        QVERIFY(!QFileInfo::exists(data("backup")));
        QTest::keyClicks(editor(*form), "typed ");
        QTRY_VERIFY(QFileInfo::exists(recovery("note0.rtf")));
        QCOMPARE(NotePage::fromBytes(recoveredContent("note0.rtf"))->toPlainText(), "typed page as saved");
        QCOMPARE(readFile(data("note0.rtf")), saved);
        click(*form, "FarbButton4");
        QVERIFY(!QFileInfo::exists(recovery("note0.rtf")));
        QCOMPARE(NotePage::read(data("note0.rtf")).document->toPlainText(), "typed page as saved");
        QTest::qWait(150);
        QVERIFY(QDir(ownFolder()).entryList({"*.unsaved*"}).isEmpty());
    }

    // What a killed run left is shown, counts as unsaved and is told of
    // once; the next save writes it and keeps the old page as a backup.
    void leftChangesAreShownAndSaved()
    {
        layPages("[WINDOW]\r\nLanguage=Deutsch\r\n");
        const QByteArray old = readFile(data("note0.rtf"));
        QVERIFY(RecoveryFile::write(data("note0.rtf"), NotePage::bytesOf(std::make_unique<QTextDocument>("recovered").get()),
                                    RecoveryFile::stampOf(old))
                    .ok);
        auto form = makeForm();
        QCOMPARE(editor(*form)->toPlainText(), "recovered");
        QVERIFY(editor(*form)->document()->isModified());
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY2(m_environment.errors[0].message.startsWith("Notizseite 0 wurde beim letzten Beenden"),
                 qPrintable(m_environment.errors[0].message));
        QCOMPARE(readFile(data("note0.rtf")), old);

        click(*form, "FarbButton4");
        click(*form, "FarbButton3");
        QCOMPARE(editor(*form)->toPlainText(), "recovered");
        QCOMPARE(m_environment.errors.size(), 1);
        QCOMPARE(readFile(PageBackups::pathFor(data("note0.rtf"), 1)), old);
        QVERIFY(!QFileInfo::exists(recovery("note0.rtf")));
    }

    // Changes not made on the page as it stands are kept aside, not loaded.
    void changesOnAnotherPageAreKeptAside()
    {
        layPages();
        QVERIFY(RecoveryFile::write(data("note1.rtf"), "{\\rtf1 stale}", RecoveryFile::stampOf("another page")).ok);
        auto form = makeForm();
        QVERIFY(m_environment.errors.isEmpty());
        click(*form, "FarbButton4");
        QCOMPARE(editor(*form)->toPlainText(), "page one");
        QVERIFY(!editor(*form)->document()->isModified());
        QCOMPARE(m_environment.errors.size(), 1);
        const QString told = m_environment.errors[0].message;
        QVERIFY2(told.contains("has been changed by another program since"), qPrintable(told));
        const QStringList aside = QDir(ownFolder()).entryList({"note1.rtf.unsaved-*"});
        QCOMPARE(aside.size(), 1);
        QVERIFY2(told.contains(aside[0]), qPrintable(told));
        QVERIFY(!QFileInfo::exists(recovery("note1.rtf")));
    }

    // Changes that cannot be moved aside stay where they are, are told of,
    // and neither typing on their page nor its save takes them away.
    void changesThatCannotBeKeptAsideStay()
    {
        SKIP_UNLESS_AVAILABLE(ReadOnlyFolder);
        layPages();
        QVERIFY(RecoveryFile::write(data("note1.rtf"), "{\\rtf1 stale}", RecoveryFile::stampOf("another page")).ok);
        const QByteArray left = readFile(recovery("note1.rtf"));
        auto form = makeForm();
        {
            const ReadOnlyFolder backups(ownFolder());
            click(*form, "FarbButton4");
        }
        QCOMPARE(m_environment.errors.size(), 1);
        const QString told = m_environment.errors[0].message;
        QVERIFY2(told.contains("could not be kept aside and stay in " + QDir::toNativeSeparators(recovery("note1.rtf"))),
                 qPrintable(told));
        QTest::keyClicks(editor(*form), "typed ");
        QTest::qWait(250);
        click(*form, "FarbButton3");
        QCOMPARE(NotePage::read(data("note1.rtf")).document->toPlainText(), "typed page one");
        QCOMPARE(readFile(recovery("note1.rtf")), left);
    }

    // Another computer's changes, carried here by a sync tool, are neither
    // shown nor taken away by a save here; those an earlier version left in
    // backup/ itself are this computer's.
    void whoseChangesAreShown()
    {
        layPages();
        const auto layRecovery = [&](const char *page, const QString &computer, const QString &text) {
            const QString path = RecoveryFile::pathFor(data(page), computer);
            QTextDocument document(text);
            return QDir().mkpath(QFileInfo(path).path())
                   && writeFile(path, RecoveryFile::encode(NotePage::bytesOf(&document),
                                                           RecoveryFile::stampOf(readFile(data(page)))));
        };
        QVERIFY(layRecovery("note0.rtf", "laptop-1a2b3c", "the laptop's"));
        QVERIFY(layRecovery("note1.rtf", "", "left by an earlier version"));
        const QByteArray laptops = readFile(RecoveryFile::pathFor(data("note0.rtf"), "laptop-1a2b3c"));
        auto form = makeForm();
        QCOMPARE(editor(*form)->toPlainText(), "page as saved");
        QVERIFY(m_environment.errors.isEmpty());
        QTest::keyClicks(editor(*form), "typed ");
        click(*form, "FarbButton4");
        QCOMPARE(NotePage::read(data("note0.rtf")).document->toPlainText(), "typed page as saved");
        QCOMPARE(readFile(RecoveryFile::pathFor(data("note0.rtf"), "laptop-1a2b3c")), laptops);
        QCOMPARE(editor(*form)->toPlainText(), "left by an earlier version");
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(!QFileInfo::exists(RecoveryFile::pathFor(data("note1.rtf"), "")));
    }

    // The recovery file holds the record the page file would: the
    // password enciphered, never in clear.
    void passwordPageIsKeptEnciphered()
    {
        layPages("[WINDOW]\r\nLanguage=English\r\nDisplayNP=1\r\n");
        {
            auto form = makeForm();
            auto *grid = form->findChild<PassGrid *>("StringGrid1");
            grid->setCurrentCell(1, PassPasswordColumn);
            QTest::keyClicks(grid, "Geheim99");
            QTRY_VERIFY(QFileInfo::exists(recovery("pass0.dat")));
            const QByteArray content = recoveredContent("pass0.dat");
            QCOMPARE(content, grid->page().toRecord().bytes());
            QVERIFY(!readFile(recovery("pass0.dat")).contains("Geheim99"));
        } // closed without a save: as if killed
        QVERIFY(QFileInfo::exists(recovery("pass0.dat")));
        auto form = makeForm();
        auto *grid = form->findChild<PassGrid *>("StringGrid1");
        QCOMPARE(grid->page().cell(PassPasswordColumn, 0), "Geheim99");
        QVERIFY(grid->isModified());
        click(*form, "FarbButton4");
        QCOMPARE(PassPageFile(data("pass0.dat")).load().cells.cell(PassPasswordColumn, 0), "Geheim99");
    }

    // Beside a vault the recovery file holds the vault under its key, never
    // a row in clear; the next unlock shows the changes, whose save writes
    // them into the vault.
    void vaultChangesAreKeptUnderItsKey()
    {
        layPages("[WINDOW]\r\nLanguage=English\r\nDisplayNP=1\r\n");
        VaultPageSet pages;
        pages[0][1] = {"Bank", "alice", "12345"};
        writeVault(pages);
        {
            auto form = makeForm();
            unlock(*form, "master");
            auto *grid = form->findChild<PassGrid *>("StringGrid1");
            grid->setCurrentCell(1, PassPasswordColumn);
            QTest::keyClicks(grid, "Geheim99");
            QTRY_VERIFY(QFileInfo::exists(recovery("passwords.kdbx")));
            const QByteArray kept = readFile(recovery("passwords.kdbx"));
            for (const char *secret : {"Geheim99", "12345", "alice", "Bank"})
                QVERIFY2(!kept.contains(secret), secret);
        } // closed without a save: as if killed
        auto form = makeForm();
        unlock(*form, "master");
        auto *grid = form->findChild<PassGrid *>("StringGrid1");
        QCOMPARE(grid->page().cell(PassPasswordColumn, 0), "Geheim99");
        QVERIFY(grid->isModified());
        click(*form, "FarbButton4");
        QCOMPARE(storedVault()[0][0].password, "Geheim99");
        QCOMPARE(storedVault()[0][1].text, "Bank");
        QVERIFY(!QFileInfo::exists(data("pass0.dat")));
    }

    // Ended from outside: the page is saved with no box, and the window
    // says it is closing.
    void endedFromOutside()
    {
        layPages();
        auto form = makeForm();
        QSignalSpy closed(form.get(), &TForm1::closed);
        QTest::keyClicks(editor(*form), "last ");
        form->endSession();
        QCOMPARE(closed.size(), 1);
        QCOMPARE(NotePage::read(data("note0.rtf")).document->toPlainText(), "last page as saved");
        QVERIFY(!QFileInfo::exists(recovery("note0.rtf")));
        form->endSession();
        QCOMPARE(closed.size(), 1);
        QVERIFY(m_environment.errors.isEmpty());
    }

    // Ended while the user is asked whether a damaged page may be written
    // over: the changes are kept, and the answer that comes when the box
    // closes, and the page turn after it, take nothing away.
    void endedWhileAsked()
    {
        layPages("[WINDOW]\r\nLanguage=English\r\nDisplayNP=1\r\n");
        QVERIFY(writeFile(data("pass0.dat"), QByteArray(100, '\0')));
        auto form = makeForm();
        auto *grid = form->findChild<PassGrid *>("StringGrid1");
        QTest::keyClicks(grid, "kept");
        m_environment.whileAsking = [&] { form->endSession(); };
        click(*form, "FarbButton4");
        QCOMPARE(m_environment.questions.size(), 1);
        QVERIFY(QFileInfo::exists(recovery("pass0.dat")));
        QCOMPARE(PassPageFile::fromBytes(recoveredContent("pass0.dat")).cells.cell(0, 0), "kept");
        QCOMPARE(readFile(data("pass0.dat")), QByteArray(100, '\0'));
    }

    // A save that fails then cannot ask: the changes go to the recovery
    // file, or, with DATA/ read-only, are reported lost, with no box.
    void unattendedSaveThatFails()
    {
        layPages();
        auto form = makeForm();
        QTest::keyClicks(editor(*form), "rescued ");
        QVERIFY(QFile::remove(data("note0.rtf")));
        QVERIFY(QDir(m_dir->path()).mkpath("DATA/note0.rtf/in the way"));
        form->saveUnattended();
        QCOMPARE(NotePage::fromBytes(recoveredContent("note0.rtf"))->toPlainText(), "rescued page as saved");

        SKIP_UNLESS_AVAILABLE(ReadOnlyFolder);
        QVERIFY(QDir(data("note0.rtf")).removeRecursively());
        QVERIFY(QFile::remove(recovery("note0.rtf")));
        {
            const ReadOnlyFolder dataFolder(m_dir->filePath("DATA"));
            const ReadOnlyFolder backups(ownFolder());
            form->saveUnattended();
        }
        QVERIFY(!QFileInfo::exists(recovery("note0.rtf")));
        QVERIFY(m_environment.errors.isEmpty());
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_Recovery.moc"
