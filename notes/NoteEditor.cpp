#include "notes/NoteEditor.h"

#include "notes/NoteClipboard.h"
#include "notes/NotePage.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

// Without wrap a block has one line more than it has hard line breaks.
// The document layout leaves every block counted as one line, so the
// editor keeps the counts itself and firstLineNumber() stays O(log n).
void countLines(QTextBlock block, int end)
{
    for (; block.isValid() && block.position() <= end; block = block.next())
        block.setLineCount(1 + int(block.text().count(QChar::LineSeparator)));
}

// Counts a document new to the editor. Pages hold few hard line breaks, so
// one copy of the text finds them faster than a copy of every block;
// counts someone else left behind are counted over block by block.
void countAllLines(QTextDocument *document)
{
    if (document->lineCount() != document->blockCount()) {
        countLines(document->begin(), document->characterCount());
        return;
    }
    const QString text = document->toRawText();
    for (qsizetype at = text.indexOf(QChar::LineSeparator); at >= 0; at = text.indexOf(QChar::LineSeparator, at + 1)) {
        QTextBlock block = document->findBlock(int(at));
        block.setLineCount(block.lineCount() + 1);
    }
}

// A piece of the selection in one format.
struct SelectedRun
{
    int from;
    int to;
    QTextCharFormat format;
};

QList<SelectedRun> selectedRuns(const QTextDocument *document, int start, int end)
{
    QList<SelectedRun> runs;
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from < to)
                runs.append({from, to, fragment.charFormat()});
        }
    }
    return runs;
}

CharStyle styleOf(const QTextCharFormat &format)
{
    return {format.fontWeight() >= QFont::Bold, format.fontItalic(),
            format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline};
}

} // namespace

NoteEditor::NoteEditor(QWidget *parent)
    : QTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QTextEdit::NoWrap);
    setTabChangesFocus(false);
    setAcceptRichText(true);
    setFont(NotePage::defaultFont()); // the editor hands its font to its document
    trackLines(document());
}

void NoteEditor::replaceDocument(std::unique_ptr<QTextDocument> document, bool keepView)
{
    if (keepView) {
        replaceKeepingView(std::move(document));
        return;
    }
    if (!document)
        document = std::make_unique<QTextDocument>();
    prepare(document.get());

    QTextDocument *previous = this->document();
    const bool ownsPrevious = previous->parent() == this;
    document->setParent(this);
    QTextDocument *shown = document.release();
    setDocument(shown);
    // setDocument() hands the old caret's format on to the new cursor: a
    // fresh one takes the format of the new page's text instead.
    setTextCursor(QTextCursor(shown));
    // Tracked only from here on: setDocument() reports the whole document
    // as changed when it first lays it out, which would count it twice.
    countAllLines(shown);
    trackLines(shown);
    shown->setModified(false);
    if (ownsPrevious)
        delete previous;
}

void NoteEditor::replaceKeepingView(std::unique_ptr<QTextDocument> document)
{
    const int anchor = textCursor().anchor();
    const int position = textCursor().position();
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    replaceDocument(std::move(document));
    const int end = this->document()->characterCount() - 1;
    QTextCursor cursor(this->document());
    cursor.setPosition(std::min(anchor, end));
    cursor.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    // The scroll bars' ranges follow the new page's layout.
    this->document()->documentLayout()->documentSize();
    horizontalScrollBar()->setValue(scrolled.x());
    verticalScrollBar()->setValue(scrolled.y());
}

void NoteEditor::prepare(QTextDocument *document)
{
    // All of this before the document is shown: each of it would lay the
    // document out again once it is. A null page size keeps setDocument()
    // from laying it out for a page size it replaces right away.
    document->setPageSize(QSizeF(0, 0));
    if (document->defaultFont().resolveMask() == 0)
        document->setDefaultFont(NotePage::defaultFont());
    QTextOption option = document->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    document->setDefaultTextOption(option);
    document->setUndoRedoEnabled(true);
    document->clearUndoRedoStacks();
}

void NoteEditor::trackLines(QTextDocument *document)
{
    connect(document, &QTextDocument::contentsChange, this, [document](int from, int, int added) {
        countLines(document->findBlock(from), from + added);
    });
}

CaretPosition NoteEditor::caretPosition() const
{
    // The selection's far end, whichever way it was made; the column counts
    // from that end's own line.
    QTextCursor cursor = textCursor();
    cursor.setPosition(cursor.selectionEnd());
    const QTextBlock block = cursor.block();
    const QString text = block.text();
    const QStringView before = QStringView(text).first(cursor.positionInBlock());
    const qsizetype lineStart = before.lastIndexOf(QChar::LineSeparator) + 1;
    return {block.firstLineNumber() + int(before.count(QChar::LineSeparator)), int(before.size() - lineStart)};
}

CharStyle NoteEditor::selectionStyle() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return styleOf(cursor.charFormat());
    // A cursor reports the format of the character before it.
    QTextCursor first(document());
    first.setPosition(cursor.selectionStart() + 1);
    return styleOf(first.charFormat());
}

void NoteEditor::applyStyle(CharStyle style)
{
    QTextCharFormat format;
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setFontStrikeOut(false);
    mergeCurrentCharFormat(format);
}

bool NoteEditor::selectionHasThroughout(const std::function<bool(const QTextCharFormat &)> &has) const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return has(currentCharFormat());
    return std::ranges::all_of(selectedRuns(document(), cursor.selectionStart(), cursor.selectionEnd()),
                               [&has](const SelectedRun &run) { return has(run.format); });
}

void NoteEditor::toggleStyle(bool CharStyle::*flag)
{
    if (isReadOnly())
        return;
    const bool on = !selectionHasThroughout([flag](const QTextCharFormat &format) { return styleOf(format).*flag; });
    QTextCharFormat format;
    if (flag == &CharStyle::bold)
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    else if (flag == &CharStyle::italic)
        format.setFontItalic(on);
    else
        format.setFontUnderline(on);
    mergeCurrentCharFormat(format);
}

void NoteEditor::toggleVerticalAlignment(QTextCharFormat::VerticalAlignment alignment)
{
    if (isReadOnly())
        return;
    const bool on = !selectionHasThroughout(
        [alignment](const QTextCharFormat &format) { return format.verticalAlignment() == alignment; });
    QTextCharFormat format;
    format.setVerticalAlignment(on ? alignment : QTextCharFormat::AlignNormal);
    mergeCurrentCharFormat(format);
}

namespace {

// The sizes a font size list offers, which Ctrl+Shift+> and < step through.
constexpr int kUsualSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr double kSmallestSize = 1;
constexpr double kLargestSize = 1638; // what \fs, in half points, can hold

double steppedSize(double points, int step, NoteEditor::SizeStep by)
{
    double next = points + step;
    if (by == NoteEditor::SizeStep::UsualSize) {
        next = step > 0 ? kUsualSizes[std::size(kUsualSizes) - 1] : kUsualSizes[0];
        for (const int size : kUsualSizes) {
            if (step > 0 && size > points) {
                next = size;
                break;
            }
            if (step < 0 && size < points)
                next = size;
        }
        // Past the list's ends: a point at the small end, ten at the large.
        if (step < 0 && points <= kUsualSizes[0])
            next = points - 1;
        if (step > 0 && points >= kUsualSizes[std::size(kUsualSizes) - 1])
            next = points + 10;
    }
    return std::clamp(next, kSmallestSize, kLargestSize);
}

} // namespace

void NoteEditor::stepFontSize(int step, SizeStep by)
{
    if (isReadOnly())
        return;
    const auto pointsOf = [this](const QTextCharFormat &format) {
        return format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                              : document()->defaultFont().pointSizeF();
    };
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        QTextCharFormat format;
        format.setFontPointSize(steppedSize(pointsOf(currentCharFormat()), step, by));
        mergeCurrentCharFormat(format);
        return;
    }
    // Each run from its own size: collected first, as merging splits runs.
    const QList<SelectedRun> runs = selectedRuns(document(), cursor.selectionStart(), cursor.selectionEnd());
    cursor.beginEditBlock();
    for (const SelectedRun &run : runs) {
        QTextCursor piece(document());
        piece.setPosition(run.from);
        piece.setPosition(run.to, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFontPointSize(steppedSize(pointsOf(run.format), step, by));
        piece.mergeCharFormat(format);
    }
    cursor.endEditBlock();
}

// Only Ctrl, and Shift where the key needs it: Ctrl+Alt is AltGr on many
// keyboards, which types characters.
bool NoteEditor::runFormatKey(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && event.key() == Qt::Key_Plus) {
        toggleVerticalAlignment(QTextCharFormat::AlignSuperScript);
        return true;
    }
    // > and < need Shift on some keyboards and not on others.
    if ((modifiers & ~Qt::ShiftModifier) == Qt::ControlModifier
        && (event.key() == Qt::Key_Greater || event.key() == Qt::Key_Less)) {
        stepFontSize(event.key() == Qt::Key_Greater ? 1 : -1, SizeStep::UsualSize);
        return true;
    }
    if (modifiers != Qt::ControlModifier)
        return false;
    switch (event.key()) {
    case Qt::Key_B:
        toggleStyle(&CharStyle::bold);
        return true;
    case Qt::Key_I:
        toggleStyle(&CharStyle::italic);
        return true;
    case Qt::Key_U:
        toggleStyle(&CharStyle::underline);
        return true;
    case Qt::Key_Equal:
        toggleVerticalAlignment(QTextCharFormat::AlignSubScript);
        return true;
    case Qt::Key_L:
    case Qt::Key_E:
    case Qt::Key_R:
    case Qt::Key_J: {
        static constexpr std::pair<int, Qt::Alignment> kAlignments[] = {
            {Qt::Key_L, Qt::AlignLeft}, {Qt::Key_E, Qt::AlignHCenter},
            {Qt::Key_R, Qt::AlignRight}, {Qt::Key_J, Qt::AlignJustify}};
        if (!isReadOnly()) {
            for (const auto &[key, alignment] : kAlignments) {
                if (key == event.key())
                    setAlignment(alignment);
            }
        }
        return true;
    }
    case Qt::Key_BracketRight:
    case Qt::Key_BracketLeft:
        stepFontSize(event.key() == Qt::Key_BracketRight ? 1 : -1, SizeStep::Point);
        return true;
    case Qt::Key_Y:
        redo();
        return true;
    default:
        return false;
    }
}

void NoteEditor::keyPressEvent(QKeyEvent *event)
{
    if (runFormatKey(*event))
        event->accept();
    else
        QTextEdit::keyPressEvent(event);
}

QMimeData *NoteEditor::selectionMimeData() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return nullptr;
    return NoteClipboard::mimeDataFor(NoteClipboard::fragmentOf(cursor));
}

bool NoteEditor::insertMimeData(const QMimeData *data)
{
    if (isReadOnly())
        return false;
    const std::optional<QTextDocumentFragment> fragment = NoteClipboard::fragmentFrom(data);
    if (!fragment)
        return false;
    QTextCursor cursor = textCursor();
    cursor.insertFragment(*fragment);
    setTextCursor(cursor);
    return true;
}

QString NoteEditor::selectedText() const
{
    return textCursor().selectedText();
}

QMimeData *NoteEditor::createMimeDataFromSelection() const
{
    return selectionMimeData();
}

bool NoteEditor::canInsertFromMimeData(const QMimeData *source) const
{
    return NoteClipboard::canPaste(source);
}

void NoteEditor::insertFromMimeData(const QMimeData *source)
{
    insertMimeData(source);
}
