#include "notes/FindReplace.h"

#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

// Pages are written with the selection in braces, anchor first, or the
// caret as a bar; a line feed starts a paragraph.
namespace {

void setPage(QTextEdit &editor, QString marked)
{
    const qsizetype caret = marked.indexOf(u'|');
    const qsizetype open = marked.indexOf(u'{');
    const qsizetype close = marked.indexOf(u'}') - 1;
    marked.remove(u'|').remove(u'{').remove(u'}');
    editor.setPlainText(marked);
    QTextCursor cursor(editor.document());
    cursor.setPosition(int(caret >= 0 ? caret : open));
    if (caret < 0)
        cursor.setPosition(int(close), QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

QString markedPage(const QTextEdit &editor)
{
    const QTextCursor cursor = editor.textCursor();
    QString text = editor.toPlainText();
    if (!cursor.hasSelection())
        return text.insert(cursor.position(), u'|');
    return text.insert(cursor.selectionEnd(), u'}').insert(cursor.selectionStart(), u'{');
}

} // namespace

class TestFindReplace : public QObject
{
    Q_OBJECT

private slots:
    void operations_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<char>("operation"); // f find, r replace, a replace all
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("flags"); // c match case, w whole word
        QTest::addColumn<QString>("after");
        const struct
        {
            const char *name;
            QString page;
            char operation;
            QString what, with, flags, after;
        } cases[] = {
            {"find starts at the top wherever the caret is", "one two| one", 'f', "one", "", "", "{one} two one"},
            {"find goes on after the hit", "{one} two one", 'f', "one", "", "", "one two {one}"},
            {"after the last hit find does nothing", "one two {one}", 'f', "one", "", "", "one two {one}"},
            {"without match case any case", "xx| ONE one", 'f', "one", "", "", "xx {ONE} one"},
            {"match case", "xx| ONE one", 'f', "one", "", "c", "xx ONE {one}"},
            {"whole word skips parts of words", "concat| cat", 'f', "cat", "", "w", "concat {cat}"},
            {"whole word and case together", "Cat cats cat|", 'f', "cat", "", "cw", "Cat cats {cat}"},
            {"umlauts are letters", "\u00dcber| uber", 'f', "ber", "", "w", "\u00dcber| uber"},
            {"a hit at the very end", "x| ab", 'f', "ab", "", "", "x {ab}"},
            {"a hit in a later paragraph", "{ab}\nx ab", 'f', "ab", "", "", "ab\nx {ab}"},
            {"an empty find text finds nothing", "a| a", 'f', "", "", "", "a| a"},
            {"replace the selected hit, select the next", "{a} b a", 'r', "a", "x", "", "x b {a}"},
            {"replace the last selected hit", "b {a}", 'r', "a", "x", "", "b x|"},
            {"replace without selection from the top", "a b| a", 'r', "a", "x", "", "x| b a"},
            {"a selection that is no hit: the hit after it", "a {b} a", 'r', "a", "x", "", "a b x|"},
            {"a selection that is no whole word", "{a}a a", 'r', "a", "x", "w", "aa x|"},
            {"replacement holding the find text", "{a} a", 'r', "a", "aa", "", "aa {a}"},
            {"replace misses: nothing changes", "{b} a", 'r', "c", "x", "", "{b} a"},
            {"replace all: each hit once", "|a b a", 'a', "a", "aa", "", "aa b aa|"},
            {"replace all reaches the end", "ab ab| ab", 'a', "ab", "abcd", "", "abcd abcd abcd|"},
            {"replace all leaves text before the start", "a {a} a a", 'a', "a", "x", "", "a a x x|"},
            {"replace all across paragraphs", "a\na| a", 'a', "a", "x", "", "x\nx x|"},
            {"replace all with case", "A| a", 'a', "a", "x", "c", "A x|"},
            {"whole word judged on the page as replaced", "{b} -a-a", 'a', "-a", "-", "w", "b --|"},
            {"replace all with an empty find text", "a| a", 'a', "", "x", "", "a| a"},
            {"replace all with nothing to replace", "a| a", 'a', "b", "x", "", "a| a"},
        };
        for (const auto &c : cases)
            QTest::newRow(c.name) << c.page << c.operation << c.what << c.with << c.flags << c.after;
    }

    void operations()
    {
        QFETCH(QString, page);
        QFETCH(char, operation);
        QFETCH(QString, what);
        QFETCH(QString, with);
        QFETCH(QString, flags);
        QFETCH(QString, after);
        QTextEdit editor;
        setPage(editor, page);
        const SearchOptions options{flags.contains(u'c'), flags.contains(u'w')};
        bool changed = false;
        switch (operation) {
        case 'f':
            FindReplace::findNext(editor, what, options);
            break;
        case 'r':
            changed = FindReplace::replaceNext(editor, what, with, options);
            break;
        default:
            changed = FindReplace::replaceAll(editor, what, with, options) > 0;
        }
        QCOMPARE(markedPage(editor), after);
        QCOMPARE(editor.document()->isModified(), changed);
    }

    // One undo step brings the page back; the replacement takes the hit's
    // format; a read-only page is left alone.
    void replaceAllUndoFormatAndReadOnly()
    {
        QTextEdit editor;
        editor.setHtml("<b>a</b> b a");
        QCOMPARE(FindReplace::replaceAll(editor, "a", "xy", {}), 2);
        QCOMPARE(editor.toPlainText(), "xy b xy");
        QTextCursor first(editor.document());
        first.setPosition(2);
        QVERIFY(first.charFormat().fontWeight() == QFont::Bold);
        editor.undo();
        QCOMPARE(editor.toPlainText(), "a b a");

        editor.setReadOnly(true);
        QCOMPARE(FindReplace::replaceAll(editor, "a", "x", {}), 0);
        QVERIFY(!FindReplace::replaceNext(editor, "a", "x", {}));
        QVERIFY(FindReplace::findNext(editor, "b", {}));
        QCOMPARE(editor.toPlainText(), "a b a");
    }
};

QTEST_MAIN(TestFindReplace)
#include "tst_FindReplace.moc"
