#pragma once

#include <QTextDocumentFragment>

#include <optional>

class QMimeData;
class QTextCursor;

// Rich text on the clipboard and in drag and drop, both ways: our RTF
// (text/rtf), HTML and plain text go out; coming in, RTF is preferred
// (our reader), then HTML, then plain text.
namespace NoteClipboard {

// Clipboard data for a piece of a note; the caller owns it.
QMimeData *mimeDataFor(const QTextDocumentFragment &fragment);

// The selection as a fragment that takes its pictures along: a plain
// QTextDocumentFragment leaves the document's image resources behind.
QTextDocumentFragment fragmentOf(const QTextCursor &selection);

// Whether data offers something a paste could insert. Nothing is parsed,
// so it is cheap enough for every move of a drag.
bool canPaste(const QMimeData *data);

// What a paste of data inserts; nothing when data holds no text or image
// that can be pasted (an empty clipboard).
std::optional<QTextDocumentFragment> fragmentFrom(const QMimeData *data);

// The normalising paste: what data holds, every character in "Comic Sans
// MS" 10 pt and every other character attribute (bold, italic, underline,
// colour) kept, as new clipboard data; null when data holds nothing to
// paste. The closing paragraph mark of the whole is not taken along.
QMimeData *normalised(const QMimeData *data);

} // namespace NoteClipboard
