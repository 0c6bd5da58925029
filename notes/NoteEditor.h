#pragma once

#include <QTextEdit>

#include <functional>
#include <memory>

class QMimeData;

// What the caret's line and column are, both counted from 0: the line that
// holds the end of the selection (lines as laid out, which without word
// wrap are the paragraphs and their hard line breaks), and the offset of the
// selection end from that line's start.
struct CaretPosition
{
    int line = 0;
    int column = 0;
};

// Bold, italic and underline of a selection, or of what is typed next.
struct CharStyle
{
    bool bold = false;
    bool italic = false;
    bool underline = false;

    friend bool operator==(const CharStyle &, const CharStyle &) = default;
};

// The rich-text editor of the note pages (RichEdit1). No frame, both
// scroll bars always on, no word wrap, Tab inserts a tab, the note font for
// text without a font of its own. The clipboard and drag and drop carry
// rich text both ways (see NoteClipboard). It has the format keys of a
// rich-edit control: Ctrl+B, I, U, L, E, R, J, Ctrl+= (subscript),
// Ctrl+Shift++ (superscript), Ctrl+Shift+> and < and Ctrl+] and [ (font
// size) and Ctrl+Y (redo) besides Qt's own.
class NoteEditor : public QTextEdit
{
    Q_OBJECT

public:
    explicit NoteEditor(QWidget *parent = nullptr);

    // Puts document in place of the one shown, in one step: the editor
    // takes ownership, the caret goes to the start, the modified flag and
    // the undo history are cleared. Null puts an empty page in place.
    // Documents go in this way only, not through setDocument(), which
    // leaves the line count of caretPosition() behind.
    // With keepView the selection and the scroll position stay as near as
    // the new text allows: the page shown anew once changed elsewhere.
    void replaceDocument(std::unique_ptr<QTextDocument> document, bool keepView = false);

    CaretPosition caretPosition() const;

    // The style as the editor reports it: that of the first character of
    // the selection, or at the caret when nothing is selected.
    CharStyle selectionStyle() const;
    // Sets bold, italic and underline as given and strike-out off on every
    // character of the selection; with none, on what is typed next.
    void applyStyle(CharStyle style);
    // Takes one style off the selection when every character has it, and
    // puts it on every character otherwise; with no selection, on what is
    // typed next.
    void toggleStyle(bool CharStyle::*flag);
    // The same for subscript or superscript.
    void toggleVerticalAlignment(QTextCharFormat::VerticalAlignment alignment);
    // Makes every character of the selection, or what is typed next, one
    // size larger (step 1) or smaller (-1), by a point or to the next of
    // the usual sizes, each character from its own size.
    enum class SizeStep { Point, UsualSize };
    void stepFontSize(int step, SizeStep by);

    // The selection as clipboard data (rich text, HTML, plain text); null
    // when nothing is selected. The caller owns the result.
    QMimeData *selectionMimeData() const;
    // Inserts data at the caret in place of the selection, as a paste
    // would; false when data holds nothing that can be pasted or the
    // editor is read-only.
    bool insertMimeData(const QMimeData *data);

    // The selection as plain text, paragraph and line separators as they
    // stand (U+2029, U+2028).
    QString selectedText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void replaceKeepingView(std::unique_ptr<QTextDocument> document);
    bool runFormatKey(const QKeyEvent &event);
    // Whether every character of the selection, or the typing format, has
    // what has() looks for.
    bool selectionHasThroughout(const std::function<bool(const QTextCharFormat &)> &has) const;
    void prepare(QTextDocument *document);
    void trackLines(QTextDocument *document);
};
