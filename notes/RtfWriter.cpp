#include "notes/RtfWriter.h"

#include "notes/RtfLists.h"

#include "platform/Cp1252.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <charconv>

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kPointsPerPixel = 0.75;
constexpr int kHexLineLength = 128;
constexpr char kHexDigits[] = "0123456789abcdef";

// What one run's control words say.
struct RunFormat
{
    int font = 0; // \deff0
    int halfPoints = 24;
    int color = 0;
    int background = 0;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    QTextCharFormat::VerticalAlignment verticalAlignment = QTextCharFormat::AlignNormal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
};

struct ParagraphFormat
{
    char alignment = 'l'; // \ql \qc \qr \qj
    int leftIndent = 0;   // twips
    int rightIndent = 0;
    int firstLineIndent = 0;
    int list = 0; // \ls; 0 is none
    int level = 0;

    bool operator==(const ParagraphFormat &) const = default;
};

// The room a list item's marker hangs in, left of its text.
constexpr int kMarkerTwips = 360;

// One level of a list as the list table gives it: \levelnfc and the
// marker, in which characters below 9 stand for the level numbers.
struct ListLevel
{
    int numberFormat = RtfListLevel::Decimal;
    QString text;
};

using ListLevels = std::array<std::optional<ListLevel>, RtfLists::kLevels>;

bool isBullet(QTextListFormat::Style style)
{
    return style >= QTextListFormat::ListSquare || style == QTextListFormat::ListStyleUndefined;
}

QString bulletOf(const QTextListFormat &format)
{
    if (format.hasProperty(RtfListProperty::LevelText))
        return format.stringProperty(RtfListProperty::LevelText);
    switch (format.style()) {
    case QTextListFormat::ListCircle:
        return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare:
        return QStringLiteral("\u25AA");
    default:
        return QStringLiteral("\u2022");
    }
}

int numberFormatOf(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
        return RtfListLevel::LowerLetter;
    case QTextListFormat::ListUpperAlpha:
        return RtfListLevel::UpperLetter;
    case QTextListFormat::ListLowerRoman:
        return RtfListLevel::LowerRoman;
    case QTextListFormat::ListUpperRoman:
        return RtfListLevel::UpperRoman;
    default:
        return isBullet(style) ? RtfListLevel::Bullet : RtfListLevel::Decimal;
    }
}

int levelOf(const QTextListFormat &format)
{
    return std::clamp(format.indent() - 1, 0, RtfLists::kLevels - 1);
}

ListLevel listLevelOf(const QTextListFormat &format)
{
    ListLevel level{numberFormatOf(format.style()), {}};
    if (level.numberFormat == RtfListLevel::Bullet) {
        level.text = bulletOf(format);
    } else if (format.hasProperty(RtfListProperty::LevelText)) {
        level.text = format.stringProperty(RtfListProperty::LevelText);
    } else {
        const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                                                 : QStringLiteral(".");
        level.text = format.numberPrefix() + QChar(char16_t(levelOf(format))) + suffix;
    }
    // Other characters below the space have no place in a marker.
    level.text.removeIf([](QChar c) { return c.unicode() >= RtfLists::kLevels && c.unicode() < 0x20; });
    return level;
}

const char *underlineWord(QTextCharFormat::UnderlineStyle style)
{
    switch (style) {
    case QTextCharFormat::NoUnderline:
        return "\\ulnone";
    case QTextCharFormat::DashUnderline:
        return "\\uldash";
    case QTextCharFormat::DotLine:
        return "\\uld";
    case QTextCharFormat::DashDotLine:
        return "\\uldashd";
    case QTextCharFormat::DashDotDotLine:
        return "\\uldashdd";
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        return "\\ulwave";
    case QTextCharFormat::SingleUnderline:
        break;
    }
    return "\\ul";
}

const char *verticalAlignmentWord(QTextCharFormat::VerticalAlignment alignment)
{
    switch (alignment) {
    case QTextCharFormat::AlignSuperScript:
        return "\\super";
    case QTextCharFormat::AlignSubScript:
        return "\\sub";
    default:
        return "\\nosupersub";
    }
}

QImage imageOf(const QVariant &resource)
{
    switch (resource.typeId()) {
    case QMetaType::QImage:
        return resource.value<QImage>();
    case QMetaType::QPixmap:
        return resource.value<QPixmap>().toImage();
    case QMetaType::QByteArray:
        return QImage::fromData(resource.toByteArray());
    default:
        return {};
    }
}

class RtfEmitter
{
public:
    explicit RtfEmitter(const QTextDocument *document);

    QByteArray write();

private:
    void collectTables();
    void collectList(const QTextList *list);
    const RunFormat &runFormat(const QTextFormat &format, int formatIndex);
    RunFormat buildRunFormat(const QTextCharFormat &format);
    int fontIndex(const QString &family);
    int colorIndex(const QBrush &brush);
    ParagraphFormat paragraphFormat(const QTextBlock &block) const;

    void writeHeader();
    void writeListTables();
    void writeListLevel(int level, const ListLevel &format);
    void writeHexByte(int byte);
    void writeBlock(const QTextBlock &block);
    void writeListMarker(const QTextBlock &block);
    void writeParagraphFormat(const ParagraphFormat &format);
    void writeRunFormat(const RunFormat &format);
    void writeText(QStringView text);
    void writeImages(const QTextImageFormat &format, qsizetype count);
    void writeEscapedName(QStringView name);

    void word(const char *name);
    void word(const char *name, int value);
    void plain(char c);
    void number(int value);

    const QTextDocument *m_document;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 24;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QColor> m_colors{QColor()}; // entry 0 is the automatic colour
    QHash<QRgb, int> m_colorIndex;
    QHash<int, RunFormat> m_runFormats; // by the document's format index
    QList<ListLevels> m_lists;                // list i is \listid and \ls i + 1
    QHash<const QTextList *, int> m_listIndex;
    QHash<int, int> m_listOfOverride; // Qt lists read from one list stay one

    QByteArray m_out;
    RunFormat m_written;
    ParagraphFormat m_paragraph;
    bool m_afterWord = false; // the next text byte needs a delimiting space
};

RtfEmitter::RtfEmitter(const QTextDocument *document)
    : m_document(document)
{
    const QFont font = document->defaultFont();
    m_defaultFamily = font.family();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * kPointsPerPixel;
    if (points > 0)
        m_defaultHalfPoints = qRound(points * 2);
    fontIndex(m_defaultFamily); // font 0, the document's default
}

QByteArray RtfEmitter::write()
{
    collectTables();
    m_out.reserve(m_document->characterCount() + m_document->characterCount() / 4 + 1024);
    writeHeader();
    bool first = true;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const ParagraphFormat paragraph = paragraphFormat(block);
        if (first || !(paragraph == m_paragraph))
            writeParagraphFormat(paragraph);
        first = false;
        writeBlock(block);
    }
    m_out.append("}\r\n");
    return m_out;
}

void RtfEmitter::collectTables()
{
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        if (const QTextList *list = block.textList())
            collectList(list);
        if (block.length() == 1)
            runFormat(block.charFormat(), block.charFormatIndex());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            runFormat(it.fragment().charFormat(), it.fragment().charFormatIndex());
    }
}

void RtfEmitter::collectList(const QTextList *list)
{
    if (m_listIndex.contains(list))
        return;
    const QTextListFormat format = list->format();
    int index = int(m_lists.size());
    if (format.hasProperty(RtfListProperty::Override))
        index = m_listOfOverride.value(format.intProperty(RtfListProperty::Override), index);
    if (index == m_lists.size())
        m_lists.append(ListLevels{});
    if (format.hasProperty(RtfListProperty::Override))
        m_listOfOverride.insert(format.intProperty(RtfListProperty::Override), index);
    m_listIndex.insert(list, index);
    std::optional<ListLevel> &level = m_lists[index][size_t(levelOf(format))];
    if (!level)
        level = listLevelOf(format);
}

const RunFormat &RtfEmitter::runFormat(const QTextFormat &format, int formatIndex)
{
    auto it = m_runFormats.constFind(formatIndex);
    if (it == m_runFormats.constEnd())
        it = m_runFormats.insert(formatIndex, buildRunFormat(format.toCharFormat()));
    return *it;
}

RunFormat RtfEmitter::buildRunFormat(const QTextCharFormat &format)
{
    RunFormat run;
    QString family = format.fontFamilies().toStringList().value(0);
    if (family.isEmpty())
        family = format.stringProperty(QTextFormat::FontFamily);
    run.font = fontIndex(family.isEmpty() ? m_defaultFamily : family);

    if (format.hasProperty(QTextFormat::FontPointSize))
        run.halfPoints = qRound(format.fontPointSize() * 2);
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        run.halfPoints = qRound(format.intProperty(QTextFormat::FontPixelSize) * kPointsPerPixel * 2);
    else
        run.halfPoints = m_defaultHalfPoints;
    run.halfPoints = std::max(run.halfPoints, 1);

    run.bold = format.fontWeight() > QFont::Medium;
    run.italic = format.fontItalic();
    run.underline = format.underlineStyle();
    if (run.underline == QTextCharFormat::NoUnderline && format.fontUnderline())
        run.underline = QTextCharFormat::SingleUnderline;
    run.strike = format.fontStrikeOut();
    run.verticalAlignment = format.verticalAlignment();
    if (run.verticalAlignment != QTextCharFormat::AlignSuperScript
        && run.verticalAlignment != QTextCharFormat::AlignSubScript)
        run.verticalAlignment = QTextCharFormat::AlignNormal;
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        run.color = colorIndex(format.foreground());
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        run.background = colorIndex(format.background());
    return run;
}

int RtfEmitter::fontIndex(const QString &family)
{
    auto it = m_fontIndex.constFind(family);
    if (it == m_fontIndex.constEnd()) {
        it = m_fontIndex.insert(family, int(m_fonts.size()));
        m_fonts.append(family);
    }
    return *it;
}

int RtfEmitter::colorIndex(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QRgb rgb = brush.color().rgb();
    auto it = m_colorIndex.constFind(rgb);
    if (it == m_colorIndex.constEnd()) {
        it = m_colorIndex.insert(rgb, int(m_colors.size()));
        m_colors.append(QColor(rgb));
    }
    return *it;
}

ParagraphFormat RtfEmitter::paragraphFormat(const QTextBlock &block) const
{
    const QTextBlockFormat format = block.blockFormat();
    ParagraphFormat paragraph;
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignHCenter)
        paragraph.alignment = 'c';
    else if (horizontal & Qt::AlignRight)
        paragraph.alignment = 'r';
    else if (horizontal & Qt::AlignJustify)
        paragraph.alignment = 'j';
    const double left = format.leftMargin() + format.indent() * m_document->indentWidth();
    paragraph.leftIndent = qRound(left * kTwipsPerPixel);
    paragraph.rightIndent = qRound(format.rightMargin() * kTwipsPerPixel);
    paragraph.firstLineIndent = qRound(format.textIndent() * kTwipsPerPixel);
    if (const QTextList *list = block.textList()) {
        // Qt's list indent is the room of the marker; rich text says it in
        // the paragraph's indents.
        paragraph.list = m_listIndex.value(list) + 1;
        paragraph.level = levelOf(list->format());
        paragraph.leftIndent += qRound(list->format().indent() * m_document->indentWidth() * kTwipsPerPixel);
        paragraph.firstLineIndent = -std::min(kMarkerTwips, paragraph.leftIndent);
    }
    return paragraph;
}

void RtfEmitter::writeHeader()
{
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl");
    for (int i = 0; i < m_fonts.size(); ++i) {
        m_out.append("{");
        word("\\f", i);
        word("\\fnil");
        word("\\fcharset", 0);
        writeEscapedName(m_fonts[i]);
        m_out.append(";}");
    }
    m_out.append("}\r\n");
    if (m_colors.size() > 1) {
        m_out.append("{\\colortbl ;");
        for (qsizetype i = 1; i < m_colors.size(); ++i) {
            word("\\red", m_colors[i].red());
            word("\\green", m_colors[i].green());
            word("\\blue", m_colors[i].blue());
            m_out.append(';');
        }
        m_out.append("}\r\n");
    }
    writeListTables();
    m_out.append("{\\*\\generator Kladdo;}\\viewkind4\\uc1 \r\n");
    m_afterWord = false;
}

void RtfEmitter::writeListTables()
{
    if (m_lists.isEmpty())
        return;
    m_out.append("{\\*\\listtable");
    for (int i = 0; i < m_lists.size(); ++i) {
        m_out.append("{");
        word("\\list\\listtemplateid", i + 1);
        // All nine levels, as word processors expect; the ones no paragraph
        // uses are numbered "1.".
        for (int level = 0; level < RtfLists::kLevels; ++level) {
            const std::optional<ListLevel> &used = m_lists[i][size_t(level)];
            writeListLevel(level, used.value_or(ListLevel{RtfListLevel::Decimal, QChar(char16_t(level)) + QStringLiteral(".")}));
        }
        word("\\listid", i + 1);
        m_out.append("}");
    }
    m_out.append("}\r\n{\\*\\listoverridetable");
    for (int i = 0; i < m_lists.size(); ++i) {
        m_out.append("{");
        word("\\listoverride\\listid", i + 1);
        word("\\listoverridecount", 0);
        word("\\ls", i + 1);
        m_out.append("}");
    }
    m_out.append("}\r\n");
}

void RtfEmitter::writeListLevel(int level, const ListLevel &format)
{
    m_out.append("{");
    word("\\listlevel\\levelnfc", format.numberFormat);
    word("\\levelnfcn", format.numberFormat);
    word("\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat", 1);
    // The marker after its length; level numbers as the bytes 0-8, and a
    // ';' escaped, since a plain one ends it.
    m_out.append("{\\leveltext");
    writeHexByte(int(format.text.size()));
    QByteArray numbers;
    for (qsizetype i = 0; i < format.text.size(); ++i) {
        const char16_t c = format.text.at(i).unicode();
        if (c < RtfLists::kLevels) {
            writeHexByte(c);
            numbers.append(char(i + 1));
        } else if (c == ';') {
            writeHexByte(c);
        } else {
            writeText(format.text.sliced(i, 1));
        }
    }
    m_out.append(";}{\\levelnumbers");
    for (const char offset : numbers)
        writeHexByte(offset);
    m_out.append(";}");
    word("\\fi", -kMarkerTwips);
    word("\\li", (level + 1) * 2 * kMarkerTwips);
    m_out.append("}");
    m_afterWord = false;
}

void RtfEmitter::writeHexByte(int byte)
{
    m_out.append("\\'").append(kHexDigits[(byte >> 4) & 0xF]).append(kHexDigits[byte & 0xF]);
    m_afterWord = false;
}

void RtfEmitter::writeBlock(const QTextBlock &block)
{
    if (block.textList())
        writeListMarker(block);
    if (block.length() == 1) // an empty line keeps the size of its paragraph mark
        writeRunFormat(runFormat(block.charFormat(), block.charFormatIndex()));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        writeRunFormat(runFormat(format, fragment.charFormatIndex()));
        if (format.isImageFormat())
            writeImages(format.toImageFormat(), fragment.length());
        else
            writeText(fragment.text());
    }
    word("\\par");
    m_out.append("\r\n");
    m_afterWord = false;
}

void RtfEmitter::writeListMarker(const QTextBlock &block)
{
    // The marker as the item shows it, for readers without lists; a group,
    // so that its format ends with it.
    const QTextList *list = block.textList();
    const QString marker = isBullet(list->format().style()) ? bulletOf(list->format()) : list->itemText(block);
    const RunFormat outside = m_written;
    m_out.append("{");
    word("\\listtext");
    // In the format of the item's first characters.
    const QTextFragment first = block.begin().atEnd() ? QTextFragment() : block.begin().fragment();
    writeRunFormat(first.isValid() ? runFormat(first.charFormat(), first.charFormatIndex())
                                   : runFormat(block.charFormat(), block.charFormatIndex()));
    writeText(marker);
    word("\\tab");
    m_out.append("}");
    m_afterWord = false;
    m_written = outside;
}

void RtfEmitter::writeParagraphFormat(const ParagraphFormat &format)
{
    word("\\pard");
    if (format.alignment != 'l') {
        const char alignment[] = {'\\', 'q', format.alignment, '\0'};
        word(alignment);
    }
    if (format.leftIndent != 0)
        word("\\li", format.leftIndent);
    if (format.rightIndent != 0)
        word("\\ri", format.rightIndent);
    if (format.firstLineIndent != 0)
        word("\\fi", format.firstLineIndent);
    if (format.list != 0) {
        word("\\ls", format.list);
        word("\\ilvl", format.level);
    }
    m_paragraph = format;
}

void RtfEmitter::writeRunFormat(const RunFormat &format)
{
    RunFormat &written = m_written;
    if (format.font != written.font)
        word("\\f", format.font);
    if (format.halfPoints != written.halfPoints)
        word("\\fs", format.halfPoints);
    if (format.bold != written.bold)
        word(format.bold ? "\\b" : "\\b0");
    if (format.italic != written.italic)
        word(format.italic ? "\\i" : "\\i0");
    if (format.underline != written.underline)
        word(underlineWord(format.underline));
    if (format.strike != written.strike)
        word(format.strike ? "\\strike" : "\\strike0");
    if (format.verticalAlignment != written.verticalAlignment)
        word(verticalAlignmentWord(format.verticalAlignment));
    if (format.color != written.color)
        word("\\cf", format.color);
    if (format.background != written.background)
        word("\\highlight", format.background);
    written = format;
}

void RtfEmitter::writeText(QStringView text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x80 && c != '\\' && c != '{' && c != '}') {
            plain(char(c));
            continue;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            m_out.append('\\').append(char(c));
            m_afterWord = false;
            continue;
        case '\t':
            word("\\tab");
            continue;
        case QChar::LineSeparator:
            word("\\line");
            continue;
        case QChar::Nbsp:
            m_out.append("\\~");
            m_afterWord = false;
            continue;
        case QChar::SoftHyphen:
            m_out.append("\\-");
            m_afterWord = false;
            continue;
        case u'\u2011':
            m_out.append("\\_");
            m_afterWord = false;
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue; // control characters have no place in the text
        if (const int byte = Cp1252::byteFor(c); byte >= 0) {
            writeHexByte(byte);
        } else {
            // \u takes a signed 16-bit number; '?' is the fallback for
            // readers without Unicode, as \uc1 announced.
            word("\\u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
            m_out.append('?');
            m_afterWord = false;
        }
    }
}

void RtfEmitter::writeImages(const QTextImageFormat &format, qsizetype count)
{
    const QImage image = imageOf(m_document->resource(QTextDocument::ImageResource, QUrl(format.name())));
    if (image.isNull())
        return; // nothing to keep: the document could not show it either
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    double width = format.width() > 0 ? format.width() : image.width();
    double height = format.height() > 0 ? format.height() : image.height();
    if (format.width() > 0 && format.height() <= 0)
        height = image.height() * width / image.width();
    else if (format.height() > 0 && format.width() <= 0)
        width = image.width() * height / image.height();

    for (qsizetype i = 0; i < count; ++i) {
        m_out.append("{");
        word("\\pict");
        word("\\pngblip");
        word("\\picw", image.width());
        word("\\pich", image.height());
        word("\\picwgoal", qRound(width * kTwipsPerPixel));
        word("\\pichgoal", qRound(height * kTwipsPerPixel));
        m_out.append("\r\n");
        for (qsizetype at = 0; at < png.size(); ++at) {
            const auto byte = static_cast<unsigned char>(png[at]);
            m_out.append(kHexDigits[byte >> 4]).append(kHexDigits[byte & 0xF]);
            if ((at + 1) % (kHexLineLength / 2) == 0)
                m_out.append("\r\n");
        }
        m_out.append("}");
        m_afterWord = false;
    }
}

void RtfEmitter::writeEscapedName(QStringView name)
{
    // A ';' would end the entry early; font names never need one.
    QString cleaned = name.toString();
    cleaned.remove(QLatin1Char(';'));
    writeText(cleaned);
}

void RtfEmitter::word(const char *name)
{
    m_out.append(name);
    m_afterWord = true;
}

void RtfEmitter::word(const char *name, int value)
{
    m_out.append(name);
    number(value);
    m_afterWord = true;
}

void RtfEmitter::plain(char c)
{
    if (m_afterWord) {
        m_out.append(' ');
        m_afterWord = false;
    }
    m_out.append(c);
}

void RtfEmitter::number(int value)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_out.append(digits, result.ptr - digits);
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument *document)
{
    return RtfEmitter(document).write();
}
