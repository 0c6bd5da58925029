#include "notes/RtfReader.h"

#include "notes/CodePages.h"
#include "notes/PlainText.h"
#include "notes/RtfControlWords.h"
#include "notes/RtfDocumentBuilder.h"
#include "notes/RtfLists.h"
#include "notes/RtfTokenizer.h"
#include "platform/HexDigit.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QSet>
#include <QStack>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr QByteArrayView kRtfSignature = "{\\rtf";

// Deeper groups are left out; real files stay far below this.
constexpr int kMaxGroupDepth = 200;
// A damaged file can hold a problem in every byte; a few say enough.
constexpr int kMaxProblems = 20;
// Limits that keep absurd numbers from reaching the layout.
constexpr int kMaxIndentTwips = 31680; // 22 inches, wider than any page
constexpr int kMaxHalfPoints = 3276;   // 1638 pt, the largest size word processors allow
constexpr int kMaxUnicodeSkip = 255;
constexpr double kMaxPicturePixels = 16384;
constexpr double kTwipsPerPixel = 15.0;
// Limits on what a small file could make large: tables far beyond any real
// document's, and pictures that a few kilobytes of compressed data can
// declare. What goes past them is left out, and the problem says so.
constexpr int kMaxFonts = 16384;
constexpr int kMaxColors = 16384;
constexpr int kMaxLevelText = 256;     // \leveltext: its length (one byte in the format) and as many characters
constexpr qint64 kMaxPictureArea = 25'000'000; // pixels: a 6000 x 4000 photograph fits
constexpr qint64 kMaxPicturesArea = 4 * kMaxPictureArea; // of all pictures together

enum class Destination : unsigned char {
    Text,
    FontTable,
    ColorTable,
    Picture,
    ListTable, // \listtable and the groups inside it
    List,
    ListLevel,
    LevelText,
    LevelNumbers,
    ListOverrideTable,
    ListOverride,
    Shape, // a shape's or drawing object's properties, where only its text box is text
};

// What a group saves on '{' and gets back on '}'.
struct GroupState
{
    RtfCharState chars;
    RtfParagraphState paragraph;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc: bytes that stand in for each \u character
    bool hidden = false;
    bool listText = false; // inside \listtext
    bool textBox = false;  // inside the text of a text box
};

// A \listoverride: which list an \ls number stands for.
struct ListOverride
{
    int number = 0;
    int listId = -1;
};

struct FontEntry
{
    int number = -1;
    int codePage = 0; // 0: the document's \ansicpg
    QString name;
};

struct Picture
{
    enum class Kind { None, Png, Jpeg };
    Kind kind = Kind::None;
    QByteArray data;
    int pendingNibble = -1;
    int goalWidth = 0; // twips
    int goalHeight = 0;
    int scaleX = 100; // percent
    int scaleY = 100;
    qsizetype offset = 0;
};

// A code page as text is decoded in: one we or the system know, else
// Windows-1252.
struct CodePage
{
    int number = 1252;
    const CodePages::UpperHalf *upper = nullptr;
};

// Whether token can hold the trail byte of a double-byte character:
// writers escape a trail byte of 0x5C, 0x7B or 0x7D as \\, \{ or \}.
bool mayHoldTrailByte(const RtfToken &token)
{
    switch (token.kind) {
    case RtfToken::Kind::HexByte:
    case RtfToken::Kind::Text:
        return true;
    case RtfToken::Kind::ControlSymbol:
        return token.symbol == '\\' || token.symbol == '{' || token.symbol == '}';
    default:
        return false;
    }
}

bool isTrailingFiller(char c)
{
    return c == '\0' || c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

class RtfParser
{
public:
    RtfParser(const QByteArray &input, QTextDocument *document)
        : m_input(input), m_tokens(input, 1), m_builder(document) // tokens start past the outermost '{'
    {
    }

    // The problems met; warnings go to warnings.
    QStringList parse(QStringList &warnings);

private:
    void onGroupStart(const RtfToken &token);
    void onGroupEnd();
    void onControlWord(const RtfToken &token);
    void onControlSymbol(const RtfToken &token);
    void onHexByte(const RtfToken &token);
    void onByte(unsigned char byte, qsizetype offset);
    void onText(const RtfToken &token);
    void onUnicode(int value);

    bool startDestination(RtfWord word);
    void enterDestination(Destination from, Destination to);
    void startTextBox();
    void applyListWord(RtfWord word, const RtfToken &token);
    void appendToLevelText(char16_t c);
    bool applyUnicodeWord(RtfWord word, const RtfToken &token);
    void applyFontTableWord(RtfWord word, const RtfToken &token);
    void applyColorTableWord(RtfWord word, const RtfToken &token);
    void applyPictureWord(RtfWord word, const RtfToken &token);
    void applyTextWord(RtfWord word, const RtfToken &token);
    bool applyCharWord(RtfWord word, const RtfToken &token);
    bool applyParagraphWord(RtfWord word, const RtfToken &token);

    void endDestination(Destination closed);
    void commitListLevel();
    void appendToFontName(unsigned char byte, qsizetype offset);
    void commitFont();
    void commitColor();
    void finishPicture();
    void skipGroup();

    // Text destination output
    void appendText(QByteArrayView bytes, bool printableAscii, qsizetype offset);
    template<typename Out>
    void decodeByte(unsigned char byte, const CodePage &codePage, Out out);
    void dropLeadByte();
    void beginContent();
    void appendUnit(char16_t unit);
    void endParagraph();
    std::optional<RtfListItem> listItem();
    CodePage resolve(int codePage, QByteArrayView bytes, qsizetype offset);
    int codePageOfFont(int font);

    void addProblem(qsizetype offset, const QString &what);

    const QByteArray &m_input;
    RtfTokenizer m_tokens;
    RtfDocumentBuilder m_builder;
    QStack<GroupState> m_groups;
    GroupState m_state;
    bool m_starPending = false;
    bool m_skippedGroup = false; // the group about to close was skipped unread
    bool m_ended = false;
    int m_skipCount = 0;         // fallback bytes still to skip after \u
    int m_pendingCells = 0;      // cell ends whose tab waits for the next content
    char16_t m_highSurrogate = 0; // first half of a \u pair
    unsigned char m_leadByte = 0; // first byte of a double-byte character, 0 when none

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, int> m_fontCodePages;
    int m_codePageFont = -1; // the font whose code page m_codePage is
    int m_codePage = 1252;
    bool m_codePagesChanged = true;
    FontEntry m_font;
    QList<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
    Picture m_picture;
    RtfLists m_lists;
    QList<RtfListLevel> m_listLevels; // of the \list being read
    int m_listId = -1;
    RtfListLevel m_level;
    QString m_levelText;      // \leveltext as read, its length first
    bool m_levelTextEnded = false;
    QList<int> m_levelNumbers; // \levelnumbers as read
    bool m_hasLevelNumbers = false;
    ListOverride m_override;
    bool m_shapeHasTextBox = false;

    int m_resolvedFor = 0; // the code page resolve() was asked for last, and what it gave
    CodePage m_resolved;
    QSet<int> m_reportedCodePages;
    bool m_reportedDepth = false;
    bool m_reportedFonts = false;
    bool m_reportedColors = false;
    qint64 m_picturesArea = 0;
    QStringList m_problems;
};

QStringList RtfParser::parse(QStringList &warnings)
{
    while (!m_ended) {
        const RtfToken token = m_tokens.next();
        if (m_leadByte != 0 && !mayHoldTrailByte(token))
            dropLeadByte();
        switch (token.kind) {
        case RtfToken::Kind::End:
            addProblem(token.offset, QStringLiteral("the file ends with %1 group(s) still open (truncated or unbalanced braces)")
                                         .arg(m_groups.size() + 1));
            m_ended = true;
            break;
        case RtfToken::Kind::GroupStart:
            onGroupStart(token);
            break;
        case RtfToken::Kind::GroupEnd:
            onGroupEnd();
            break;
        case RtfToken::Kind::ControlWord:
            onControlWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            onControlSymbol(token);
            break;
        case RtfToken::Kind::HexByte:
            onHexByte(token);
            break;
        case RtfToken::Kind::Text:
            onText(token);
            break;
        case RtfToken::Kind::Broken:
            addProblem(token.offset, QString::fromLatin1(token.text));
            break;
        }
    }
    if (m_highSurrogate != 0)
        beginContent();
    m_builder.finish(m_state.paragraph, m_state.chars, m_builder.hasOpenParagraph() ? listItem() : std::nullopt);

    const QByteArrayView rest = QByteArrayView(m_input).sliced(m_tokens.position());
    if (!std::all_of(rest.begin(), rest.end(), isTrailingFiller)) {
        warnings.append(QStringLiteral("text after the document's closing brace was left out (at byte %1)")
                            .arg(m_tokens.position()));
    }
    return m_problems;
}

void RtfParser::onGroupStart(const RtfToken &token)
{
    m_skipCount = 0;
    m_starPending = false;
    m_groups.push(m_state);
    if (m_groups.size() > kMaxGroupDepth) {
        if (!m_reportedDepth)
            addProblem(token.offset, QStringLiteral("groups nested deeper than %1 were left out").arg(kMaxGroupDepth));
        m_reportedDepth = true;
        skipGroup();
    }
}

void RtfParser::onGroupEnd()
{
    m_skipCount = 0;
    m_starPending = false;
    if (m_groups.isEmpty()) {
        m_ended = true;
        return;
    }
    const GroupState closed = m_state;
    m_state = m_groups.pop();
    if (std::exchange(m_skippedGroup, false))
        return;
    if (closed.destination == Destination::FontTable)
        commitFont(); // an entry may end with its group instead of ';'
    if (closed.destination != m_state.destination)
        endDestination(closed.destination);
    if (closed.listText && !m_state.listText)
        m_builder.endListText();
    if (closed.textBox && !m_state.textBox)
        m_builder.endTextBox();
}

void RtfParser::onControlWord(const RtfToken &token)
{
    const RtfWord word = rtfWordFor(token.text);
    if (std::exchange(m_starPending, false)) {
        // \* marks a group that readers which do not know it must skip.
        switch (word) {
        case RtfWord::Shppict:
        case RtfWord::Listtable:
        case RtfWord::Listoverridetable:
        case RtfWord::Shpinst:
        case RtfWord::Do:
            break;
        default:
            skipGroup();
            return;
        }
    }
    if (word == RtfWord::Bin) {
        const QByteArrayView data = m_tokens.takeBinary(token.parameter);
        if (data.size() < token.parameter)
            addProblem(token.offset, QStringLiteral("the file ends inside \\bin data"));
        if (m_state.destination == Destination::Picture)
            m_picture.data.append(data);
        return;
    }
    if (m_skipCount > 0) {
        --m_skipCount; // a control word stands in for one \u fallback character
        return;
    }
    if (startDestination(word))
        return;
    switch (m_state.destination) {
    case Destination::Text:
        applyTextWord(word, token);
        break;
    case Destination::FontTable:
        applyFontTableWord(word, token);
        break;
    case Destination::ColorTable:
        applyColorTableWord(word, token);
        break;
    case Destination::Picture:
        applyPictureWord(word, token);
        break;
    case Destination::ListTable:
    case Destination::List:
    case Destination::ListLevel:
    case Destination::LevelText:
    case Destination::LevelNumbers:
    case Destination::ListOverrideTable:
    case Destination::ListOverride:
        applyListWord(word, token);
        break;
    case Destination::Shape:
        break; // shape properties are not shown
    }
}

bool RtfParser::startDestination(RtfWord word)
{
    switch (word) {
    case RtfWord::SkippedDestination:
        skipGroup();
        return true;
    case RtfWord::Fonttbl:
        if (m_state.destination != Destination::Text) {
            skipGroup();
            return true;
        }
        m_state.destination = Destination::FontTable;
        m_font = FontEntry{};
        return true;
    case RtfWord::Colortbl:
        if (m_state.destination != Destination::Text) {
            skipGroup();
            return true;
        }
        m_state.destination = Destination::ColorTable;
        m_colors.clear();
        return true;
    case RtfWord::Pict:
        if (m_state.destination != Destination::Text) {
            skipGroup();
            return true;
        }
        m_state.destination = Destination::Picture;
        m_picture = Picture{};
        m_picture.offset = m_tokens.position();
        return true;
    case RtfWord::Listtable:
        enterDestination(Destination::Text, Destination::ListTable);
        return true;
    case RtfWord::List:
        enterDestination(Destination::ListTable, Destination::List);
        m_listLevels.clear();
        m_listId = -1;
        return true;
    case RtfWord::Listlevel:
        enterDestination(Destination::List, Destination::ListLevel);
        m_level = RtfListLevel{};
        m_levelText.clear();
        m_levelTextEnded = false;
        m_levelNumbers.clear();
        m_hasLevelNumbers = false;
        return true;
    case RtfWord::Leveltext:
        enterDestination(Destination::ListLevel, Destination::LevelText);
        return true;
    case RtfWord::Levelnumbers:
        enterDestination(Destination::ListLevel, Destination::LevelNumbers);
        m_hasLevelNumbers = true;
        return true;
    case RtfWord::Listoverridetable:
        enterDestination(Destination::Text, Destination::ListOverrideTable);
        return true;
    case RtfWord::Listoverride:
        enterDestination(Destination::ListOverrideTable, Destination::ListOverride);
        m_override = ListOverride{};
        return true;
    case RtfWord::Shp:
        m_shapeHasTextBox = false;
        return false;
    case RtfWord::Shpinst:
    case RtfWord::Do:
        enterDestination(Destination::Text, Destination::Shape);
        return true;
    case RtfWord::Shptxt:
    case RtfWord::Dptxbxtext:
        startTextBox();
        return true;
    case RtfWord::Shprslt:
        // What a shape looks like to readers that do not know shapes: its
        // text box's text again, when the shape has one.
        if (m_shapeHasTextBox)
            skipGroup();
        return true;
    case RtfWord::Listtext:
        if (m_state.destination != Destination::Text) {
            skipGroup();
            return true;
        }
        m_state.listText = true;
        m_builder.beginListText();
        return true;
    default:
        return false;
    }
}

void RtfParser::enterDestination(Destination from, Destination to)
{
    if (m_state.destination == from)
        m_state.destination = to;
    else
        skipGroup(); // out of its place
}

void RtfParser::startTextBox()
{
    if (m_state.destination != Destination::Shape && m_state.destination != Destination::Text) {
        skipGroup();
        return;
    }
    m_shapeHasTextBox = true;
    m_state.destination = Destination::Text;
    if (!m_state.textBox)
        m_builder.beginTextBox();
    m_state.textBox = true;
    m_state.paragraph = RtfParagraphState{};
}

void RtfParser::onControlSymbol(const RtfToken &token)
{
    if (token.symbol == '*') {
        m_starPending = true;
        return;
    }
    m_starPending = false;
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    if (m_state.destination != Destination::Text && m_leadByte == 0)
        return;
    switch (token.symbol) {
    case '\\':
    case '{':
    case '}':
        if (m_leadByte != 0)
            onByte(static_cast<unsigned char>(token.symbol), token.offset);
        else
            appendUnit(char16_t(token.symbol));
        break;
    case '~':
        appendUnit(QChar::Nbsp);
        break;
    case '-':
        appendUnit(QChar::SoftHyphen);
        break;
    case '_':
        appendUnit(u'\u2011'); // non-breaking hyphen
        break;
    case '\r':
    case '\n':
        endParagraph(); // a backslash before a line end is a paragraph mark
        break;
    default:
        break;
    }
}

void RtfParser::onHexByte(const RtfToken &token)
{
    m_starPending = false;
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    onByte(token.byte, token.offset);
}

void RtfParser::onByte(unsigned char byte, qsizetype offset)
{
    switch (m_state.destination) {
    case Destination::Text:
        if (!m_state.hidden)
            appendText(QByteArrayView(reinterpret_cast<const char *>(&byte), 1), false, offset);
        break;
    case Destination::FontTable:
        appendToFontName(byte, offset);
        break;
    case Destination::LevelText:
        // Bytes below 9 are the places of level numbers; the rest are text.
        appendToLevelText(byte >= 0x80 ? (*resolve(m_ansiCodePage, {}, offset).upper)[byte - 0x80] : char16_t(byte));
        break;
    case Destination::LevelNumbers:
        if (m_levelNumbers.size() < RtfLists::kLevels)
            m_levelNumbers.append(byte);
        break;
    case Destination::ColorTable:
    case Destination::Picture:
    case Destination::ListTable:
    case Destination::List:
    case Destination::ListLevel:
    case Destination::ListOverrideTable:
    case Destination::ListOverride:
    case Destination::Shape:
        break;
    }
}

void RtfParser::onText(const RtfToken &token)
{
    m_starPending = false;
    QByteArrayView bytes = token.text;
    if (m_skipCount > 0) {
        const qsizetype skipped = std::min<qsizetype>(m_skipCount, bytes.size());
        m_skipCount -= int(skipped);
        bytes = bytes.sliced(skipped);
        if (bytes.isEmpty())
            return;
    }
    switch (m_state.destination) {
    case Destination::Text:
        if (!m_state.hidden)
            appendText(bytes, token.printableAscii, token.offset);
        break;
    case Destination::FontTable:
        for (const char c : bytes) {
            if (c == ';')
                commitFont();
            else
                appendToFontName(static_cast<unsigned char>(c), token.offset);
        }
        break;
    case Destination::ColorTable:
        for (const char c : bytes) {
            if (c == ';')
                commitColor();
        }
        break;
    case Destination::LevelText:
        for (const char c : bytes) {
            if (c == ';')
                m_levelTextEnded = true;
            else
                onByte(static_cast<unsigned char>(c), token.offset);
        }
        break;
    case Destination::ListTable:
    case Destination::List:
    case Destination::ListLevel:
    case Destination::LevelNumbers:
    case Destination::ListOverrideTable:
    case Destination::ListOverride:
    case Destination::Shape:
        break;
    case Destination::Picture:
        if (m_picture.kind == Picture::Kind::None)
            break;
        m_picture.data.reserve(m_picture.data.size() + bytes.size() / 2);
        for (const char c : bytes) {
            const int nibble = hexDigitValue(c);
            if (nibble < 0)
                continue;
            if (m_picture.pendingNibble < 0) {
                m_picture.pendingNibble = nibble;
            } else {
                m_picture.data.append(char(m_picture.pendingNibble * 16 + nibble));
                m_picture.pendingNibble = -1;
            }
        }
        break;
    }
}

void RtfParser::onUnicode(int value)
{
    // \u takes a signed 16-bit number; values above 32767 come negative.
    if (value < -0x8000)
        value = -1;
    else if (value < 0)
        value += 0x10000;
    m_skipCount = m_state.unicodeSkip;
    if (m_state.destination == Destination::FontTable) {
        if (value >= 0 && value <= 0xFFFF)
            m_font.name.append(QChar(char16_t(value)));
        return;
    }
    if (m_state.destination == Destination::LevelText) {
        if (value >= 0 && value <= 0xFFFF)
            appendToLevelText(char16_t(value));
        return;
    }
    if (m_state.destination != Destination::Text || m_state.hidden)
        return;
    if (value < 0 || value > 0x10FFFF) {
        appendUnit(QChar::ReplacementCharacter);
    } else if (value > 0xFFFF) {
        // Not how the format spells such characters, but some writers do.
        appendUnit(QChar::highSurrogate(char32_t(value)));
        appendUnit(QChar::lowSurrogate(char32_t(value)));
    } else {
        appendUnit(char16_t(value));
    }
}

// \u and \uc, which every destination that holds text reads.
bool RtfParser::applyUnicodeWord(RtfWord word, const RtfToken &token)
{
    if (word == RtfWord::U)
        onUnicode(token.parameter);
    else if (word == RtfWord::Uc)
        m_state.unicodeSkip = std::clamp(token.parameter, 0, kMaxUnicodeSkip);
    else
        return false;
    return true;
}

void RtfParser::applyFontTableWord(RtfWord word, const RtfToken &token)
{
    if (applyUnicodeWord(word, token))
        return;
    switch (word) {
    case RtfWord::F:
        m_font.number = token.parameter;
        break;
    case RtfWord::Fcharset:
        m_font.codePage = CodePages::forCharset(token.parameter);
        break;
    case RtfWord::Cpg:
        m_font.codePage = token.parameter;
        break;
    default:
        break;
    }
}

void RtfParser::applyListWord(RtfWord word, const RtfToken &token)
{
    if (applyUnicodeWord(word, token))
        return;
    switch (word) {
    case RtfWord::Levelnfc:
        if (m_state.destination == Destination::ListLevel)
            m_level.numberFormat = token.parameter;
        break;
    case RtfWord::Levelstartat:
        if (m_state.destination == Destination::ListLevel)
            m_level.startAt = std::clamp(token.parameter, 0, 32767);
        break;
    case RtfWord::Listid:
        if (m_state.destination == Destination::List)
            m_listId = token.parameter;
        else if (m_state.destination == Destination::ListOverride)
            m_override.listId = token.parameter;
        break;
    case RtfWord::Ls:
        if (m_state.destination == Destination::ListOverride)
            m_override.number = token.parameter;
        break;
    default:
        break;
    }
}

void RtfParser::appendToLevelText(char16_t c)
{
    if (!m_levelTextEnded && m_levelText.size() < kMaxLevelText)
        m_levelText.append(QChar(c));
}

void RtfParser::applyColorTableWord(RtfWord word, const RtfToken &token)
{
    const int value = std::clamp(token.parameter, 0, 255);
    switch (word) {
    case RtfWord::Red:
        m_red = value;
        break;
    case RtfWord::Green:
        m_green = value;
        break;
    case RtfWord::Blue:
        m_blue = value;
        break;
    default:
        break;
    }
}

void RtfParser::applyPictureWord(RtfWord word, const RtfToken &token)
{
    switch (word) {
    case RtfWord::Pngblip:
        m_picture.kind = Picture::Kind::Png;
        break;
    case RtfWord::Jpegblip:
        m_picture.kind = Picture::Kind::Jpeg;
        break;
    case RtfWord::OtherPicture:
        m_picture.kind = Picture::Kind::None;
        skipGroup(); // metafiles and device-dependent bitmaps are not shown
        break;
    case RtfWord::Picwgoal:
        m_picture.goalWidth = std::max(token.parameter, 0);
        break;
    case RtfWord::Pichgoal:
        m_picture.goalHeight = std::max(token.parameter, 0);
        break;
    case RtfWord::Picscalex:
        m_picture.scaleX = std::clamp(token.parameter, 1, 10000);
        break;
    case RtfWord::Picscaley:
        m_picture.scaleY = std::clamp(token.parameter, 1, 10000);
        break;
    default:
        break;
    }
}

void RtfParser::applyTextWord(RtfWord word, const RtfToken &token)
{
    if (applyCharWord(word, token) || applyParagraphWord(word, token) || applyUnicodeWord(word, token))
        return;
    switch (word) {
    case RtfWord::Ansicpg:
        m_ansiCodePage = token.parameter == 0 ? CodePages::systemCodePage() : token.parameter;
        m_codePagesChanged = true;
        break;
    case RtfWord::Deff:
        m_defaultFont = token.parameter;
        m_codePagesChanged = true;
        m_builder.setDefaultFont(token.parameter);
        break;
    case RtfWord::Par:
        endParagraph();
        break;
    case RtfWord::Line:
        appendUnit(QChar::LineSeparator);
        break;
    case RtfWord::Tab:
        appendUnit(u'\t');
        break;
    case RtfWord::Cell:
        // Cells are flattened: the tab comes before the next cell's content,
        // so a row's last cell leaves none behind.
        ++m_pendingCells;
        break;
    case RtfWord::Row:
        m_pendingCells = 0;
        endParagraph();
        break;
    case RtfWord::Lquote:
        appendUnit(u'\u2018');
        break;
    case RtfWord::Rquote:
        appendUnit(u'\u2019');
        break;
    case RtfWord::Ldblquote:
        appendUnit(u'\u201C');
        break;
    case RtfWord::Rdblquote:
        appendUnit(u'\u201D');
        break;
    case RtfWord::Bullet:
        appendUnit(u'\u2022');
        break;
    case RtfWord::Endash:
        appendUnit(u'\u2013');
        break;
    case RtfWord::Emdash:
        appendUnit(u'\u2014');
        break;
    case RtfWord::Enspace:
        appendUnit(u'\u2002');
        break;
    case RtfWord::Emspace:
        appendUnit(u'\u2003');
        break;
    case RtfWord::Qmspace:
        appendUnit(u'\u2005');
        break;
    case RtfWord::Zwj:
        appendUnit(u'\u200D');
        break;
    case RtfWord::Zwnj:
        appendUnit(u'\u200C');
        break;
    default:
        break;
    }
}

bool RtfParser::applyCharWord(RtfWord word, const RtfToken &token)
{
    RtfCharState &chars = m_state.chars;
    // Toggles: the bare word or a non-zero number switches on, 0 switches off.
    const bool on = !token.hasParameter || token.parameter != 0;
    switch (word) {
    case RtfWord::Plain:
        chars = RtfCharState{};
        m_state.hidden = false;
        return true;
    case RtfWord::F:
        chars.font = token.hasParameter ? token.parameter : 0;
        return true;
    case RtfWord::Fs:
        chars.halfPoints = token.hasParameter && token.parameter > 0
                               ? std::min(token.parameter, kMaxHalfPoints)
                               : RtfCharState{}.halfPoints;
        return true;
    case RtfWord::Cf:
        chars.color = token.parameter;
        return true;
    case RtfWord::Highlight:
    case RtfWord::Cb:
        chars.background = token.parameter;
        return true;
    case RtfWord::B:
        chars.bold = on;
        return true;
    case RtfWord::I:
        chars.italic = on;
        return true;
    case RtfWord::Strike:
        chars.strike = on;
        return true;
    case RtfWord::V:
        m_state.hidden = on;
        return true;
    case RtfWord::Super:
        chars.verticalAlignment = QTextCharFormat::AlignSuperScript;
        return true;
    case RtfWord::Sub:
        chars.verticalAlignment = QTextCharFormat::AlignSubScript;
        return true;
    case RtfWord::Nosupersub:
        chars.verticalAlignment = QTextCharFormat::AlignNormal;
        return true;
    case RtfWord::Up: // raised or lowered by half points; shown as super- and subscript
        chars.verticalAlignment = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        return true;
    case RtfWord::Dn:
        chars.verticalAlignment = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        return true;
    case RtfWord::Ul:
        chars.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        return true;
    case RtfWord::Ulnone:
        chars.underline = QTextCharFormat::NoUnderline;
        return true;
    case RtfWord::UlDotted:
        chars.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        return true;
    case RtfWord::UlDash:
        chars.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        return true;
    case RtfWord::UlDashDot:
        chars.underline = on ? QTextCharFormat::DashDotLine : QTextCharFormat::NoUnderline;
        return true;
    case RtfWord::UlDashDotDot:
        chars.underline = on ? QTextCharFormat::DashDotDotLine : QTextCharFormat::NoUnderline;
        return true;
    case RtfWord::UlWave:
        chars.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        return true;
    default:
        return false;
    }
}

bool RtfParser::applyParagraphWord(RtfWord word, const RtfToken &token)
{
    RtfParagraphState &paragraph = m_state.paragraph;
    const int twips = std::clamp(token.parameter, -kMaxIndentTwips, kMaxIndentTwips);
    switch (word) {
    case RtfWord::Pard:
        paragraph = RtfParagraphState{};
        return true;
    case RtfWord::Ql:
        paragraph.alignment = Qt::AlignLeft;
        return true;
    case RtfWord::Qc:
        paragraph.alignment = Qt::AlignHCenter;
        return true;
    case RtfWord::Qr:
        paragraph.alignment = Qt::AlignRight;
        return true;
    case RtfWord::Qj:
        paragraph.alignment = Qt::AlignJustify;
        return true;
    case RtfWord::Li:
        paragraph.leftIndent = twips;
        return true;
    case RtfWord::Ri:
        paragraph.rightIndent = twips;
        return true;
    case RtfWord::Fi:
        paragraph.firstLineIndent = twips;
        return true;
    case RtfWord::Ls:
        paragraph.listOverride = token.parameter;
        return true;
    case RtfWord::Ilvl:
        paragraph.listLevel = std::clamp(token.parameter, 0, RtfLists::kLevels - 1);
        return true;
    default:
        return false;
    }
}

void RtfParser::endDestination(Destination closed)
{
    switch (closed) {
    case Destination::ColorTable:
        commitColor(); // a table may lack its final ';'
        m_builder.setColors(m_colors);
        break;
    case Destination::Picture:
        finishPicture();
        break;
    case Destination::LevelText:
        // Its first character is its length.
        if (!m_levelText.isEmpty())
            m_level.text = m_levelText.mid(1, m_levelText.at(0).unicode());
        break;
    case Destination::ListLevel:
        commitListLevel();
        break;
    case Destination::List:
        if (m_listId >= 0)
            m_lists.addList(m_listId, m_listLevels);
        break;
    case Destination::ListOverride:
        m_lists.addOverride(m_override.number, m_override.listId);
        break;
    case Destination::FontTable:
    case Destination::Text:
    case Destination::ListTable:
    case Destination::LevelNumbers:
    case Destination::ListOverrideTable:
    case Destination::Shape:
        break;
    }
}

void RtfParser::commitListLevel()
{
    // The level numbers go where \levelnumbers says, in 1-based offsets
    // that count the length too. A marker is one short line: control
    // characters, line and paragraph separators, halves of surrogate pairs
    // and the document's frame markers are dropped.
    const auto fitsMarker = [](char16_t c) {
        return c >= 0x20 && !QChar::isSurrogate(c) && c != QChar::LineSeparator && c != QChar::ParagraphSeparator
               && c != 0xFDD0 && c != 0xFDD1;
    };
    QString text;
    for (qsizetype i = 0; i < m_level.text.size(); ++i) {
        const char16_t c = m_level.text.at(i).unicode();
        // A marker shows each level's number once at most; more places
        // would only make every item's marker longer.
        const bool isPlace = c < RtfLists::kLevels && (!m_hasLevelNumbers || m_levelNumbers.contains(int(i + 1)))
                             && m_level.placeholders.size() < RtfLists::kLevels;
        if (isPlace)
            m_level.placeholders.append(int(text.size()));
        if (isPlace || fitsMarker(c))
            text.append(QChar(c));
    }
    m_level.text = text;
    if (m_listLevels.size() < RtfLists::kLevels)
        m_listLevels.append(m_level);
}

void RtfParser::appendToFontName(unsigned char byte, qsizetype offset)
{
    if (byte < 0x80 && m_leadByte == 0) {
        m_font.name.append(QLatin1Char(char(byte)));
        return;
    }
    const int number = m_font.codePage != 0 ? m_font.codePage : m_ansiCodePage;
    const CodePage codePage = resolve(number, QByteArrayView(reinterpret_cast<const char *>(&byte), 1), offset);
    decodeByte(byte, codePage, [this](char16_t c) { m_font.name.append(QChar(c)); });
}

void RtfParser::commitFont()
{
    const QString name = m_font.name.trimmed();
    const bool isFull = m_fontCodePages.size() >= kMaxFonts && !m_fontCodePages.contains(m_font.number);
    if (m_font.number >= 0 && !name.isEmpty() && isFull) {
        if (!std::exchange(m_reportedFonts, true))
            addProblem(m_tokens.position(), QStringLiteral("more than %1 fonts; the rest were left out").arg(kMaxFonts));
    } else if (m_font.number >= 0 && !name.isEmpty()) {
        m_fontCodePages.insert(m_font.number, m_font.codePage);
        m_codePagesChanged = true;
        m_builder.setFontFamily(m_font.number, name);
    }
    m_font = FontEntry{};
}

void RtfParser::commitColor()
{
    if (m_colors.size() >= kMaxColors) {
        if (!std::exchange(m_reportedColors, true))
            addProblem(m_tokens.position(), QStringLiteral("more than %1 colours; the rest were left out").arg(kMaxColors));
        m_red = m_green = m_blue = -1;
        return;
    }
    if (m_red < 0 && m_green < 0 && m_blue < 0) {
        m_colors.append(QColor()); // an empty entry is the automatic colour
    } else {
        m_colors.append(QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
    }
    m_red = m_green = m_blue = -1;
}

void RtfParser::finishPicture()
{
    if (m_picture.kind == Picture::Kind::None)
        return;
    const char *format = m_picture.kind == Picture::Kind::Png ? "PNG" : "JPEG";
    QBuffer buffer(&m_picture.data);
    QImageReader reader(&buffer, format);
    // The size the picture declares, read before anything is decoded.
    const QSize declared = reader.size();
    const qint64 area = qint64(declared.width()) * declared.height();
    if (area > kMaxPictureArea) {
        addProblem(m_picture.offset, QStringLiteral("a picture of %1 x %2 pixels was left out (at most %3 million pixels)")
                                         .arg(declared.width()).arg(declared.height()).arg(kMaxPictureArea / 1'000'000));
        return;
    }
    if (m_picturesArea + area > kMaxPicturesArea) {
        addProblem(m_picture.offset, QStringLiteral("a picture was left out: the pictures hold more than %1 million pixels")
                                         .arg(kMaxPicturesArea / 1'000'000));
        return;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        addProblem(m_picture.offset, QStringLiteral("a %1 picture could not be decoded").arg(QLatin1StringView(format)));
        return;
    }
    m_picturesArea += qint64(image.width()) * image.height();
    const double width = m_picture.goalWidth > 0 ? m_picture.goalWidth / kTwipsPerPixel : image.width();
    const double height = m_picture.goalHeight > 0 ? m_picture.goalHeight / kTwipsPerPixel : image.height();
    const QSizeF size(std::clamp(width * m_picture.scaleX / 100.0, 1.0, kMaxPicturePixels),
                      std::clamp(height * m_picture.scaleY / 100.0, 1.0, kMaxPicturePixels));
    beginContent();
    m_builder.appendImage(image, size, m_state.chars);
}

void RtfParser::skipGroup()
{
    m_tokens.skipGroup();
    m_skippedGroup = true;
}

void RtfParser::appendText(QByteArrayView bytes, bool printableAscii, qsizetype offset)
{
    beginContent();
    // Most text is printable ASCII, the same in every code page.
    if (printableAscii && m_leadByte == 0) {
        m_builder.appendAscii(bytes, m_state.chars);
        return;
    }
    const CodePage codePage = resolve(codePageOfFont(m_state.chars.font), bytes, offset);
    if (!CodePages::isDoubleByte(codePage.number)) {
        m_builder.appendBytes(bytes, *codePage.upper, m_state.chars);
        return;
    }
    for (const char byte : bytes)
        decodeByte(static_cast<unsigned char>(byte), codePage, [this](char16_t c) { m_builder.appendChar(c, m_state.chars); });
}

template<typename Out>
void RtfParser::decodeByte(unsigned char byte, const CodePage &codePage, Out out)
{
    if (m_leadByte != 0) {
        if (const auto c = CodePages::pairChar(codePage.number, std::exchange(m_leadByte, 0), byte)) {
            out(*c);
            return;
        }
        out(char16_t(QChar::ReplacementCharacter)); // the trail byte is read on its own
    }
    if (CodePages::isLeadByte(codePage.number, byte))
        m_leadByte = byte;
    else
        out(byte >= 0x80 ? (*codePage.upper)[byte - 0x80] : char16_t(byte));
}

// A lead byte that no trail byte followed.
void RtfParser::dropLeadByte()
{
    m_leadByte = 0;
    if (m_state.destination == Destination::FontTable)
        m_font.name.append(QChar::ReplacementCharacter);
    else if (m_state.destination == Destination::Text && !m_state.hidden)
        m_builder.appendChar(QChar::ReplacementCharacter, m_state.chars);
}

void RtfParser::beginContent()
{
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        m_builder.appendChar(QChar::ReplacementCharacter, m_state.chars);
    }
    for (; m_pendingCells > 0; --m_pendingCells)
        m_builder.appendChar(u'\t', m_state.chars);
}

void RtfParser::appendUnit(char16_t unit)
{
    if (m_state.destination != Destination::Text || m_state.hidden)
        return;
    if (m_highSurrogate != 0 && QChar::isLowSurrogate(unit)) {
        m_builder.appendChar(std::exchange(m_highSurrogate, 0), m_state.chars);
        m_builder.appendChar(unit, m_state.chars);
        return;
    }
    beginContent();
    if (QChar::isHighSurrogate(unit))
        m_highSurrogate = unit;
    else if (QChar::isLowSurrogate(unit))
        m_builder.appendChar(QChar::ReplacementCharacter, m_state.chars);
    else if (unit == QChar::ParagraphSeparator)
        endParagraph();
    else
        m_builder.appendChar(unit, m_state.chars);
}

void RtfParser::endParagraph()
{
    if (m_highSurrogate != 0)
        beginContent();
    m_builder.endParagraph(m_state.paragraph, m_state.chars, listItem());
}

// The paragraph's place in the list it names, when the list table has it.
std::optional<RtfListItem> RtfParser::listItem()
{
    const RtfParagraphState &paragraph = m_state.paragraph;
    if (paragraph.listOverride == 0 || !m_lists.contains(paragraph.listOverride))
        return std::nullopt;
    return m_lists.nextItem(paragraph.listOverride, paragraph.listLevel);
}

CodePage RtfParser::resolve(int codePage, QByteArrayView bytes, qsizetype offset)
{
    // Text comes in many short pieces in the same code page; look it up
    // once, since one the system does not know is asked for every time.
    if (codePage != m_resolvedFor || !m_resolved.upper) {
        const CodePages::UpperHalf *upper = CodePages::upperHalf(codePage);
        m_resolved = upper ? CodePage{codePage, upper} : CodePage{1252, CodePages::upperHalf(1252)};
        m_resolvedFor = codePage;
    }
    if (m_resolved.number == codePage)
        return m_resolved;
    const bool needed = std::any_of(bytes.begin(), bytes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (needed && !m_reportedCodePages.contains(codePage)) {
        m_reportedCodePages.insert(codePage);
        addProblem(offset, QStringLiteral("code page %1 is not supported; its characters were read as Windows-1252")
                               .arg(codePage));
    }
    return m_resolved;
}

int RtfParser::codePageOfFont(int font)
{
    // Text comes in many short pieces in the same font; look it up once.
    if (font != m_codePageFont || m_codePagesChanged) {
        const int codePage = m_fontCodePages.value(font < 0 ? m_defaultFont : font, 0);
        m_codePage = codePage != 0 ? codePage : m_ansiCodePage;
        m_codePageFont = font;
        m_codePagesChanged = false;
    }
    return m_codePage;
}

void RtfParser::addProblem(qsizetype offset, const QString &what)
{
    if (m_problems.size() < kMaxProblems)
        m_problems.append(QStringLiteral("%1 (at byte %2)").arg(what).arg(offset));
    else if (m_problems.size() == kMaxProblems)
        m_problems.append(QStringLiteral("more problems follow"));
}

} // namespace

RtfReadResult RtfReader::read(const QByteArray &input, QTextDocument *document)
{
    RtfReadResult result;
    const bool undoWasEnabled = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    if (input.startsWith(kRtfSignature)) {
        result.problems = RtfParser(input, document).parse(result.warnings);
    } else {
        result.wasRtf = false;
        document->setPlainText(PlainText::decode(input));
    }
    document->setUndoRedoEnabled(undoWasEnabled);
    return result;
}
