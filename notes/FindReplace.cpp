#include "notes/FindReplace.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace FindReplace {
namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

// The first hit in a paragraph's text at or after from. before is the
// character that now stands in front of text[from], which Replace All has
// already changed; null at the paragraph's start.
qsizetype nextHit(QStringView text, qsizetype from, QStringView what, SearchOptions options,
                  QChar before)
{
    const Qt::CaseSensitivity sensitivity = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(what, from, sensitivity); at >= 0;
         at = text.indexOf(what, at + 1, sensitivity)) {
        if (!options.wholeWord)
            return at;
        const QChar left = at == from ? before : text[at - 1];
        const qsizetype end = at + what.size();
        const QChar right = end < text.size() ? text[end] : QChar();
        if (!isWordCharacter(left) && !isWordCharacter(right))
            return at;
    }
    return -1;
}

void select(QTextEdit &editor, int position, int length)
{
    QTextCursor cursor(editor.document());
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
}

void placeCaret(QTextEdit &editor, int position)
{
    select(editor, position, 0);
}

// The replacement takes the format of the hit's first character. Gives
// the position just after it.
int replaceAt(QTextCursor &cursor, int position, int length, const QString &with)
{
    cursor.setPosition(position + 1);
    const QTextCharFormat format = cursor.charFormat();
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    cursor.insertText(with, format);
    return cursor.position();
}

bool selectionIsHit(const QTextCursor &selection, const QString &what, SearchOptions options)
{
    const int start = selection.selectionStart();
    return selection.hasSelection() && selection.selectionEnd() - start == what.size()
           && findFrom(*selection.document(), what, start, options) == start;
}

} // namespace

int searchStart(const QTextCursor &selection)
{
    return selection.hasSelection() ? selection.selectionEnd() : 0;
}

std::optional<int> findFrom(const QTextDocument &document, const QString &what, int from,
                            SearchOptions options)
{
    if (what.isEmpty())
        return std::nullopt;
    from = std::max(from, 0);
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const qsizetype offset = std::clamp<qsizetype>(from - block.position(), 0, text.size());
        const QChar before = offset > 0 ? text[offset - 1] : QChar();
        const qsizetype at = nextHit(text, offset, what, options, before);
        if (at >= 0)
            return block.position() + int(at);
    }
    return std::nullopt;
}

bool findNext(QTextEdit &editor, const QString &what, SearchOptions options)
{
    const std::optional<int> hit =
        findFrom(*editor.document(), what, searchStart(editor.textCursor()), options);
    if (!hit)
        return false;
    select(editor, *hit, int(what.size()));
    return true;
}

bool replaceNext(QTextEdit &editor, const QString &what, const QString &with, SearchOptions options)
{
    if (editor.isReadOnly())
        return false;
    const QTextCursor selection = editor.textCursor();
    const bool replacingSelection = selectionIsHit(selection, what, options);
    const std::optional<int> hit =
        replacingSelection ? selection.selectionStart()
                           : findFrom(*editor.document(), what, searchStart(selection), options);
    if (!hit)
        return false;
    QTextCursor cursor(editor.document());
    const int end = replaceAt(cursor, *hit, int(what.size()), with);
    const std::optional<int> next =
        replacingSelection ? findFrom(*editor.document(), what, end, options) : std::nullopt;
    if (next)
        select(editor, *next, int(what.size()));
    else
        placeCaret(editor, end);
    return true;
}

int replaceAll(QTextEdit &editor, const QString &what, const QString &with, SearchOptions options)
{
    if (editor.isReadOnly() || what.isEmpty())
        return 0;
    QTextDocument &document = *editor.document();
    const int start = searchStart(editor.textCursor());
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    int count = 0;
    int end = 0;
    // Each paragraph is searched in its text as it was; the shift maps
    // that text's positions to the page as the replacements leave it.
    for (QTextBlock block = document.findBlock(start); block.isValid();) {
        const QTextBlock next = block.next();
        const int blockStart = block.position();
        const QString text = block.text();
        qsizetype from = std::max(start - blockStart, 0);
        QChar before = from > 0 ? text[from - 1] : QChar();
        qsizetype shift = 0;
        for (qsizetype at; (at = nextHit(text, from, what, options, before)) >= 0;) {
            const QChar left = at == from ? before : text[at - 1];
            end = replaceAt(cursor, int(blockStart + at + shift), int(what.size()), with);
            shift += with.size() - what.size();
            from = at + what.size();
            before = with.isEmpty() ? left : with.back();
            ++count;
        }
        block = next;
    }
    cursor.endEditBlock();
    if (count > 0)
        placeCaret(editor, end);
    return count;
}

} // namespace FindReplace
