#include "notes/NoteClipboard.h"
#include "notes/NoteEditor.h"
#include "notes/NotePage.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include "support/RichTextDump.h"

#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextList>

#include <functional>

using MimeRecipe = std::function<void(QMimeData &)>;
Q_DECLARE_METATYPE(MimeRecipe)

char *toString(const CharStyle &style)
{
    return qstrdup(QStringLiteral("b=%1 i=%2 u=%3").arg(style.bold).arg(style.italic).arg(style.underline).toLatin1());
}

namespace {

std::unique_ptr<QTextDocument> page(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(text);
    return document;
}

std::unique_ptr<QTextDocument> richPage(const QString &html)
{
    auto document = std::make_unique<QTextDocument>();
    document->setHtml(html);
    return document;
}

void select(NoteEditor &editor, int anchor, int position)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

// The colour of the document's first picture as its resource loads.
QString firstPictureColor(const QTextDocument &document)
{
    const QString name = document.find(QString(QChar::ObjectReplacementCharacter)).charFormat().toImageFormat().name();
    const QPixmap picture = document.resource(QTextDocument::ImageResource, QUrl(name)).value<QPixmap>();
    return picture.isNull() ? QStringLiteral("missing") : picture.toImage().pixelColor(0, 0).name();
}

} // namespace

class TestNoteEditor : public QObject
{
    Q_OBJECT

private slots:
    void caretPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");

        const QString tenLines = QStringLiteral("l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9");
        const QString broken = QStringLiteral("ab\u2028cd\u2028ef\ngh"); // "gh" starts at 9
        QTest::newRow("start of page") << tenLines << 0 << 0 << QString() << 0 << 0;
        QTest::newRow("typed on line 7") << tenLines << 21 << 21 << QStringLiteral("x\ty") << 7 << 3;
        QTest::newRow("after a line break") << broken << 3 << 3 << QString() << 1 << 0;
        QTest::newRow("paragraph after breaks") << broken << 10 << 10 << QString() << 3 << 1;
        QTest::newRow("selection made backwards") << broken << 10 << 4 << QString() << 3 << 1;
        QTest::newRow("typed line break") << broken << 10 << 10 << QStringLiteral("\u2028x") << 4 << 1;
        QTest::newRow("typed on a new editor's page") << QString() << 0 << 0 << QStringLiteral("a\u2028b\nc") << 2 << 1;
    }

    void caretPosition()
    {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, typed);
        QFETCH(int, line);
        QFETCH(int, column);
        NoteEditor editor;
        if (!text.isEmpty())
            editor.replaceDocument(page(text));
        select(editor, anchor, position);
        for (const QChar c : typed) {
            if (c == QChar::LineSeparator || c == u'\n')
                QTest::keyClick(&editor, Qt::Key_Return, c == u'\n' ? Qt::NoModifier : Qt::ShiftModifier);
            else
                QTest::keyClicks(&editor, QString(c));
        }
        QCOMPARE(editor.caretPosition().line, line);
        QCOMPARE(editor.caretPosition().column, column);
    }

    void staleLineCountsAreCountedOver()
    {
        auto counted = page(QStringLiteral("a\u2028b\nc"));
        counted->begin().setLineCount(7); // as another layout may leave it
        NoteEditor editor;
        editor.replaceDocument(std::move(counted));
        editor.moveCursor(QTextCursor::End);
        QCOMPARE(editor.caretPosition().line, 2);
    }

    void styles()
    {
        NoteEditor editor;
        editor.replaceDocument(richPage(QStringLiteral("plain<i><s>italic</s></i><b>bold</b>")));
        select(editor, 5, 13);
        QCOMPARE(editor.selectionStyle(), (CharStyle{false, true, false})); // its first character's
        select(editor, 13, 4);
        QCOMPARE(editor.selectionStyle(), CharStyle{});
        select(editor, 15, 15);
        QCOMPARE(editor.selectionStyle(), (CharStyle{true, false, false})); // the character before the caret

        select(editor, 3, 8); // "in" plain, "ita" italic and struck out
        editor.applyStyle({true, false, false});
        QVERIFY(editor.document()->isModified());
        QCOMPARE(RichTextDump::document(*editor.document()),
                 QStringLiteral("[left] {MS Sans Serif 8}pla {MS Sans Serif 8 b}in {MS Sans Serif 8 b}ita "
                                "{MS Sans Serif 8 i s}lic {MS Sans Serif 8 b}bold"));

        editor.moveCursor(QTextCursor::End);
        editor.document()->setModified(false);
        editor.applyStyle({false, true, true});
        QVERIFY(!editor.document()->isModified());
        QCOMPARE(editor.selectionStyle(), (CharStyle{false, true, true}));
        QTest::keyClicks(&editor, QStringLiteral("z"));
        QCOMPARE(RichTextDump::formatOf(*editor.document(), QStringLiteral("z")), QStringLiteral("MS Sans Serif 8 i u"));
    }

    void replaceDocument()
    {
        NoteEditor editor;
        QTest::keyClicks(&editor, QStringLiteral("typed"));
        QPointer<QTextDocument> previous = editor.document();
        auto next = page(QStringLiteral("x\ny"));
        next->setDefaultFont(QFont(QStringLiteral("Arial"), 12));
        QTextCursor(next.get()).insertText(QStringLiteral("undoable "));
        QPointer<QTextDocument> given = next.get();
        editor.replaceDocument(std::move(next));

        QVERIFY(previous.isNull());
        QCOMPARE(editor.document(), given.data());
        QVERIFY(!given->isModified());
        QVERIFY(!given->isUndoAvailable());
        QCOMPARE(editor.textCursor().position(), 0);
        QCOMPARE(given->defaultFont(), QFont(QStringLiteral("Arial"), 12)); // a font of its own stays

        editor.replaceDocument(page(QStringLiteral("fontless")));
        QVERIFY(given.isNull());
        QCOMPARE(editor.document()->defaultFont(), NotePage::defaultFont());
        QVERIFY(!editor.selectionMimeData()); // nothing selected
        editor.replaceDocument(nullptr);
        QVERIFY(editor.document()->isEmpty());

        // The caret's format on the page before must not carry over: what is
        // typed at the new page's start takes that page's format.
        editor.replaceDocument(richPage(QStringLiteral("<i>italic</i>")));
        editor.moveCursor(QTextCursor::End);
        editor.replaceDocument(richPage(QStringLiteral("<b>bold</b>")));
        QCOMPARE(editor.selectionStyle(), (CharStyle{true, false, false}));
        QTest::keyClicks(&editor, QStringLiteral("z"));
        QCOMPARE(RichTextDump::formatOf(*editor.document(), QStringLiteral("z")), QStringLiteral("MS Sans Serif 8 b"));
    }

    void clipboardRoundTrip()
    {
        NoteEditor source;
        source.setHtml(QStringLiteral("<p>one <b><i style=\"color:#c80000\">two</i></b></p><p><b>three</b></p>"));
        select(source, 2, 11);
        QCOMPARE(source.selectedText(), QStringLiteral("e two\u2029thr"));
        const std::unique_ptr<QMimeData> data(source.selectionMimeData());
        QCOMPARE(data->formats(), QStringList({"text/rtf", "application/rtf", "text/html", "text/plain"}));

        const QString expected = QStringLiteral("[left] {MS Sans Serif 8}[ {MS Sans Serif 8}e  "
                                                "{MS Sans Serif 8 b i fg=#c80000}two\n"
                                                "[left] {MS Sans Serif 8 b}thr {MS Sans Serif 8}]");
        NoteEditor target;
        target.replaceDocument(page(QStringLiteral("[]")));
        select(target, 1, 1);
        QVERIFY(target.insertMimeData(data.get()));
        QVERIFY(target.document()->isModified());
        QCOMPARE(RichTextDump::document(*target.document()), expected);
        target.undo();
        QCOMPARE(target.toPlainText(), QStringLiteral("[]"));

        select(target, 1, 1);
        source.copy(); // Ctrl+C and Ctrl+V take the same way
        target.paste();
        QCOMPARE(RichTextDump::document(*target.document()), expected);
    }

    void paste_data()
    {
        QTest::addColumn<MimeRecipe>("recipe");
        QTest::addColumn<QString>("expected"); // empty: nothing to paste

        const auto offering = [](const QByteArrayList &types) {
            return MimeRecipe([types](QMimeData &data) {
                data.setText(QStringLiteral("text"));
                data.setHtml(QStringLiteral("<p>html</p>"));
                for (const QByteArray &type : types)
                    data.setData(QString::fromLatin1(type), "{\\rtf1 " + type + "}");
            });
        };
        QTest::newRow("text/rtf first") << offering({"text/richtext", "application/rtf", "text/rtf"})
                                        << QStringLiteral("[left] {MS Sans Serif 12}text/rtf");
        QTest::newRow("then application/rtf") << offering({"text/richtext", "application/rtf"})
                                              << QStringLiteral("[left] {MS Sans Serif 12}application/rtf");
        QTest::newRow("then text/richtext") << offering({"text/richtext"})
                                            << QStringLiteral("[left] {MS Sans Serif 12}text/richtext");
        QTest::newRow("then html") << offering({}) << QStringLiteral("[left] {MS Sans Serif 8}html");
        QTest::newRow("then text") << MimeRecipe([](QMimeData &data) {
            data.setData(QStringLiteral("text/rtf"), "{\\rtf1 }");
            data.setText(QStringLiteral("text"));
        }) << QStringLiteral("[left] {MS Sans Serif 8}text");
        QTest::newRow("browser html") << MimeRecipe([](QMimeData &data) {
            data.setHtml(QStringLiteral("<html><body><!--StartFragment--><b>x</b><!--EndFragment--></body></html>"));
        }) << QStringLiteral("[left] {MS Sans Serif 8 b}x");
        QTest::newRow("no formats") << MimeRecipe([](QMimeData &) {}) << QString();
        QTest::newRow("empty text") << MimeRecipe([](QMimeData &data) { data.setText(QString()); }) << QString();
        QTest::newRow("empty rtf") << MimeRecipe([](QMimeData &data) {
            data.setData(QStringLiteral("text/rtf"), {});
        }) << QString();
    }

    void paste()
    {
        QFETCH(MimeRecipe, recipe);
        QFETCH(QString, expected);
        QMimeData data;
        recipe(data);
        NoteEditor editor;
        editor.replaceDocument(page(QStringLiteral("kept")));
        editor.selectAll();
        QCOMPARE(NoteClipboard::canPaste(&data), !expected.isEmpty());
        QCOMPARE(editor.insertMimeData(&data), !expected.isEmpty());
        QCOMPARE(editor.document()->isModified(), !expected.isEmpty());
        QCOMPARE(RichTextDump::document(*editor.document()),
                 expected.isEmpty() ? QStringLiteral("[left] {MS Sans Serif 8}kept") : expected);
        QVERIFY(!editor.insertMimeData(nullptr));
        QVERIFY(!NoteClipboard::normalised(nullptr));
    }

    // What word processors put on the clipboard: a Japanese line in its code
    // page and a numbered list from the list table, pasted as it is and
    // through the normalising paste.
    void pastedRtfComesWhole()
    {
        QMimeData data;
        data.setData(QStringLiteral("text/rtf"),
                     "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}"
                     "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
                     "{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'03\\'00.\\'01;}{\\levelnumbers\\'01\\'03;}}\\listid1}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                     "\\f0 \\'93\\'fa\\'96\\'7b\\'8c\\'ea\\par"
                     "{\\listtext 1.\\tab}\\ls1 one\\par{\\listtext 1.1\\tab}\\ls1\\ilvl1 sub\\par}");
        const std::unique_ptr<QMimeData> normalised(NoteClipboard::normalised(&data));
        for (const QMimeData *pasted : {&data, normalised.get()}) {
            NoteEditor editor;
            QVERIFY(editor.insertMimeData(pasted));
            QStringList lines;
            for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
                lines << (block.textList() ? block.textList()->itemText(block) + ' ' : QString()) + block.text();
            QCOMPARE(lines, QStringList({u"日本語"_qs, "1. one", "1.1 sub"}));
        }
    }

    void normalised_data()
    {
        QTest::addColumn<MimeRecipe>("recipe");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one word") << MimeRecipe([](QMimeData &data) { data.setText(QStringLiteral("abc")); })
                                  << QStringLiteral("[left] {Comic Sans MS 10}abc");
        QTest::newRow("ends in a paragraph break")
            << MimeRecipe([](QMimeData &data) { data.setText(QStringLiteral("a\nb\n")); })
            << QStringLiteral("[left] {Comic Sans MS 10}a\n[left] {Comic Sans MS 10}b\n[left] {Comic Sans MS 10}");
        QTest::newRow("rich") << MimeRecipe([](QMimeData &data) {
            data.setHtml(QStringLiteral("<p><span style=\"font-family:Arial; font-size:20px; color:#0000ff\">"
                                        "<b>big</b></span> <i style=\"font-size:x-large\">small</i></p>"
                                        "<p style=\"-qt-paragraph-type:empty; font-size:20pt\"><br /></p>"
                                        "<p><u>next</u></p>"));
        }) << QStringLiteral("[left] {Comic Sans MS 10 b fg=#0000ff}big {Comic Sans MS 10}  {Comic Sans MS 10 i}small\n"
                             "[left] {Comic Sans MS 10}\n[left] {Comic Sans MS 10 u}next");
    }

    void normalised()
    {
        QFETCH(MimeRecipe, recipe);
        QFETCH(QString, expected);
        QMimeData input;
        recipe(input);
        const std::unique_ptr<QMimeData> once(NoteClipboard::normalised(&input));
        QTextDocument pasted;
        RtfReader::read(once->data(QStringLiteral("text/rtf")), &pasted);
        QCOMPARE(RichTextDump::document(pasted), expected);
        QCOMPARE(once->text(), RichTextDump::text(pasted));
        QTextDocument html;
        html.setHtml(once->html());
        QCOMPARE(RichTextDump::document(html), expected);

        const std::unique_ptr<QMimeData> twice(NoteClipboard::normalised(once.get()));
        QCOMPARE(twice->text(), once->text());
    }

    void picturesTravel()
    {
        QImage red(4, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        QMimeData image;
        image.setImageData(red);
        NoteEditor editor;
        QVERIFY(editor.insertMimeData(&image));
        QCOMPARE(firstPictureColor(*editor.document()), QStringLiteral("#ff0000"));

        // A page read from its file holds its pictures as named resources.
        auto read = std::make_unique<QTextDocument>();
        RtfReader::read(RtfWriter::write(editor.document()), read.get());
        editor.replaceDocument(std::move(read));
        editor.selectAll();
        const std::unique_ptr<QMimeData> copied(editor.selectionMimeData());
        NoteEditor target;
        QVERIFY(target.insertMimeData(copied.get()));
        QCOMPARE(firstPictureColor(*target.document()), QStringLiteral("#ff0000"));
    }
};

QTEST_MAIN(TestNoteEditor)
#include "tst_NoteEditor.moc"
