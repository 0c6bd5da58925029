#include "app/TForm1.h"
#include "controls/FarbButton.h"
#include "passwords/PassCellField.h"
#include "passwords/PassGrid.h"
#include "passwords/PassPageFile.h"
#include "platform/PageBackups.h"
#include "support/MainWindowFolder.h"
#include "support/TestFiles.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QLabel>
#include <QMimeData>
#include <QTest>

namespace {

enum class Entry { PasteKey, TypeInGrid, TypeInField };

// QTest types ASCII only; other characters come as their text.
void type(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void settle()
{
    // A refusal is told two queued hops after the edit.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class TestPasswordView : public QObject, private MainWindowFolder
{
    Q_OBJECT

private:
    QString pagePath(int page) const { return PassPageFile::pathFor(m_dir->filePath("DATA"), page); }
    void writePage(int page, const QList<std::tuple<int, int, QString>> &cells)
    {
        PassPageCells page_;
        for (const auto &[column, slot, text] : cells)
            page_.setCell(column, slot, text);
        PassPageFile(pagePath(page)).save(page_);
    }
    QString storedCell(int page, int column, int row) const
    {
        return PassPageFile(pagePath(page)).load().cells.cell(column, row - 1);
    }
    void setClipboardText(const QString &text)
    {
        auto *data = new QMimeData;
        data->setText(text);
        m_environment.setClipboardMimeData(data);
    }

    static bool isLocked(TForm1 &form)
    {
        return form.findChild<QWidget *>("VaultLock")->isVisibleTo(&form) && !grid(form)->isVisibleTo(&form) &&
               shown(grid(form), 1, 0).isEmpty();
    }
    static QString lockMessage(TForm1 &form)
    {
        QString text;
        for (const QLabel *label : form.findChild<QWidget *>("VaultLock")->findChildren<QLabel *>())
            text += label->text();
        return text;
    }

    static PassGrid *grid(TForm1 &form) { return form.findChild<PassGrid *>("StringGrid1"); }
    static PassCellField *field(TForm1 &form) { return form.findChild<PassCellField *>("Edit2"); }
    static QString shown(PassGrid *grid, int row, int column)
    {
        return grid->model()->index(row, column).data().toString();
    }

private slots:
    void init()
    {
        QVERIFY(resetFolder());
        ProfileFile(data("note.ini")).writeInteger(u"WINDOW", u"DisplayNP", 1);
    }

    // Beside a vault the pages show once the master password opens it
    // (tried wrong first), are saved into it and never into a pass file, a
    // copied password leaves the clipboard, and rolling in locks again.
    void aVaultOpensWithItsPasswordAndLocksAtRollIn()
    {
        VaultPageSet pages;
        pages[0][0] = {"Bank", "alice", "12345"};
        writeVault(pages);
        m_environment.secrets.minute = std::chrono::minutes(1);
        auto form = makeForm();
        QVERIFY(isLocked(*form));
        unlock(*form, "wrong");
        QVERIFY(isLocked(*form));
        QVERIFY(lockMessage(*form).contains("Master-Kennwort ist falsch"));
        unlock(*form, "master");
        PassGrid *g = grid(*form);
        QVERIFY(g->isVisible());
        QCOMPARE(shown(g, 1, 0), "Bank");
        g->setCurrentCell(1, 2);
        QTest::keyClick(g, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(m_environment.clipboardMimeData()->text(), "12345");
        QTRY_VERIFY_WITH_TIMEOUT(!m_environment.clipboardMimeData(), 3000);
        g->setCurrentCell(2, 0);
        QTest::keyClicks(g, "Mail");
        QTest::keyClick(field(*form), Qt::Key_Return);
        click(*form, "FarbButton4");
        QCOMPARE(storedVault()[0][1].text, "Mail");
        QCOMPARE(storedVault()[0][0].password, "12345");
        QVERIFY(!QFileInfo::exists(pagePath(0)) && !QFileInfo::exists(pagePath(1)));
        QVERIFY(QFileInfo::exists(PageBackups::pathFor(data("passwords.kdbx"), 1)));
        form->RollIn();
        QVERIFY(isLocked(*form));
    }

    // Runs inside the vault dialog that the options dialog opens, then
    // closes it.
    void inVaultDialog(TForm1 &form, const std::function<void(QWidget &)> &steps)
    {
        QTimer::singleShot(0, &form, [steps] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == "VaultDialog");
            steps(*dialog);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        form.manageVault(&form);
    }
    static void clickButton(QWidget &dialog, const QString &text)
    {
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            if (button->text().startsWith(text))
                return button->click();
        }
        QFAIL(qPrintable(text));
    }
    static void typePasswords(QWidget &dialog, const QString &fresh)
    {
        for (const char *name : {"FreshPassword", "RepeatedPassword"})
            dialog.findChild<QLineEdit *>(name)->setText(fresh);
    }

    // The master password set (older backups wiped, as agreed), changed with
    // a lock time, and removed: the pages move with it, whole.
    void masterPasswordSetChangedAndRemoved()
    {
        writePage(0, {{0, 0, "Bank"}, {2, 0, "12345"}});
        QVERIFY(QDir().mkpath(data("backup")) && writeFile(data("backup/pass0.dat.1"), readFile(pagePath(0))));
        auto form = makeForm();
        inVaultDialog(*form, [](QWidget &dialog) {
            typePasswords(dialog, "one");
            dialog.findChild<QCheckBox *>("DropOldBackups")->setChecked(true);
            clickButton(dialog, "Master-Kennwort setzen");
            typePasswords(dialog, "master");
            dialog.findChild<QSpinBox *>("LockMinutes")->setValue(7);
            clickButton(dialog, "Master-Kennwort ändern");
        });
        QVERIFY(m_environment.errors.isEmpty());
        QVERIFY(!QFileInfo::exists(pagePath(0)) && !QFileInfo::exists(data("backup/pass0.dat.1")));
        const KdbxFile::Opened opened = KdbxFile::read(readFile(data("passwords.kdbx")), "master");
        QCOMPARE(VaultPages::read(opened.database).lockMinutes, 7);
        QCOMPARE(storedVault()[0][0], (VaultRow{"Bank", "", "12345"}));
        QCOMPARE(shown(grid(*form), 1, 0), "Bank");
        m_environment.answer = true;
        inVaultDialog(*form, [](QWidget &dialog) {
            clickButton(dialog, "Master-Kennwort entfernen");
        });
        QVERIFY(!QFileInfo::exists(data("passwords.kdbx")));
        QCOMPARE(storedCell(0, 2, 1), "12345");
        QCOMPARE(shown(grid(*form), 1, 0), "Bank");
    }

    // Idle time locks the vault, its page saved first.
    void idleTimeLocksTheVault()
    {
        writeVault({});
        auto form = makeForm();
        unlock(*form, "master");
        QTest::keyClicks(grid(*form), "typed");
        QTest::keyClick(field(*form), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(isLocked(*form), 5000);
        QCOMPARE(storedVault()[0][0].text, "typed");
    }

    // Typed in the grid (keys and composed characters), typed in the field, pasted by key and by button,
    // deleted: each page lands in its own file, read back through the page
    // file.
    void editsReachThePageFile()
    {
        writePage(1, {{0, 0, "one"}});
        auto form = makeForm();
        PassGrid *g = grid(*form);
        PassCellField *f = field(*form);
        QTest::keyClicks(g, "Caf");
        QInputMethodEvent composed; // a dead key and its letter
        composed.setCommitString(QStringLiteral("\u00e9"));
        QCoreApplication::sendEvent(g, &composed);
        QCOMPARE(f->text(), "Caf\u00e9");
        QCOMPARE(form->focusWidget(), f);
        QTest::keyClick(f, Qt::Key_Return);
        QCOMPARE(form->focusWidget(), g);
        QTest::keyClick(g, Qt::Key_Right);
        QTest::keyClicks(f, "alice");
        QTest::keyClick(f, Qt::Key_Down);
        QCOMPARE(g->currentRow(), 2);
        QTest::keyClicks(g, "gone");
        QTest::keyClick(f, Qt::Key_Escape);
        QTest::keyClick(g, Qt::Key_Delete);
        QTest::keyClick(f, Qt::Key_Up);
        QTest::keyClick(g, Qt::Key_Right);
        setClipboardText("pass\tword\r\n");
        QTest::keyClick(g, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(f->text(), "password");
        f->setFocus();
        f->setCursorPosition(4);
        setClipboardText("-");
        click(*form, "FarbButton15");
        QCOMPARE(g->currentText(), "pass-word");

        click(*form, "FarbButton4");
        QCOMPARE(storedCell(0, 0, 1), "Caf\u00e9");
        QCOMPARE(storedCell(0, 1, 1), "alice");
        QCOMPARE(storedCell(0, 2, 1), "pass-word");
        QCOMPARE(storedCell(0, 1, 2), "");
        QCOMPARE(setting(u"WINDOW", u"Pass"), "1");
        QCOMPARE(form->focusWidget(), g);
        QCOMPARE(std::pair(g->currentRow(), g->currentColumn()), std::pair(1, 0));
        QCOMPARE(f->text(), "one");
        click(*form, "FarbButton3");
        QCOMPARE(f->text(), "Caf\u00e9");
        QVERIFY(m_environment.errors.isEmpty());
    }

    // What cannot be stored is refused as it is entered, with a word to the
    // user; what can is stored as entered.
    void entriesTheCellCanStore_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("before");
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("refusal");
        const QString x183(183, u'x');
        QTest::newRow("password of 183") << 2 << "" << Entry::PasteKey << x183 << x183 << "";
        QTest::newRow("password of 184") << 2 << "old" << Entry::PasteKey << x183 + "y" << "old" << "183";
        QTest::newRow("typed past 183") << 2 << x183 << Entry::TypeInField << "y" << x183
                                        << "Nicht übernommen: ein Kennwort darf höchstens 183 Zeichen haben.";
        QTest::newRow("name cut to 255") << 1 << "" << Entry::PasteKey << QString(300, u'n') << QString(255, u'n') << "";
        QTest::newRow("paste replaces") << 0 << "old" << Entry::PasteKey << "new" << "new" << "";
        QTest::newRow("empty clipboard") << 0 << "old" << Entry::PasteKey << "" << "old" << "";
        QTest::newRow("greek in grid") << 0 << "old" << Entry::TypeInGrid << "\u0394" << "old"
                                       << "Nicht übernommen: \u201e\u0394\u201c ist ein Zeichen, das Windows-1252";
        QTest::newRow("greek in field") << 0 << "old" << Entry::TypeInField << "\u0394" << "old" << "\u0394";
        QTest::newRow("greek pasted") << 1 << "old" << Entry::PasteKey << "a\u0394" << "old" << "\u0394";
        QTest::newRow("euro in field") << 0 << "old" << Entry::TypeInField << "\u20ac" << "old\u20ac" << "";
        QTest::newRow("controls typed") << 0 << "old" << Entry::TypeInGrid << "\t\b\r\x1b" << "old" << "";
    }
    void entriesTheCellCanStore()
    {
        QFETCH(int, column);
        QFETCH(QString, before);
        QFETCH(Entry, entry);
        QFETCH(QString, input);
        QFETCH(QString, after);
        QFETCH(QString, refusal);
        auto form = makeForm();
        PassGrid *g = grid(*form);
        g->setCurrentCell(1, column);
        g->paste(before);
        if (entry == Entry::PasteKey) {
            if (!input.isEmpty())
                setClipboardText(input);
            QTest::keyClick(g, Qt::Key_Insert, Qt::ShiftModifier);
        } else if (entry == Entry::TypeInGrid) {
            type(g, input);
        } else {
            field(*form)->end(false);
            type(field(*form), input);
        }
        settle();
        QCOMPARE(g->currentText(), after);
        QCOMPARE(field(*form)->text(), after);
        QCOMPARE(m_environment.errors.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty())
            QVERIFY2(m_environment.errors[0].message.contains(refusal), qPrintable(m_environment.errors[0].message));
        form->SpeichernOk();
        QCOMPARE(storedCell(0, column, 1), after);
    }

    // Asterisks in the grid and the field for passwords only, the clear
    // text one click away; nothing masked leaves by a title or Ctrl+C.
    void maskHidesPasswordsOnly()
    {
        writePage(0, {{0, 0, "Bank"}, {2, 0, "12345"}, {2, 1, ""}});
        ProfileFile(data("note.ini")).writeString(u"PASSTITLE", u"Title0", u"kept");
        auto form = makeForm();
        PassGrid *g = grid(*form);
        PassCellField *f = field(*form);
        QCOMPARE(shown(g, 1, 2), "*****");
        QCOMPARE(shown(g, 2, 2), "");
        QCOMPARE(shown(g, 0, 2), "PASSWORT");
        QCOMPARE(f->echoMode(), QLineEdit::Normal);
        g->setCurrentCell(1, 2);
        QCOMPARE(f->echoMode(), QLineEdit::Password);
        QCOMPARE(f->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, f), int(u'*'));
        QCOMPARE(f->text(), "12345");

        f->selectAll();
        click(*form, "FarbButton6");
        QCOMPARE(form->windowSettings().PassTitle[0], "kept");
        QCOMPARE(setting(u"PASSTITLE", u"Title0"), "kept");
        QGuiApplication::clipboard()->setText("before");
        QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "before");

        click(*form, "FarbButton16");
        QCOMPARE(shown(g, 1, 2), "12345");
        QCOMPARE(f->echoMode(), QLineEdit::Normal);
        QCOMPARE(form->findChild<TFarbButton *>("FarbButton16")->toolTip(), "Passwörter verbergen");
        click(*form, "FarbButton16");
        QCOMPARE(f->echoMode(), QLineEdit::Password);
    }

    // A password goes to the clipboard in clear, marked secret, and does
    // not stay there once the program has closed; other cells go plain.
    void copiedPasswordIsSecretAndLeavesWithTheProgram()
    {
        writePage(0, {{0, 0, "Bank"}, {2, 0, "12345"}});
        auto form = makeForm();
        PassGrid *g = grid(*form);
        click(*form, "FarbButton14");
        QCOMPARE(m_environment.clipboardMimeData()->text(), "Bank");
        QVERIFY(!m_environment.clipboardMimeData()->hasFormat("x-kde-passwordManagerHint"));
        g->setCurrentCell(1, 2);
        QTest::keyClick(g, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(m_environment.clipboardMimeData()->text(), "12345");
        QCOMPARE(m_environment.clipboardMimeData()->data("x-kde-passwordManagerHint"), "secret");
        QVERIFY(form->close());
        QVERIFY(!m_environment.clipboardMimeData());
    }

    // Keys that are not the grid's leave cell, focus and row alone.
    void keysThatDoNothing()
    {
        writePage(0, {{0, 0, "ab"}});
        auto form = makeForm();
        PassGrid *g = grid(*form);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Up}) {
            QTest::keyClick(g, key);
            QCOMPARE(g->currentText(), "ab");
            QCOMPARE(form->focusWidget(), g);
            QCOMPARE(g->currentRow(), 1);
        }
        g->setCurrentCell(13, 0);
        QTest::keyClick(field(*form), Qt::Key_Down);
        QCOMPARE(g->currentRow(), 13);
    }

    // The notice, the refusals and the question in the language of the
    // settings: the notice, then how the others begin.
    void damagedPagesAreKept_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("German") << "Deutsch" << QStringList{
            "pass0.dat ist beschädigt: Größe 4000 Bytes statt 10752; Name in Zeilen 3-14 nicht in der Datei; "
            "Kennwort in Zeilen 1-14 nicht in der Datei. Die Seite zeigt, was gelesen werden konnte; die Datei "
            "wird nur überschrieben, wenn Sie beim Speichern der geänderten Seite zustimmen.",
            "Nicht übernommen: \u201e\u0394\u201c", "pass1.dat kann nicht gelesen werden (",
            "Diese Seite ist schreibgeschützt: pass1.dat kann", "pass0.dat ist beschädigt: Größe 4000"};
        QTest::newRow("English") << "English" << QStringList{
            "pass0.dat is damaged: size 4000 bytes, not 10752; name rows 3-14 not in the file; password rows "
            "1-14 not in the file. The page shows what could be read; the file is written over only if you "
            "agree when the changed page is saved.",
            "Not entered: \u201c\u0394\u201d", "pass1.dat cannot be read (",
            "This page is read-only: pass1.dat cannot", "pass0.dat is damaged: size 4000"};
    }

    // A changed page of a damaged file is saved over it only with consent;
    // a file that cannot be read is shown read-only and never written.
    void damagedPagesAreKept()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, texts);
        ProfileFile(data("note.ini")).writeString(u"WINDOW", u"Language", language);
        writePage(0, {{0, 0, "kept"}});
        const QByteArray damaged = readFile(pagePath(0)).left(4000);
        QVERIFY(writeFile(pagePath(0), damaged));
        QVERIFY(QDir().mkpath(pagePath(1) + "/x"));
        auto form = makeForm();
        QCOMPARE(m_environment.errors.size(), 1);
        QCOMPARE(m_environment.errors[0].message, texts[0]);
        QCOMPARE(field(*form)->text(), "kept");
        type(grid(*form), "\u0394");
        settle();
        QVERIFY(m_environment.errors.takeLast().message.startsWith(texts[1]));

        click(*form, "FarbButton4");
        QVERIFY(m_environment.questions.isEmpty());
        QVERIFY(m_environment.errors[1].message.startsWith(texts[2]));
        QTest::keyClicks(grid(*form), "x");
        settle();
        QCOMPARE(m_environment.errors.size(), 3);
        QVERIFY(m_environment.errors[2].message.startsWith(texts[3]));
        QCOMPARE(grid(*form)->currentText(), "");
        click(*form, "FarbButton3");
        QVERIFY(QFileInfo(pagePath(1)).isDir());

        QTest::keyClicks(grid(*form), "!");
        click(*form, "FarbButton4");
        QCOMPARE(m_environment.questions.size(), 1);
        QVERIFY(m_environment.questions[0].startsWith(texts[4]));
        QCOMPARE(readFile(pagePath(0)), damaged);
        click(*form, "FarbButton3");
        QTest::keyClicks(grid(*form), "!");
        m_environment.answer = true;
        click(*form, "FarbButton4");
        QCOMPARE(readFile(pagePath(0)).size(), PassPageRecord::Size);
        QCOMPARE(storedCell(0, 0, 1), "kept!");
    }

    // A page that cannot be saved, or whose successor's number cannot be
    // stored, stays shown and current.
    void failedWriteKeepsThePage_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::newRow("page") << "pass0.dat";
        QTest::newRow("settings") << "note.ini";
    }
    void failedWriteKeepsThePage()
    {
        QFETCH(QString, blocked);
        writePage(1, {{0, 0, "one"}});
        auto form = makeForm();
        QTest::keyClicks(grid(*form), "kept");
        const QString path = data(blocked);
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path + "/x"));
        click(*form, "FarbButton4");
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(m_environment.errors[0].message.contains(blocked));
        QCOMPARE(form->windowSettings().Pass, 0);
        QCOMPARE(grid(*form)->currentText(), "kept");
        QVERIFY(QDir(path).removeRecursively());
        click(*form, "FarbButton4");
        QCOMPARE(storedCell(0, 0, 1), "kept");
        QCOMPARE(setting(u"WINDOW", u"Pass"), "1");
    }

    // Cells and lines fill the grid's 498 x 294 pixels exactly; the
    // current cell is on the bar colour, the others on the page colour.
    void paintsTheCurrentCellOnTheBar()
    {
        auto form = makeForm();
        PassGrid *g = grid(*form);
        QCOMPARE(g->visualRect(g->model()->index(13, 2)).bottomRight(), QPoint(497, 293));
        const QImage image = g->grab().toImage();
        QCOMPARE(image.pixelColor(150, 35), WinColor::toQColor(form->colorScheme().BarColor));
        QCOMPARE(image.pixelColor(150, 56), WinColor::toQColor(form->colorScheme().BackColor));
        QCOMPARE(image.pixelColor(165, 56), QColor(Qt::black));
        QCOMPARE(image.pixelColor(0, 100), QColor(Qt::black));
    }
};

QTEST_MAIN(TestPasswordView)
#include "tst_PasswordView.moc"
