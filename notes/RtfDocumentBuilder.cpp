#include "notes/RtfDocumentBuilder.h"

#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTextImageFormat>
#include <QUrl>

namespace {

// Windows lays out at 96 dots per inch: one pixel is 15 twips.
constexpr double kTwipsPerPixel = 15.0;

// Characters that must not reach the document as text: the document uses
// U+FDD0/U+FDD1 internally to mark frames. (The reader turns U+2029 into a
// paragraph mark before it gets here.)
bool isFrameMarker(char16_t c)
{
    return c == 0xFDD0 || c == 0xFDD1;
}

} // namespace

size_t qHash(const RtfCharState &state, size_t seed)
{
    // Cheap on purpose: it runs once per run of text, over few distinct states.
    const size_t flags = size_t(state.bold) | size_t(state.italic) << 1 | size_t(state.strike) << 2
                         | size_t(state.underline) << 3 | size_t(state.verticalAlignment) << 7;
    return seed ^ (size_t(state.font) * 0x9E3779B1u + size_t(state.halfPoints) * 0x85EBCA77u
                   + size_t(state.color) * 0xC2B2AE3Du + size_t(state.background) * 0x27D4EB2Fu + flags);
}

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument *document)
    : m_document(document), m_main(document)
{
    m_main.cursor.beginEditBlock();
}

RtfDocumentBuilder::~RtfDocumentBuilder() = default;

void RtfDocumentBuilder::setFontFamily(int number, const QString &family)
{
    m_families.insert(number, family);
    m_formats.clear();
}

void RtfDocumentBuilder::setDefaultFont(int number)
{
    m_defaultFont = number;
    m_formats.clear();
}

void RtfDocumentBuilder::setColors(const QList<QColor> &colors)
{
    m_colors = colors;
    m_formats.clear();
}

void RtfDocumentBuilder::appendAscii(QByteArrayView bytes, const RtfCharState &state)
{
    prepareRun(state);
    m_run.append(QLatin1StringView(bytes));
}

void RtfDocumentBuilder::appendBytes(QByteArrayView bytes, const CodePages::UpperHalf &upper,
                                     const RtfCharState &state)
{
    prepareRun(state);
    const qsizetype start = m_run.size();
    m_run.resize(start + bytes.size());
    QChar *out = m_run.data() + start;
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b >= 0x80)
            *out++ = QChar(upper[b - 0x80]);
        else if (b >= 0x20 || b == '\t')
            *out++ = QChar(b);
    }
    m_run.resize(out - m_run.constData());
}

void RtfDocumentBuilder::appendChar(char16_t c, const RtfCharState &state)
{
    if (c < 0x20 && c != '\t')
        return;
    prepareRun(state);
    m_run.append(QChar(isFrameMarker(c) ? char16_t(QChar::ReplacementCharacter) : c));
}

void RtfDocumentBuilder::appendImage(const QImage &image, QSizeF size, const RtfCharState &state)
{
    prepareRun(state);
    flushRun();
    const QString name = QStringLiteral("rtf-image-%1").arg(++m_imageCount);
    m_document->addResource(QTextDocument::ImageResource, QUrl(name), image); // text boxes' too
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    m_at->cursor.insertImage(format);
}

void RtfDocumentBuilder::endParagraph(const RtfParagraphState &paragraph, const RtfCharState &state,
                                      const std::optional<RtfListItem> &item)
{
    flushRun();
    if (m_at->pendingBlock)
        startBlock();
    const bool inQtList = fitsQtList(item);
    applyParagraph(paragraph, inQtList);
    applyListItem(item, inQtList, state);
    // An empty line keeps the size of its paragraph mark.
    if (m_at->blockEmpty)
        m_at->cursor.setBlockCharFormat(charFormat(state));
    m_at->pendingBlock = true;
    if (m_at == &m_main)
        placeTextBoxes();
}

void RtfDocumentBuilder::finish(const RtfParagraphState &paragraph, const RtfCharState &state,
                                const std::optional<RtfListItem> &item)
{
    if (m_at != &m_main)
        endTextBox();
    flushRun();
    if (!m_main.pendingBlock) {
        const bool inQtList = fitsQtList(item);
        applyParagraph(paragraph, inQtList);
        applyListItem(item, inQtList, state);
    }
    placeTextBoxes();
    m_main.cursor.endEditBlock();
}

void RtfDocumentBuilder::beginListText()
{
    flushRun();
    if (m_at->pendingBlock) {
        startBlock();
        m_at->pendingBlock = false;
    }
    m_at->listTextStart = m_at->cursor.position();
    m_at->listTextEnd = m_at->listTextStart;
}

void RtfDocumentBuilder::endListText()
{
    flushRun();
    m_at->listTextEnd = m_at->cursor.position();
}

void RtfDocumentBuilder::beginTextBox()
{
    flushRun();
    if (!m_box) {
        m_boxDocument = std::make_unique<QTextDocument>();
        m_boxDocument->setUndoRedoEnabled(false);
        m_box = std::make_unique<Target>(m_boxDocument.get());
    }
    m_at = m_box.get();
}

void RtfDocumentBuilder::endTextBox()
{
    flushRun();
    // The next text box starts a paragraph of its own.
    if (!m_box->pendingBlock && !m_box->blockEmpty)
        m_box->pendingBlock = true;
    m_at = &m_main;
}

void RtfDocumentBuilder::prepareRun(const RtfCharState &state)
{
    if (m_at->pendingBlock) {
        startBlock();
        m_at->pendingBlock = false;
    }
    m_at->blockEmpty = false;
    if (m_run.isEmpty())
        m_runState = state;
    else if (!(state == m_runState)) {
        flushRun();
        m_runState = state;
    }
}

void RtfDocumentBuilder::flushRun()
{
    if (m_run.isEmpty())
        return;
    m_at->cursor.insertText(m_run, charFormat(m_runState));
    m_run.resize(0); // keeps the capacity for the next run
}

void RtfDocumentBuilder::startBlock()
{
    // A new paragraph takes the format of the one before, but not its list.
    QTextBlockFormat format = m_at->cursor.blockFormat();
    format.setObjectIndex(-1);
    m_at->cursor.insertBlock(format);
    m_at->blockEmpty = true;
    m_at->listTextStart = m_at->listTextEnd = -1;
}

// A Qt list numbers its items by their place in it, which must be the
// item's (it is not when the list went on in a text box).
bool RtfDocumentBuilder::fitsQtList(const std::optional<RtfListItem> &item) const
{
    if (!item || !item->format)
        return false;
    const QTextList *list = m_at->lists.value(item->key);
    return (list ? list->count() : 0) + 1 == item->ordinal;
}

void RtfDocumentBuilder::applyParagraph(const RtfParagraphState &paragraph, bool inQtList)
{
    if (m_at->blockState == std::pair(paragraph, inQtList))
        return;
    QTextBlockFormat format;
    if (paragraph.alignment != Qt::AlignLeft)
        format.setAlignment(paragraph.alignment);
    // A list item's indents make room for its marker, and Qt's list indent
    // makes that room itself.
    const double listIndent = inQtList ? (paragraph.listLevel + 1) * m_at->document->indentWidth() : 0;
    if (const double left = std::max(paragraph.leftIndent / kTwipsPerPixel - listIndent, 0.0); left != 0)
        format.setLeftMargin(left);
    if (paragraph.rightIndent != 0)
        format.setRightMargin(paragraph.rightIndent / kTwipsPerPixel);
    if (paragraph.firstLineIndent != 0 && !inQtList)
        format.setTextIndent(paragraph.firstLineIndent / kTwipsPerPixel);
    m_at->cursor.setBlockFormat(format);
    m_at->blockState = std::pair(paragraph, inQtList);
}

void RtfDocumentBuilder::applyListItem(const std::optional<RtfListItem> &item, bool inQtList,
                                       const RtfCharState &state)
{
    if (!item)
        return;
    removeListText();
    if (inQtList) {
        QTextList *&list = m_at->lists[item->key];
        if (list)
            list->add(m_at->cursor.block());
        else
            list = m_at->cursor.createList(*item->format);
    } else if (!item->marker.isEmpty()) {
        QTextCursor(m_at->cursor.block()).insertText(item->marker + QLatin1Char('\t'), charFormat(state));
        m_at->blockEmpty = false;
    }
}

void RtfDocumentBuilder::removeListText()
{
    if (m_at->listTextStart < 0 || m_at->listTextEnd <= m_at->listTextStart)
        return;
    QTextCursor listText(m_at->document);
    listText.setPosition(m_at->listTextStart);
    listText.setPosition(m_at->listTextEnd, QTextCursor::KeepAnchor);
    listText.removeSelectedText();
    m_at->listTextStart = m_at->listTextEnd = -1;
}

void RtfDocumentBuilder::placeTextBoxes()
{
    if (!m_box || m_boxDocument->isEmpty())
        return;
    // Qt gives a fragment that starts with a list item a paragraph of its own.
    const bool startsWithListItem = m_boxDocument->begin().textList() != nullptr;
    if (!startsWithListItem && (m_main.pendingBlock || !m_main.blockEmpty))
        startBlock();
    m_main.cursor.insertFragment(QTextDocumentFragment(m_boxDocument.get()));
    m_main.pendingBlock = true;
    m_main.blockState.reset();
    m_box.reset();
    m_boxDocument.reset();
}

const QTextCharFormat &RtfDocumentBuilder::charFormat(const RtfCharState &state)
{
    auto it = m_formats.constFind(state);
    if (it == m_formats.constEnd())
        it = m_formats.insert(state, buildCharFormat(state));
    return *it;
}

QTextCharFormat RtfDocumentBuilder::buildCharFormat(const RtfCharState &state) const
{
    QTextCharFormat format;
    const auto family = m_families.constFind(state.font < 0 ? m_defaultFont : state.font);
    if (family != m_families.constEnd())
        format.setFontFamilies(QStringList{*family});
    format.setFontPointSize(state.halfPoints / 2.0);
    if (state.bold)
        format.setFontWeight(QFont::Bold);
    if (state.italic)
        format.setFontItalic(true);
    if (state.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(state.underline);
    if (state.strike)
        format.setFontStrikeOut(true);
    if (state.verticalAlignment != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(state.verticalAlignment);
    if (const QColor foreground = color(state.color); foreground.isValid())
        format.setForeground(foreground);
    if (const QColor background = color(state.background); background.isValid())
        format.setBackground(background);
    return format;
}

QColor RtfDocumentBuilder::color(int index) const
{
    // Index 0 stands for the automatic colour, whatever the table holds there.
    if (index <= 0 || index >= m_colors.size())
        return {};
    return m_colors[index];
}
