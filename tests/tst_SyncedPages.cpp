#include "app/TForm1.h"
#include "passwords/PassGrid.h"
#include "passwords/PassPageFile.h"
#include "platform/AtomicFile.h"
#include "support/MainWindowFolder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>

// A page's file changed by someone else (another computer through a
// synced folder) between its load and its save.
class TestSyncedPages : public QObject, private MainWindowFolder
{
    Q_OBJECT

private:
    QString pageText(int page) const
    {
        const QString path = data(NotePage::fileName(page));
        return QFile::exists(path) ? NotePage::read(path).document->toPlainText() : QStringLiteral("-");
    }
    QStringList otherVersions(const QString &stem) const
    {
        return QDir(data({})).entryList({stem + " (conflict *"}, QDir::Files);
    }

private slots:
    void init() { QVERIFY(resetFolder()); }

    void pageSavedOverAnotherVersion_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("pageHolds");
        QTest::addColumn<QString>("keptHolds"); // "-": nothing kept
        QTest::newRow("edited, unchanged") << true << true << "none" << "typedmine" << "-";
        QTest::newRow("edited, changed") << true << true << "write" << "typedmine" << "theirs";
        QTest::newRow("edited, replaced by rename") << true << true << "rename" << "typedmine" << "theirs";
        QTest::newRow("edited, deleted") << true << true << "delete" << "typedmine" << "-";
        QTest::newRow("edited, appeared") << false << true << "write" << "typed" << "theirs";
        QTest::newRow("unedited, changed") << true << false << "write" << "theirs" << "-";
        QTest::newRow("unedited, replaced by rename") << true << false << "rename" << "theirs" << "-";
        QTest::newRow("unedited, deleted") << true << false << "delete" << "-" << "-";
    }
    // Saved by a page turn: nothing the other computer wrote is lost, and
    // the user, told, may take the other version's text to merge it.
    void pageSavedOverAnotherVersion()
    {
        QFETCH(bool, loaded);
        QFETCH(bool, edited);
        QFETCH(QString, change);
        QFETCH(QString, pageHolds);
        QFETCH(QString, keptHolds);
        if (loaded)
            writeNotePage(0, "mine");
        auto form = makeForm();
        if (edited)
            QTest::keyClicks(form->findChild<QWidget *>("RichEdit1"), "typed");
        const QString page = data("note0.rtf");
        QTextDocument theirs("theirs");
        if (change == "write") {
            NotePage::save(page, &theirs);
        } else if (change == "rename") {
            NotePage::save(data(".syncthing.note0.rtf.tmp"), &theirs);
            QVERIFY(QFile::remove(page) && QFile::rename(data(".syncthing.note0.rtf.tmp"), page));
        } else if (change == "delete") {
            QVERIFY(QFile::remove(page));
        }
        m_environment.answer = true;
        click(*form, "FarbButton4");
        QCOMPARE(pageText(0), pageHolds);
        const QStringList kept = otherVersions("note0");
        QCOMPARE(kept.size(), keptHolds == "-" ? 0 : 1);
        QCOMPARE(m_environment.questions.size(), kept.size());
        if (!kept.isEmpty()) {
            QCOMPARE(NotePage::read(data(kept[0])).document->toPlainText(), keptHolds);
            QVERIFY2(m_environment.questions[0].contains(kept[0]), qPrintable(m_environment.questions[0]));
            QCOMPARE(m_environment.clipboardMimeData()->text(), keptHolds);
            // Once more within the minute: the first copy stays as it was.
            click(*form, "FarbButton3");
            QTest::keyClicks(form->findChild<QWidget *>("RichEdit1"), "again");
            NotePage::save(page, &theirs);
            click(*form, "FarbButton4");
            QCOMPARE(otherVersions("note0").size(), 2);
        }
    }

    // Unedited, the page shown follows each change within a second, the
    // caret as near as the new text allows; edited, it stays as typed.
    void shownPageFollowsChanges()
    {
        writeNotePage(0, "mine");
        auto form = makeForm();
        auto *editor = form->findChild<QTextEdit *>("RichEdit1");
        for (const QString text : {"theirs, once", "theirs, twice"}) {
            QTextCursor caret = editor->textCursor();
            caret.setPosition(3);
            editor->setTextCursor(caret);
            writeNotePage(0, text);
            QTRY_COMPARE_WITH_TIMEOUT(editor->toPlainText(), text, 1000);
            QCOMPARE(editor->textCursor().position(), 3);
        }
        QTest::keyClicks(editor, "typed");
        writeNotePage(0, "theirs, thrice");
        QTest::qWait(2 * FolderWatch::kSettleMilliseconds);
        QCOMPARE(editor->toPlainText(), "thetypedirs, twice");
    }

    // A sync tool's copies are told of once each: those there at the start
    // together, a later one when it appears.
    void syncToolCopiesToldOnce()
    {
        QVERIFY(writeFile(data("note3.sync-conflict-20261209-154840-T4RZMUF.rtf"), "{\\rtf1 theirs}"));
        QVERIFY(writeFile(data("pass1 (conflicted copy 2026-12-09 154840).dat"), ""));
        auto form = makeForm();
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(m_environment.errors[0].message.contains("note3.sync-conflict-20261209-154840-T4RZMUF.rtf"));
        QVERIFY(m_environment.errors[0].message.contains("pass1 (conflicted copy"));
        QVERIFY(writeFile(data("note.ini-LAPTOP"), ""));
        QVERIFY(writeFile(data("note5-LAPTOP.rtf"), "{\\rtf1 theirs}"));
        QTRY_COMPARE_WITH_TIMEOUT(m_environment.errors.size(), 2, 1000);
        QVERIFY(m_environment.errors[1].message.contains("note5-LAPTOP.rtf"));
        QVERIFY(!m_environment.errors[1].message.contains("note3"));
    }

    // Another computer's save of the vault: an unedited page follows it,
    // an edited one is saved into it page by page, the other version kept.
    void vaultChangedElsewhere()
    {
        ProfileFile(data("note.ini")).writeInteger(u"WINDOW", u"DisplayNP", 1);
        VaultPageSet pages;
        pages[0][0].text = "mine";
        writeVault(pages);
        const auto saveTheirs = [this](int page, const QString &text) {
            KdbxFile::Opened opened = KdbxFile::read(readFile(data("passwords.kdbx")), "master");
            VaultPageSet theirs = VaultPages::read(opened.database).pages;
            theirs[page][0].text = text;
            VaultPages::write(opened.database, theirs, QDateTime::currentDateTimeUtc());
            QVERIFY(AtomicFile::write(data("passwords.kdbx"), KdbxFile::write(opened.database, opened.key)).ok);
        };
        auto form = makeForm();
        unlock(*form, "master");
        auto *grid = form->findChild<PassGrid *>("StringGrid1");
        saveTheirs(0, "theirs");
        QTRY_COMPARE_WITH_TIMEOUT(grid->page().cell(0, 0), "theirs", 2000);
        grid->setCurrentCell(2, 0);
        QTest::keyClicks(grid, "typed");
        QTest::keyClick(form->findChild<QWidget *>("Edit2"), Qt::Key_Return);
        saveTheirs(1, "their page");
        click(*form, "FarbButton4");
        const VaultPageSet stored = storedVault();
        QCOMPARE(stored[0][0].text, "theirs");
        QCOMPARE(stored[0][1].text, "typed");
        QCOMPARE(stored[1][0].text, "their page");
        QCOMPARE(otherVersions("passwords").size(), 1);
        // Damaged there, it is kept aside and written over with the version held.
        QVERIFY(writeFile(data("passwords.kdbx"), readFile(data("passwords.kdbx")).left(300)));
        QTest::keyClicks(grid, "more");
        QTest::keyClick(form->findChild<QWidget *>("Edit2"), Qt::Key_Return);
        click(*form, "FarbButton3");
        QCOMPARE(storedVault()[1][0].text, "their pagemore");
        QCOMPARE(otherVersions("passwords").size(), 2);
    }

    void passwordPageOnlyLookedAt_data()
    {
        QTest::addColumn<bool>("hadFile");
        QTest::addColumn<bool>("changedElsewhere");
        QTest::newRow("changed elsewhere") << true << true;
        QTest::newRow("as loaded") << true << false;
        QTest::newRow("no file") << false << false;
    }
    // Only looked at, a password page is not written, not even as loaded:
    // the same bytes again are a change to a sync tool, one that can win
    // over the other computer's change the tool has not passed on yet.
    void passwordPageOnlyLookedAt()
    {
        QFETCH(bool, hadFile);
        QFETCH(bool, changedElsewhere);
        ProfileFile(data("note.ini")).writeInteger(u"WINDOW", u"DisplayNP", 1);
        const QString path = PassPageFile::pathFor(data({}), 0);
        // Dated an hour back, so that a rewrite within the second shows.
        const auto pageWith = [&path](const QString &text) {
            PassPageCells cells;
            cells.setCell(0, 0, text);
            PassPageFile(path).save(cells);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        };
        if (hadFile)
            pageWith("mine");
        auto form = makeForm();
        if (changedElsewhere)
            pageWith("theirs");
        const QDateTime before = QFileInfo(path).lastModified();
        click(*form, "FarbButton4");
        QCOMPARE(QFileInfo(path).lastModified(), before);
        QCOMPARE(QFile::exists(path), hadFile);
        if (hadFile)
            QCOMPARE(PassPageFile(path).load().cells.cell(0, 0), changedElsewhere ? "theirs" : "mine");
        QVERIFY(otherVersions("pass0").isEmpty());
        QVERIFY(m_environment.errors.isEmpty());
    }
};

QTEST_MAIN(TestSyncedPages)
#include "tst_SyncedPages.moc"
