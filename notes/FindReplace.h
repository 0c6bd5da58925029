#pragma once

#include <QString>

#include <optional>

class QTextCursor;
class QTextDocument;
class QTextEdit;

// What a search asks of a hit besides its letters.
struct SearchOptions
{
    bool matchCase = false;
    // Neither neighbour of the hit is a letter or a digit.
    bool wholeWord = false;
};

// Find and replace in a note page. Searches run forward only, from just
// after the selection (from the start of the page when nothing is
// selected) to the end of the page, and never wrap. A hit lies within one
// paragraph. An empty find text finds nothing.
namespace FindReplace {

// Where a search from this selection starts.
int searchStart(const QTextCursor &selection);

// The position of the first hit that starts at or after from.
std::optional<int> findFrom(const QTextDocument &document, const QString &what, int from,
                            SearchOptions options);

// Selects the next hit and scrolls it into view; false, and the selection
// as it was, when there is none.
bool findNext(QTextEdit &editor, const QString &what, SearchOptions options);

// When the selection is itself a hit, replaces it and selects the next
// hit; otherwise replaces the next hit, leaving the caret after it. False
// when nothing was replaced, and always in a read-only editor.
bool replaceNext(QTextEdit &editor, const QString &what, const QString &with,
                 SearchOptions options);

// Replaces every hit from the search start to the end of the page, left to
// right, each once: the search goes on after each inserted text, never in
// it. One undo step; the caret ends after the last inserted text. Gives
// the number of replacements.
int replaceAll(QTextEdit &editor, const QString &what, const QString &with, SearchOptions options);

} // namespace FindReplace
