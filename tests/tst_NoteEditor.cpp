#include "notes/NoteClipboard.h"
#include "notes/NoteEditor.h"
#include "notes/NotePage.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include "support/RichTextDump.h"

#include <QMimeData>
#include <QPointer>
#include <QTest>

#include <functional>

using MimeRecipe = std::function<void(QMimeData &)>;
Q_DECLARE_METATYPE(MimeRecipe)
Q_DECLARE_METATYPE(CharStyle)

char *toString(const CharStyle &style)
{
    return qstrdup(QByteArray("bold=") + (style.bold ? "1" : "0") + " italic=" + (style.italic ? "1" : "0")
                   + " underline=" + (style.underline ? "1" : "0"));
}

namespace {

QTextCharFormat format(const std::function<void(QTextCharFormat &)> &set)
{
    QTextCharFormat f;
    set(f);
    return f;
}

const QTextCharFormat kPlain;
const QTextCharFormat kBold = format([](auto &f) { f.setFontWeight(QFont::Bold); });
const QTextCharFormat kItalicStruck = format([](auto &f) {
    f.setFontItalic(true);
    f.setFontStrikeOut(true);
});
const QTextCharFormat kBoldItalicRed = format([](auto &f) {
    f.setFontWeight(QFont::Bold);
    f.setFontItalic(true);
    f.setForeground(QColor(200, 0, 0));
});

// "plain" then "italic" (italic, struck out) then "bold": 0-5, 5-11, 11-15.
std::unique_ptr<QTextDocument> styledDocument()
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("plain"), kPlain);
    cursor.insertText(QStringLiteral("italic"), kItalicStruck);
    cursor.insertText(QStringLiteral("bold"), kBold);
    return document;
}

std::unique_ptr<QTextDocument> plainDocument(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(text);
    return document;
}

void select(NoteEditor &editor, int anchor, int position)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

QString text(const NoteEditor &editor)
{
    return RichTextDump::text(*editor.document());
}

// The format of every character, in order.
QStringList charFormats(const QTextDocument &document)
{
    QStringList formats;
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    for (int position = 1; position < document.characterCount(); ++position) {
        cursor.setPosition(position);
        formats << RichTextDump::charFormat(document, cursor.charFormat());
    }
    return formats;
}

// Family and size of every run as it is shown: sizes in pixels or steps
// count too.
QSet<QString> shownFonts(const QTextDocument &document)
{
    QSet<QString> fonts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QFont font = it.fragment().charFormat().font();
            fonts << font.family() + QLatin1Char(' ') + QString::number(font.pointSizeF());
        }
    }
    return fonts;
}

QString rtfText(const QByteArray &rtf)
{
    QTextDocument document;
    RtfReader::read(rtf, &document);
    return RichTextDump::text(document);
}

QImage redImage()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

// The colour of each picture in document, as its resource loads.
QStringList imageColors(const QTextDocument &document)
{
    QStringList colors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().isImageFormat())
                continue;
            const QVariant resource = document.resource(QTextDocument::ImageResource,
                                                        QUrl(it.fragment().charFormat().toImageFormat().name()));
            const QImage image = resource.typeId() == QMetaType::QPixmap ? resource.value<QPixmap>().toImage()
                                                                        : resource.value<QImage>();
            colors << (image.isNull() ? QStringLiteral("missing") : image.pixelColor(0, 0).name());
        }
    }
    return colors;
}

} // namespace

class TestNoteEditor : public QObject
{
    Q_OBJECT

private slots:
    void looksLikeTheNotePad()
    {
        NoteEditor editor;
        QCOMPARE(editor.frameShape(), QFrame::NoFrame);
        QCOMPARE(editor.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(editor.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(editor.lineWrapMode(), QTextEdit::NoWrap);
        QCOMPARE(editor.document()->defaultFont(), NotePage::defaultFont());
        QTest::keyClicks(&editor, QStringLiteral("a\tb"));
        QCOMPARE(text(editor), QStringLiteral("a\tb"));
    }

    void caretPosition_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");

        const QString tenLines = QStringLiteral("l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9");
        const QString broken = QStringLiteral("ab\u2028cd\u2028ef\ngh");
        QTest::newRow("start of page") << tenLines << 0 << 0 << QString() << 0 << 0;
        QTest::newRow("typed on line 7") << tenLines << 21 << 21 << QStringLiteral("xyz") << 7 << 3;
        QTest::newRow("after a line break") << broken << 3 << 3 << QString() << 1 << 0;
        QTest::newRow("inside the last piece") << broken << 7 << 7 << QString() << 2 << 1;
        QTest::newRow("paragraph after breaks") << broken << 10 << 10 << QString() << 3 << 1;
        QTest::newRow("selection end before anchor") << broken << 10 << 4 << QString() << 1 << 1;
        QTest::newRow("selection end after anchor") << broken << 0 << 10 << QString() << 3 << 1;
        // Shift+Return types a line break; the lines after it move down.
        QTest::newRow("typed line break") << broken << 10 << 10 << QStringLiteral("\u2028x") << 4 << 1;
    }

    void caretPosition()
    {
        QFETCH(QString, page);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, typed);
        NoteEditor editor;
        editor.replaceDocument(plainDocument(page));
        select(editor, anchor, position);
        for (const QChar c : typed) {
            if (c == QChar::LineSeparator)
                QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
            else
                QTest::keyClick(&editor, c.toLatin1());
        }
        QFETCH(int, line);
        QFETCH(int, column);
        const CaretPosition caret = editor.caretPosition();
        QCOMPARE(caret.line, line);
        QCOMPARE(caret.column, column);
    }

    void lineCountsFollowEdits()
    {
        NoteEditor editor;
        editor.replaceDocument(plainDocument(QStringLiteral("a\u2028b\u2028c\nd")));
        select(editor, 1, 4); // "\u2028b\u2028" goes
        editor.textCursor().removeSelectedText();
        editor.moveCursor(QTextCursor::End);
        QCOMPARE(editor.caretPosition().line, 1);
        editor.undo();
        editor.moveCursor(QTextCursor::End);
        QCOMPARE(editor.caretPosition().line, 3);

        // Counts left in a document by someone else are counted over.
        auto counted = plainDocument(QStringLiteral("a\nb\u2028c\nd"));
        counted->begin().setLineCount(5);
        editor.replaceDocument(std::move(counted));
        editor.moveCursor(QTextCursor::End);
        QCOMPARE(editor.caretPosition().line, 3);
    }

    void selectionStyle_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<CharStyle>("expected");

        QTest::newRow("selection starting on italic") << 5 << 13 << CharStyle{false, true, false};
        QTest::newRow("backwards selection ending on plain") << 13 << 4 << CharStyle{false, false, false};
        QTest::newRow("caret after bold") << 15 << 15 << CharStyle{true, false, false};
        QTest::newRow("caret at the start takes the first character") << 0 << 0 << CharStyle{};
    }

    void selectionStyle()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(CharStyle, expected);
        NoteEditor editor;
        editor.replaceDocument(styledDocument());
        select(editor, anchor, position);
        QCOMPARE(editor.selectionStyle(), expected);
    }

    void applyStyleSetsExactlyTheStyleOnTheSelection()
    {
        NoteEditor editor;
        editor.replaceDocument(styledDocument());
        select(editor, 3, 8); // "in" plain, "ita" italic and struck out
        editor.applyStyle({true, false, false});
        QVERIFY(editor.document()->isModified());
        const QString plain = QStringLiteral("MS Sans Serif 8");
        const QString bold = QStringLiteral("MS Sans Serif 8 b");
        const QString italicStruck = QStringLiteral("MS Sans Serif 8 i s");
        QCOMPARE(charFormats(*editor.document()), QStringList() << plain << plain << plain << bold << bold << bold << bold
                                                                << bold << italicStruck << italicStruck << italicStruck
                                                                << bold << bold << bold << bold);
        QCOMPARE(editor.selectionStyle(), (CharStyle{true, false, false}));
        editor.undo();
        QCOMPARE(RichTextDump::formatOf(*editor.document(), QStringLiteral("ita")), QStringLiteral("MS Sans Serif 8 i s"));
    }

    void applyStyleWithoutSelectionStylesWhatIsTypedNext()
    {
        NoteEditor editor;
        editor.replaceDocument(styledDocument());
        editor.moveCursor(QTextCursor::End);
        editor.applyStyle({false, true, true});
        QVERIFY(!editor.document()->isModified());
        QCOMPARE(editor.selectionStyle(), (CharStyle{false, true, true}));
        QTest::keyClicks(&editor, QStringLiteral("z"));
        QCOMPARE(RichTextDump::formatOf(*editor.document(), QStringLiteral("z")), QStringLiteral("MS Sans Serif 8 i u"));
    }

    void replaceDocumentStartsAFreshPage()
    {
        NoteEditor editor;
        QTest::keyClicks(&editor, QStringLiteral("typed"));
        QPointer<QTextDocument> previous = editor.document();

        auto ownFont = plainDocument(QStringLiteral("x\ny"));
        ownFont->setDefaultFont(QFont(QStringLiteral("Arial"), 12));
        ownFont->setModified(true);
        QTextCursor(ownFont.get()).insertText(QStringLiteral("undoable "));
        QTextDocument *given = ownFont.get();
        editor.replaceDocument(std::move(ownFont));

        QVERIFY(previous.isNull());
        QCOMPARE(editor.document(), given);
        QCOMPARE(given->parent(), &editor);
        QVERIFY(!given->isModified());
        QVERIFY(!given->isUndoAvailable());
        QCOMPARE(editor.textCursor().position(), 0);
        QCOMPARE(given->defaultFont(), QFont(QStringLiteral("Arial"), 12));

        QPointer<QTextDocument> replaced = given;
        editor.replaceDocument(plainDocument(QStringLiteral("fontless")));
        QVERIFY(replaced.isNull());
        QCOMPARE(editor.document()->defaultFont(), NotePage::defaultFont());
        editor.replaceDocument(nullptr);
        QVERIFY(editor.document()->isEmpty());
    }

    void clipboardRoundTripKeepsFormats()
    {
        NoteEditor source;
        auto document = std::make_unique<QTextDocument>();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("one "), kPlain);
        cursor.insertText(QStringLiteral("two"), kBoldItalicRed);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("three"), kBold);
        source.replaceDocument(std::move(document));
        select(source, 2, 11); // "e two\nthr"
        QCOMPARE(source.selectedText(), QStringLiteral("e two\u2029thr"));

        const std::unique_ptr<QMimeData> data(source.selectionMimeData());
        QVERIFY(data);
        for (const char *type : {"text/rtf", "application/rtf", "text/html", "text/plain"})
            QVERIFY2(data->hasFormat(QLatin1StringView(type)), type);
        QCOMPARE(data->text(), QStringLiteral("e two\nthr"));

        const QString expected = QStringLiteral("[left] {MS Sans Serif 8}[ {MS Sans Serif 8}e  "
                                                "{MS Sans Serif 8 b i fg=#c80000}two\n"
                                                "[left] {MS Sans Serif 8 b}thr {MS Sans Serif 8}]");
        NoteEditor target;
        target.replaceDocument(plainDocument(QStringLiteral("[]")));
        select(target, 1, 1);
        QVERIFY(target.insertMimeData(data.get()));
        QVERIFY(target.document()->isModified());
        QCOMPARE(RichTextDump::document(*target.document()), expected);
        target.undo();
        QCOMPARE(text(target), QStringLiteral("[]"));

        // Ctrl+C and Ctrl+V take the same way.
        select(target, 1, 1);
        source.copy();
        target.paste();
        QCOMPARE(RichTextDump::document(*target.document()), expected);
        QVERIFY(source.canPaste());
    }

    void pastePrefersRtfThenHtmlThenText_data()
    {
        QTest::addColumn<MimeRecipe>("recipe");
        QTest::addColumn<QString>("expected");

        const auto with = [](const QByteArrayList &types) {
            return MimeRecipe([types](QMimeData &data) {
                for (const QByteArray &name : types) {
                    if (name == "text/html")
                        data.setHtml(QStringLiteral("<p>html</p>"));
                    else if (name == "text/plain")
                        data.setText(QStringLiteral("plain"));
                    else
                        data.setData(QString::fromLatin1(name), "{\\rtf1 " + name + "}");
                }
            });
        };
        QTest::newRow("rtf over everything")
            << with({"text/plain", "text/html", "text/richtext", "application/rtf", "text/rtf"})
            << QStringLiteral("text/rtf");
        QTest::newRow("application/rtf") << with({"text/plain", "text/html", "application/rtf"})
                                         << QStringLiteral("application/rtf");
        QTest::newRow("text/richtext") << with({"text/plain", "text/html", "text/richtext"})
                                       << QStringLiteral("text/richtext");
        QTest::newRow("html over text") << with({"text/plain", "text/html"}) << QStringLiteral("html");
        QTest::newRow("text") << with({"text/plain"}) << QStringLiteral("plain");
        QTest::newRow("empty rtf falls through") << MimeRecipe([](QMimeData &data) {
            data.setData(QStringLiteral("text/rtf"), "{\\rtf1 }");
            data.setText(QStringLiteral("plain"));
        }) << QStringLiteral("plain");
    }

    void pastePrefersRtfThenHtmlThenText()
    {
        QFETCH(MimeRecipe, recipe);
        QFETCH(QString, expected);
        QMimeData data;
        recipe(data);
        NoteEditor editor;
        QVERIFY(NoteClipboard::canPaste(&data));
        QVERIFY(editor.insertMimeData(&data));
        QCOMPARE(text(editor), expected);
    }

    void nothingToPaste_data()
    {
        QTest::addColumn<MimeRecipe>("recipe");
        QTest::newRow("no formats") << MimeRecipe([](QMimeData &) {});
        QTest::newRow("empty text") << MimeRecipe([](QMimeData &data) { data.setText(QString()); });
        QTest::newRow("empty rtf") << MimeRecipe([](QMimeData &data) { data.setData(QStringLiteral("text/rtf"), {}); });
        QTest::newRow("unknown format") << MimeRecipe([](QMimeData &data) {
            data.setData(QStringLiteral("application/x-other"), "bytes");
        });
    }

    void nothingToPaste()
    {
        QFETCH(MimeRecipe, recipe);
        QMimeData data;
        recipe(data);
        NoteEditor editor;
        editor.replaceDocument(plainDocument(QStringLiteral("kept")));
        select(editor, 0, 4);
        QVERIFY(!NoteClipboard::canPaste(&data));
        QVERIFY(!editor.insertMimeData(&data));
        QVERIFY(!NoteClipboard::normalised(&data));
        QCOMPARE(text(editor), QStringLiteral("kept"));
        QVERIFY(!editor.document()->isModified());
        QVERIFY(!editor.insertMimeData(nullptr));
        QVERIFY(!NoteClipboard::fragmentFrom(nullptr));

        select(editor, 2, 2);
        QVERIFY(!editor.selectionMimeData());
    }

    void browserHtmlPastesBold()
    {
        QMimeData data;
        data.setHtml(QStringLiteral("<html><body><!--StartFragment--><b>x</b><!--EndFragment--></body></html>"));
        NoteEditor editor;
        QVERIFY(editor.insertMimeData(&data));
        QCOMPARE(text(editor), QStringLiteral("x"));
        QVERIFY(editor.document()->begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
    }

    void normalisedSetsTheFontAndKeepsTheRest()
    {
        QMimeData input;
        input.setHtml(QStringLiteral("<p><span style=\"font-family:Arial; font-size:20px; color:#0000ff\"><b>big</b>"
                                     "</span> <i style=\"font-size:x-large\">small</i></p>"
                                     "<p style=\"-qt-paragraph-type:empty; font-family:Arial; font-size:20pt\"><br /></p>"
                                     "<p><u>next</u></p>"
                                     "<p style=\"-qt-paragraph-type:empty; font-size:20pt\"><br /></p>"));
        const std::unique_ptr<QMimeData> output(NoteClipboard::normalised(&input));
        QVERIFY(output);
        QCOMPARE(output->text(), QStringLiteral("big small\n\nnext\n"));

        QTextDocument pasted;
        RtfReader::read(output->data(QStringLiteral("text/rtf")), &pasted);
        QCOMPARE(RichTextDump::document(pasted),
                 QStringLiteral("[left] {Comic Sans MS 10 b fg=#0000ff}big {Comic Sans MS 10}  {Comic Sans MS 10 i}small\n"
                                "[left] {Comic Sans MS 10}\n"
                                "[left] {Comic Sans MS 10 u}next\n"
                                "[left] {Comic Sans MS 10}"));
        QCOMPARE(output->data(QStringLiteral("application/rtf")), output->data(QStringLiteral("text/rtf")));
        QTextDocument html;
        html.setHtml(output->html());
        QCOMPARE(shownFonts(html), QSet<QString>{QStringLiteral("Comic Sans MS 10")});
    }

    void normalisedTextIsExactAndStable_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one word") << QStringLiteral("abc") << QStringLiteral("abc");
        QTest::newRow("ends in a paragraph break") << QStringLiteral("a\nb\n") << QStringLiteral("a\nb\n");
        QTest::newRow("empty lines") << QStringLiteral("\n\na\n\n") << QStringLiteral("\n\na\n\n");
    }

    void normalisedTextIsExactAndStable()
    {
        QFETCH(QString, plain);
        QFETCH(QString, expected);
        QMimeData input;
        input.setText(plain);
        const std::unique_ptr<QMimeData> once(NoteClipboard::normalised(&input));
        const std::unique_ptr<QMimeData> twice(NoteClipboard::normalised(once.get()));
        QCOMPARE(once->text(), expected);
        QCOMPARE(rtfText(once->data(QStringLiteral("text/rtf"))), expected);
        QCOMPARE(twice->text(), expected);
        QCOMPARE(rtfText(twice->data(QStringLiteral("text/rtf"))), expected);
    }

    void picturesTravel()
    {
        QMimeData image;
        image.setImageData(redImage());
        NoteEditor source;
        QVERIFY(source.insertMimeData(&image));
        QCOMPARE(imageColors(*source.document()), QStringList{QStringLiteral("#ff0000")});

        // A page read from a file keeps its pictures as named resources,
        // which a fragment alone leaves behind.
        QTextDocument page;
        QTextCursor cursor(&page);
        page.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("red")), redImage());
        cursor.insertText(QStringLiteral("a"));
        cursor.insertImage(QStringLiteral("red"));
        auto read = std::make_unique<QTextDocument>();
        RtfReader::read(RtfWriter::write(&page), read.get());
        source.replaceDocument(std::move(read));
        source.selectAll();
        const std::unique_ptr<QMimeData> copied(source.selectionMimeData());

        NoteEditor target;
        QVERIFY(target.insertMimeData(copied.get()));
        QCOMPARE(imageColors(*target.document()), QStringList{QStringLiteral("#ff0000")});
        QTextDocument saved;
        RtfReader::read(RtfWriter::write(target.document()), &saved);
        QCOMPARE(imageColors(saved), QStringList{QStringLiteral("#ff0000")});
    }
};

QTEST_MAIN(TestNoteEditor)
#include "tst_NoteEditor.moc"
