#include "app/Captions.h"
#include "app/PageNavigation.h"
#include "app/TForm1.h"
#include "controls/ClickLabel.h"
#include "controls/FarbButton.h"
#include "notes/FindReplaceDialog.h"
#include "notes/NotePage.h"
#include "notes/NoteTitle.h"
#include "passwords/PassGrid.h"
#include "support/MainWindowFolder.h"
#include "support/RichTextDump.h"
#include "support/TestFiles.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

class TestNotePages : public QObject, private MainWindowFolder
{
    Q_OBJECT

private:
    QString pagePath(int page) const { return data(NotePage::fileName(page)); }

    QString pageText(int page) const { return NotePage::read(pagePath(page)).document->toPlainText(); }
    static NoteEditor *editor(TForm1 &form) { return form.findChild<NoteEditor *>("RichEdit1"); }
    static QString caption(TForm1 &form) { return form.findChild<QLabel *>("Label1")->text(); }
    static void type(TForm1 &form, const QString &text) { QTest::keyClicks(editor(form), text); }

    // "left|one {b}two{} three" a paragraph a line; b i u, ^ super, _ sub.
    static QString styled(const QTextDocument &document)
    {
        QStringList lines;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            QString line = RichTextDump::blockFormat(block.blockFormat()).section(u' ', 0, 0) + u'|';
            QString shown;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                QString flags;
                flags += format.fontWeight() >= QFont::Bold ? "b" : "";
                flags += format.fontItalic() ? "i" : "";
                flags += format.fontUnderline() ? "u" : "";
                flags += format.verticalAlignment() == QTextCharFormat::AlignSuperScript ? "^" : "";
                flags += format.verticalAlignment() == QTextCharFormat::AlignSubScript ? "_" : "";
                if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() != 8)
                    flags += "s" + QString::number(format.fontPointSize());
                if (flags != shown)
                    line += u'{' + flags + u'}';
                shown = flags;
                line += it.fragment().text();
            }
            lines << line;
        }
        return lines.join(u'\n');
    }

private slots:
    void init()
    {
        QVERIFY(resetFolder());
    }

    // The rich-edit keys, on "one two three" (two bold) and "second"; s9 is
    // a size of 9 points, the page's own being 8.
    void formatKeys_data()
    {
        using Keys = QList<QKeyCombination>;
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("boldShown");
        const auto ctrl = [](Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); };
        const QString second = "\nleft|second";
        QTest::newRow("Ctrl+B on a selection bold at its start only")
            << 4 << 13 << Keys{ctrl(Qt::Key_B)} << "left|one {b}two three" + second << true;
        QTest::newRow("Ctrl+B on a bold selection") << 4 << 7 << Keys{ctrl(Qt::Key_B)} << "left|one two three" + second
                                                    << false;
        QTest::newRow("Ctrl+I, Ctrl+U, then typing") << 13 << 13
                                                     << Keys{ctrl(Qt::Key_I), ctrl(Qt::Key_U), QKeyCombination(Qt::Key_X)}
                                                     << "left|one {b}two{} three{iu}x" + second << false;
        QTest::newRow("Ctrl+E centres the paragraphs selected") << 9 << 16 << Keys{ctrl(Qt::Key_E)}
                                                                << "center|one {b}two{} three\ncenter|second" << false;
        QTest::newRow("Ctrl+R") << 5 << 5 << Keys{ctrl(Qt::Key_R)} << "right|one {b}two{} three" + second << true;
        QTest::newRow("Ctrl+J") << 15 << 15 << Keys{ctrl(Qt::Key_J)} << "left|one {b}two{} three\njustify|second"
                                << false;
        QTest::newRow("Ctrl+E, then Ctrl+L") << 0 << 0 << Keys{ctrl(Qt::Key_E), ctrl(Qt::Key_L)}
                                             << "left|one {b}two{} three" + second << false;
        QTest::newRow("Ctrl+= subscript") << 14 << 20 << Keys{ctrl(Qt::Key_Equal)}
                                          << "left|one {b}two{} three\nleft|{_}second" << false;
        QTest::newRow("Ctrl+Shift++ superscript")
            << 14 << 20 << Keys{QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Plus)}
            << "left|one {b}two{} three\nleft|{^}second" << false;
        const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        QTest::newRow("Ctrl+Shift+> twice, to the next usual sizes")
            << 0 << 7 << Keys{QKeyCombination(ctrlShift, Qt::Key_Greater), QKeyCombination(ctrlShift, Qt::Key_Greater)}
            << "left|{s10}one {bs10}two{} three" + second << false;
        QTest::newRow("Ctrl+Shift+< below the smallest usual size")
            << 4 << 13 << Keys{QKeyCombination(ctrlShift, Qt::Key_Less)} << "left|one {bs7}two{s7} three" + second
            << true;
        QTest::newRow("Ctrl+] twice and Ctrl+[, a point each")
            << 14 << 20 << Keys{ctrl(Qt::Key_BracketRight), ctrl(Qt::Key_BracketRight), ctrl(Qt::Key_BracketLeft)}
            << "left|one {b}two{} three\nleft|{s9}second" << false;
        QTest::newRow("undo, then Ctrl+Y and Ctrl+Shift+Z redo")
            << 0 << 3
            << Keys{ctrl(Qt::Key_B), ctrl(Qt::Key_Z), ctrl(Qt::Key_Y), ctrl(Qt::Key_Z),
                    QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)}
            << "left|{b}one{} {b}two{} three" + second << true;
    }

    // Each shows at once in the style pictures, counts as a change, and
    // comes back from the page file.
    void formatKeys()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(QString, after);
        QFETCH(bool, boldShown);
        QTextDocument page;
        page.setDefaultFont(NotePage::defaultFont());
        QTextCursor writing(&page);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        writing.insertText("one ");
        writing.insertText("two", bold);
        writing.insertText(" three", QTextCharFormat());
        writing.insertBlock();
        writing.insertText("second");
        NotePage::save(pagePath(0), &page);

        auto form = makeForm();
        QTextCursor selection(editor(*form)->document());
        selection.setPosition(from);
        selection.setPosition(to, QTextCursor::KeepAnchor);
        editor(*form)->setTextCursor(selection);
        for (const QKeyCombination key : keys)
            QTest::keyClick(editor(*form), key.key(), key.keyboardModifiers());
        QCOMPARE(styled(*editor(*form)->document()), after);
        QVERIFY(editor(*form)->document()->isModified());
        auto picture = [&](const char *name) { return form->findChild<QLabel *>(name)->pixmap().toImage(); };
        QVERIFY(picture("Image4") == picture(boldShown ? "Image8" : "Image7"));
        click(*form, "FarbButton4");
        click(*form, "FarbButton3");
        QCOMPARE(styled(*editor(*form)->document()), after);
    }

    void pureTexts()
    {
        QCOMPARE(Captions::positionText(0, 0), "  1:  1");
        QCOMPARE(Captions::positionText(6, 0), "  7:  1");
        QCOMPARE(Captions::positionText(0, 11), "  1: 12");
        QCOMPARE(Captions::positionText(1233, 99999), "1234:100000");
        QCOMPARE(Captions::pageCaption(3, ""), " 3 ");
        const struct { PageStep step; int from, to; } steps[] = {
            {PageStep::First, 0, 0}, {PageStep::Back, 0, 9},    {PageStep::Back, 5, 4},
            {PageStep::Forward, 9, 0}, {PageStep::Forward, 3, 4}, {PageStep::Last, 2, 9},
        };
        for (const auto &s : steps)
            QCOMPARE(pageAfter(s.step, s.from), s.to);
    }

    void titlesFromMarkedText()
    {
        const QString sixtyTwo(62, u'x');
        const struct { QString marked, title; } cases[] = {
            {"one\r\ntwo\nthree", "onetwothree"},
            {QString("a") + QChar::ParagraphSeparator + "b" + QChar::LineSeparator + "c" + QChar::ObjectReplacementCharacter, "abc"},
            {sixtyTwo, sixtyTwo.left(61)},
            {"\u20ac \u0394 \U0001F600x", "\u20ac  x"},
            {"", ""},
        };
        for (const auto &c : cases)
            QCOMPARE(NoteTitle::fromMarkedText(c.marked), c.title);
    }

    // Each button from each page: the page shown, its caption, the stored
    // number, and no file written for an unchanged page.
    void pageButtonsLoadTheirPage()
    {
        for (int page : {0, 4, 9})
            writeNotePage(page, QStringLiteral("page %1").arg(page));
        auto form = makeForm();
        const struct { const char *button; int to; } steps[] = {
            {"FarbButton3", 9}, {"FarbButton4", 0}, {"FarbButton2", 0}, {"FarbButton5", 9}, {"FarbButton3", 8}};
        for (const auto &s : steps) {
            click(*form, s.button);
            QCOMPARE(form->windowSettings().Note, s.to);
            QCOMPARE(setting(u"WINDOW", u"Note"), QString::number(s.to));
            QCOMPARE(caption(*form), QStringLiteral(" %1 ").arg(s.to));
            QCOMPARE(editor(*form)->toPlainText(), s.to == 8 ? "" : QStringLiteral("page %1").arg(s.to));
        }
        QCOMPARE(QDir(data("")).entryList({"*.rtf"}).size(), 3);
        QVERIFY(m_environment.errors.isEmpty());
    }

    void editedPageIsSavedUnderItsOwnNumber()
    {
        writeNotePage(1, "one");
        writeNotePage(2, "two");
        auto form = makeForm();
        click(*form, "FarbButton4");
        type(*form, "new ");
        click(*form, "FarbButton4");
        QCOMPARE(pageText(1), "new one");
        QCOMPARE(pageText(2), "two");
        QCOMPARE(editor(*form)->toPlainText(), "two");
        QVERIFY(!QFile::exists(pagePath(0)));
    }

    // A page that cannot be saved, read or counted stays shown and current.
    void failuresLeaveThePageAsItWas_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::newRow("save") << "note0.rtf";
        QTest::newRow("read") << "note1.rtf";
        QTest::newRow("settings") << "note.ini";
    }
    void failuresLeaveThePageAsItWas()
    {
        QFETCH(QString, blocked);
        auto form = makeForm();
        type(*form, "kept");
        QVERIFY(QDir().mkpath(data(blocked) + "/x"));
        click(*form, "FarbButton4");
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY2(m_environment.errors[0].message.contains(blocked), qPrintable(m_environment.errors[0].message));
        QCOMPARE(form->windowSettings().Note, 0);
        QCOMPARE(caption(*form), " 0 ");
        QCOMPARE(editor(*form)->toPlainText(), "kept");
        QVERIFY(editor(*form)->document()->isModified());
    }

    void unreadableStartPageIsNeverOverwritten()
    {
        QVERIFY(QDir().mkpath(pagePath(0) + "/x"));
        writeNotePage(1, "one");
        auto form = makeForm();
        QCOMPARE(m_environment.errors.size(), 1);
        type(*form, "lost?");
        auto *text = new QMimeData;
        text->setText("pasted");
        m_environment.setClipboardMimeData(text);
        QTest::keyClick(editor(*form), Qt::Key_Insert, Qt::ShiftModifier);
        click(*form, "FarbButton15");
        click(*form, "Image4");
        QVERIFY(!editor(*form)->document()->isModified());
        click(*form, "FarbButton4");
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(QFileInfo(pagePath(0)).isDir());
        type(*form, "more ");
        QCOMPARE(editor(*form)->toPlainText(), "more one");
    }

    void titleButtonTitlesTheShownPage()
    {
        auto form = makeForm();
        type(*form, "first line");
        QTest::keyClick(editor(*form), Qt::Key_Return);
        type(*form, "second");
        editor(*form)->selectAll();
        click(*form, "FarbButton6");
        QCOMPARE(form->windowSettings().NoteTitle[0], "first linesecond");
        QCOMPARE(caption(*form), " 0 first linesecond");
        QCOMPARE(setting(u"NOTETITLE", u"Title0"), "first linesecond");
        editor(*form)->moveCursor(QTextCursor::End);
        click(*form, "FarbButton6");
        QCOMPARE(setting(u"NOTETITLE", u"Title0"), "");
        QCOMPARE(caption(*form), " 0 ");

        click(*form, "FarbButton1");
        auto *field = form->findChild<QLineEdit *>("Edit2");
        field->setText("bank");
        field->selectAll();
        click(*form, "FarbButton6");
        QCOMPARE(setting(u"PASSTITLE", u"Title0"), "bank");
        QCOMPARE(caption(*form), " 0 bank");
        QCOMPARE(form->windowSettings().NoteTitle[0], "");
    }

    // The editor keeps its page while hidden; the password view pages on
    // its own number.
    void viewSwitchSavesAndKeepsTheNotePage()
    {
        writeNotePage(0, "zero");
        auto form = makeForm();
        type(*form, "edited ");
        click(*form, "FarbButton1");
        QCOMPARE(pageText(0), "edited zero");
        QCOMPARE(setting(u"WINDOW", u"DisplayNP"), "1");
        QVERIFY(!editor(*form)->isVisible());
        QVERIFY(form->findChild<QWidget *>("StringGrid1")->isVisible());
        QCOMPARE(form->findChild<TFarbButton *>("FarbButton1")->toolTip(), "Notizen anzeigen");
        writeNotePage(0, "changed on disk");
        click(*form, "FarbButton4");
        QCOMPARE(form->windowSettings().Pass, 1);
        QCOMPARE(setting(u"WINDOW", u"Pass"), "1");
        QCOMPARE(setting(u"WINDOW", u"Note"), "-");
        click(*form, "FarbButton1");
        QCOMPARE(editor(*form)->toPlainText(), "edited zero");
        QCOMPARE(caption(*form), " 0 ");
    }

    void alarmAreaTogglesShapeAndSetting()
    {
        auto form = makeForm();
        const QRegion before = form->mask();
        for (const char *stored : {"1", "0"}) {
            click(*form, "FarbButton7");
            QCOMPARE(setting(u"WINDOW", u"DisplayAlarm"), stored);
        }
        QVERIFY(form->mask() == before);
    }

    // All three flags are applied: bold on a partly italic selection with
    // the italic flag clear leaves it bold and upright.
    void stylePictureAppliesAllThreeStyles()
    {
        auto form = makeForm();
        type(*form, "plain italic");
        QTextCursor cursor(editor(*form)->document());
        cursor.setPosition(6);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        QTextCharFormat italic;
        italic.setFontItalic(true);
        cursor.mergeCharFormat(italic);
        editor(*form)->selectAll();
        form->RichEditFontBitOk();
        click(*form, "Image4");
        for (int position : {1, 8}) {
            QTextCursor at(editor(*form)->document());
            at.setPosition(position);
            QVERIFY(at.charFormat().fontWeight() >= QFont::Bold);
            QVERIFY(!at.charFormat().fontItalic());
        }
        QVERIFY(editor(*form)->hasFocus() || !QApplication::focusWidget());
        QCOMPARE(form->findChild<QLabel *>("Image4")->pixmap().toImage(),
                 form->findChild<QLabel *>("Image8")->pixmap().toImage());
    }

    // Every key release shows the style and position at the caret.
    void keysRefreshStyleAndPosition()
    {
        auto form = makeForm();
        type(*form, "ab");
        QTextCursor first(editor(*form)->document());
        first.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        first.mergeCharFormat(bold);
        auto picture = [&](const char *name) { return form->findChild<QLabel *>(name)->pixmap().toImage(); };
        const struct { Qt::Key key; const char *shown; const char *position; } steps[] = {
            {Qt::Key_Home, "Image8", "  1:  1"}, {Qt::Key_Right, "Image8", "  1:  2"}, {Qt::Key_End, "Image7", "  1:  3"}};
        for (const auto &step : steps) {
            QTest::keyClick(editor(*form), step.key);
            QVERIFY2(picture("Image4") == picture(step.shown), step.shown);
            QCOMPARE(form->findChild<QLabel *>("Label3")->text(), step.position);
        }
        form->ZS(1233, 0);
        auto *position = form->findChild<QLabel *>("Label3");
        QCOMPARE(position->text(), "1234:  1");
        QVERIFY(position->width() >= position->fontMetrics().horizontalAdvance(position->text()));
    }

    void shiftInsertPastesInTheNoteFont()
    {
        auto form = makeForm();
        QTest::keyClick(editor(*form), Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(editor(*form)->toPlainText(), "");
        QVERIFY(!m_environment.clipboardMimeData());
        auto *html = new QMimeData;
        html->setHtml("<b>bold</b> text");
        m_environment.setClipboardMimeData(html);
        QTest::keyClick(editor(*form), Qt::Key_Insert, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(editor(*form)->toPlainText(), "bold text");
        QTextCursor at(editor(*form)->document());
        at.setPosition(2);
        QCOMPARE(at.charFormat().font().family(), "Comic Sans MS");
        QCOMPARE(at.charFormat().font().pointSize(), 10);
        QVERIFY(at.charFormat().fontWeight() >= QFont::Bold);
        QVERIFY(m_environment.clipboardMimeData()->hasFormat("text/rtf"));
        QCOMPARE(form->findChild<QLabel *>("Label3")->text(), "  1: 10");
    }

    // A button clicked while the window rolls acts once it stands still.
    void signalsWaitForTheRollToEnd()
    {
        ProfileFile(data("note.ini")).writeInteger(u"WINDOW", u"RollEffect", 1);
        auto form = makeForm();
        QList<int> pagesDuringRoll;
        m_environment.whilePaused = [&] {
            emit form->findChild<TFarbButton *>("FarbButton4")->clicked();
            pagesDuringRoll.append(form->windowSettings().Note);
        };
        QTest::mouseClick(form->findChild<QLabel *>("Image1"), Qt::RightButton);
        QVERIFY(!pagesDuringRoll.isEmpty());
        QCOMPARE(pagesDuringRoll, QList<int>(pagesDuringRoll.size(), 0));
        QTRY_COMPARE(form->windowSettings().Note, int(pagesDuringRoll.size() % 10));
    }

    void closingSavesThePageOrStaysOpen()
    {
        auto form = makeForm();
        type(*form, "bye");
        QVERIFY(QDir().mkpath(pagePath(0) + "/x"));
        QVERIFY(!form->close());
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(QDir(pagePath(0)).removeRecursively());
        QVERIFY(form->close());
        QCOMPARE(pageText(0), "bye");
    }

    // The commands' own keys: Ctrl+F and Ctrl+H open the dialogs in the
    // note view only, Escape closes them, F3 searches again without them,
    // Ctrl+Page Down and Up turn the page in both views.
    void commandKeys()
    {
        writeNotePage(0, "one two one one");
        auto form = makeForm();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            QSKIP("The platform does not activate windows.");
        QTest::keyClick(editor(*form), Qt::Key_F, Qt::ControlModifier);
        auto *find = form->findChild<FindReplaceDialog *>("FindDialog1");
        QVERIFY(find && find->isVisible());
        QTest::keyClicks(find->findChild<QLineEdit *>("FindWhat"), "one");
        find->findChild<QPushButton *>("FindNextButton")->click();
        QTest::keyClick(find, Qt::Key_Escape);
        QVERIFY(!find->isVisible());
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        for (int hit : {8, 12, 12}) {
            QTest::keyClick(editor(*form), Qt::Key_F3);
            QCOMPARE(editor(*form)->textCursor().selectionStart(), hit);
        }
        QVERIFY(!find->isVisible());
        QTest::keyClick(editor(*form), Qt::Key_H, Qt::ControlModifier);
        QVERIFY(form->findChild<FindReplaceDialog *>("ReplaceDialog1")->isVisible());
        QTest::keyClick(form->findChild<FindReplaceDialog *>("ReplaceDialog1"), Qt::Key_Escape);
        QVERIFY(!form->findChild<FindReplaceDialog *>("ReplaceDialog1")->isVisible());

        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(editor(*form), Qt::Key_End);
        type(*form, "x");
        QTest::keyClick(editor(*form), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(setting(SettingsKeys::Window, u"Note"), "1");
        QCOMPARE(pageText(0), "one two one onex");
        QTest::keyClick(editor(*form), Qt::Key_PageUp, Qt::ControlModifier);
        QTest::keyClick(editor(*form), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(setting(SettingsKeys::Window, u"Note"), "9");

        click(*form, "FarbButton1");
        QWidget *grid = form->findChild<QWidget *>("StringGrid1");
        QTest::keyClick(grid, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(setting(SettingsKeys::Window, u"Pass"), "1");
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(!find->isVisible());
        QVERIFY(!form->findChild<FindReplaceDialog *>("ReplaceDialog1")->isVisible());
    }

    // The real dialogs over the real window: placed by the editor's right
    // edge on the window's top, waiting for a find text, following the
    // language, and idle while the password view hides the page.
    void findAndReplaceDialogs()
    {
        writeNotePage(0, "one two one");
        auto form = makeForm();
        click(*form, "FarbButton10");
        auto *find = form->findChild<FindReplaceDialog *>("FindDialog1");
        QVERIFY(find && find->isVisible() && !find->isModal());
        QCOMPARE(find->pos(), QPoint(400, form->y()));
        QCOMPARE(find->windowTitle(), "Suchen");
        auto *findNext = find->findChild<QPushButton *>("FindNextButton");
        QVERIFY(!findNext->isEnabled());
        QTest::keyClicks(find->findChild<QLineEdit *>("FindWhat"), "one");
        findNext->click();
        findNext->click();
        QCOMPARE(editor(*form)->textCursor().selectionStart(), 8);
        QCOMPARE(form->findChild<QLabel *>("Label3")->text(), "  1: 12");
        form->windowSettings().Language = "English";
        form->SpracheOk();
        QCOMPARE(find->windowTitle(), "Find");

        click(*form, "FarbButton8");
        auto *replace = form->findChild<FindReplaceDialog *>("ReplaceDialog1");
        QCOMPARE(replace->pos(), QPoint(409, form->y()));
        QCOMPARE(replace->findChild<QPushButton *>("ReplaceAllButton")->text(), "Replace &All");
        QTest::keyClicks(replace->findChild<QLineEdit *>("FindWhat"), "one");
        QTest::keyClicks(replace->findChild<QLineEdit *>("ReplaceWith"), "1");
        replace->findChild<QPushButton *>("ReplaceButton")->click();
        QCOMPARE(editor(*form)->toPlainText(), "one two 1");
        replace->findChild<QPushButton *>("ReplaceAllButton")->click();
        QCOMPARE(editor(*form)->toPlainText(), "1 two 1");

        click(*form, "FarbButton1");
        QCOMPARE(pageText(0), "1 two 1");
        replace->findChild<QLineEdit *>("FindWhat")->setText("1");
        replace->findChild<QPushButton *>("ReplaceAllButton")->click();
        QCOMPARE(editor(*form)->toPlainText(), "1 two 1");
        QVERIFY(m_environment.errors.isEmpty());
    }

    // Every self-drawn control of both views has a role, a name that
    // follows the language, and a press action that does what a click does;
    // the grid reads out a masked password as shown.
    void selfDrawnControlsAreAccessible()
    {
        QVERIFY(writeFile(data("note.ini"), "[WINDOW]\r\nLanguage=English\r\n[ALARM]\r\nAlarm0=01.01.2026   11:00\r\n"));
        auto form = makeForm();
        auto access = [&](const char *name) {
            return QAccessible::queryAccessibleInterface(form->findChild<QWidget *>(name));
        };
        const struct { const char *name; QAccessible::Role role; const char *english, *german; } controls[] = {
            {"FarbButton4", QAccessible::Button, "forward", "vorwärts"},
            {"FarbButton1", QAccessible::Button, "show passwords", "Passwörter anzeigen"},
            {"Image1", QAccessible::Button, "click right to show", "mit rechts Click anzeigen"},
            {"Image3", QAccessible::Button, "click right to show", "mit rechts Click anzeigen"},
            {"Image4", QAccessible::CheckBox, "bold", "Fett"},
            {"Image5", QAccessible::CheckBox, "italic", "Kursiv"},
            {"Image2", QAccessible::Graphic, "alarm 01.01.2026   11:00 passed", "Alarm 01.01.2026   11:00 vorbei"},
            {"FarbButton16", QAccessible::CheckBox, "show passwords", "Passwörter anzeigen"},
        };
        for (const char *language : {"English", "Deutsch"}) {
            form->windowSettings().Language = language;
            form->SpracheOk();
            for (const auto &control : controls) {
                QAccessibleInterface *shown = access(control.name);
                QVERIFY2(shown, control.name);
                QCOMPARE(shown->role(), control.role);
                QCOMPARE(shown->text(QAccessible::Name), QString(language) == "English" ? control.english : control.german);
                QCOMPARE(shown->actionInterface()->actionNames().isEmpty(), control.role == QAccessible::Graphic);
            }
        }
        // And every other one of them, in both views: a role, a name, an action.
        for (int view = 0; view < 2; ++view) {
            QList<QWidget *> selfDrawn;
            for (QWidget *control : form->findChildren<QWidget *>()) {
                if (control->isVisibleTo(form.get()) && (qobject_cast<TFarbButton *>(control)
                                                         || control->inherits("ClickLabel")))
                    selfDrawn << control;
            }
            QVERIFY(selfDrawn.size() >= 15);
            for (QWidget *control : selfDrawn) {
                QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(control);
                const QByteArray name = control->objectName().toLatin1();
                QVERIFY2(shown->role() == QAccessible::Button || shown->role() == QAccessible::CheckBox, name);
                QVERIFY2(!shown->text(QAccessible::Name).isEmpty(), name + " has no name");
                QVERIFY2(shown->actionInterface()->actionNames().size() == 1, name);
            }
            click(*form, "FarbButton1");
        }
        QAccessibleInterface *colorLabel =
            QAccessible::queryAccessibleInterface(form->findChild<QWidget *>("KladdoDlg")->findChild<ClickLabel *>("Label3"));
        QCOMPARE(colorLabel->role(), QAccessible::Button);
        QCOMPARE(colorLabel->text(QAccessible::Name), "Color 1"); // as the dialog was made
        const auto press = [&](const char *name) {
            QAccessibleActionInterface *actions = access(name)->actionInterface();
            actions->doAction(actions->actionNames().value(0));
        };
        QVERIFY(!access("Image4")->state().checked);
        press("Image4");
        QVERIFY(access("Image4")->state().checked);
        type(*form, "b");
        QVERIFY(editor(*form)->document()->begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
        press("Image1");
        QCOMPARE(form->x(), 1920 - 525);
        press("FarbButton4");
        QCOMPARE(setting(SettingsKeys::Window, u"Note"), "1");

        press("FarbButton1");
        auto *grid = form->findChild<PassGrid *>("StringGrid1");
        grid->setCurrentCell(1, PassPasswordColumn);
        QTest::keyClicks(grid, "secret");
        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->cellAt(1, PassPasswordColumn)->text(QAccessible::Name), "******");
        QVERIFY(!access("FarbButton16")->state().checked);
        press("FarbButton16");
        QVERIFY(access("FarbButton16")->state().checked);
        QCOMPARE(table->cellAt(1, PassPasswordColumn)->text(QAccessible::Name), "secret");
    }
};

QTEST_MAIN(TestNotePages)
#include "tst_NotePages.moc"
