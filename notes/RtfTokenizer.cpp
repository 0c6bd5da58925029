#include "notes/RtfTokenizer.h"

#include "platform/HexDigit.h"

#include <algorithm>
#include <array>
#include <climits>

namespace {

// Control words are at most 32 letters; a longer one is read whole but
// cannot be a word we know.
constexpr qsizetype kMaxWordLength = 32;

// What each byte is to a run of text: whether it ends the run, and whether
// it is anything but printable ASCII (which needs a code page or is dropped).
constexpr unsigned char kEndsText = 1;
constexpr unsigned char kNotPrintable = 2;
constexpr std::array<unsigned char, 256> kTextBytes = [] {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = b < 0x20 || b >= 0x80 ? kNotPrintable : 0;
    for (const char c : {'\\', '{', '}', '\r', '\n'})
        table[static_cast<unsigned char>(c)] |= kEndsText;
    return table;
}();

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

RtfToken groupToken(RtfToken::Kind kind, qsizetype offset)
{
    RtfToken token;
    token.kind = kind;
    token.offset = offset;
    return token;
}

RtfToken broken(qsizetype offset, const char *what)
{
    RtfToken token;
    token.kind = RtfToken::Kind::Broken;
    token.text = QByteArrayView(what);
    token.offset = offset;
    return token;
}

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView input, qsizetype start)
    : m_input(input), m_pos(start)
{
}

RtfToken RtfTokenizer::next()
{
    while (m_pos < m_input.size()) {
        const qsizetype start = m_pos;
        switch (m_input[m_pos]) {
        case '{':
            ++m_pos;
            return groupToken(RtfToken::Kind::GroupStart, start);
        case '}':
            ++m_pos;
            return groupToken(RtfToken::Kind::GroupEnd, start);
        case '\\':
            return readControl(start);
        case '\r':
        case '\n':
            ++m_pos; // line breaks in the file are not text
            break;
        default:
            return readText(start);
        }
    }
    RtfToken end;
    end.offset = m_pos;
    return end;
}

RtfToken RtfTokenizer::readControl(qsizetype start)
{
    ++m_pos; // the backslash
    if (m_pos >= m_input.size())
        return broken(start, "the file ends inside a control word");
    const char c = m_input[m_pos];
    if (isLetter(c))
        return readWord(start);
    if (c == '\'')
        return readHexByte(start);
    ++m_pos;
    RtfToken token;
    token.kind = RtfToken::Kind::ControlSymbol;
    token.symbol = c;
    token.offset = start;
    return token;
}

RtfToken RtfTokenizer::readWord(qsizetype start)
{
    const qsizetype nameStart = m_pos;
    while (m_pos < m_input.size() && isLetter(m_input[m_pos]))
        ++m_pos;
    RtfToken token;
    token.kind = RtfToken::Kind::ControlWord;
    token.offset = start;
    token.text = m_input.sliced(nameStart, std::min(m_pos - nameStart, kMaxWordLength + 1));

    bool negative = false;
    if (m_pos + 1 < m_input.size() && m_input[m_pos] == '-' && isDigit(m_input[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
        long long value = 0;
        while (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
            if (value <= INT_MAX)
                value = value * 10 + (m_input[m_pos] - '0');
            ++m_pos;
        }
        value = std::min<long long>(value, INT_MAX);
        token.parameter = int(negative ? -value : value);
        token.hasParameter = true;
    }
    // A space ends the word and belongs to it.
    if (m_pos < m_input.size() && m_input[m_pos] == ' ')
        ++m_pos;
    return token;
}

RtfToken RtfTokenizer::readHexByte(qsizetype start)
{
    ++m_pos; // the apostrophe
    if (m_pos + 2 > m_input.size()) {
        m_pos = m_input.size();
        return broken(start, "the file ends inside a \\' escape");
    }
    const int high = hexDigitValue(m_input[m_pos]);
    const int low = hexDigitValue(m_input[m_pos + 1]);
    if (high < 0 || low < 0) {
        // Leave the two bytes to be read as text: they may be a brace.
        return broken(start, "a \\' escape without two hex digits");
    }
    m_pos += 2;
    RtfToken token;
    token.kind = RtfToken::Kind::HexByte;
    token.byte = static_cast<unsigned char>(high * 16 + low);
    token.offset = start;
    return token;
}

RtfToken RtfTokenizer::readText(qsizetype start)
{
    const char *data = m_input.data();
    const qsizetype size = m_input.size();
    qsizetype end = start;
    unsigned char seen = 0;
    while (end < size) {
        const unsigned char kind = kTextBytes[static_cast<unsigned char>(data[end])];
        if (kind & kEndsText)
            break;
        seen |= kind;
        ++end;
    }
    m_pos = end;
    RtfToken token;
    token.kind = RtfToken::Kind::Text;
    token.printableAscii = !(seen & kNotPrintable);
    token.text = m_input.sliced(start, end - start);
    token.offset = start;
    return token;
}

QByteArrayView RtfTokenizer::takeBinary(int count)
{
    const qsizetype available = m_input.size() - m_pos;
    const qsizetype taken = std::clamp<qsizetype>(count, 0, available);
    const QByteArrayView bytes = m_input.sliced(m_pos, taken);
    m_pos += taken;
    return bytes;
}

bool RtfTokenizer::skipGroup()
{
    int depth = 0;
    while (m_pos < m_input.size()) {
        const char c = m_input[m_pos];
        if (c == '\\') {
            const RtfToken token = readControl(m_pos);
            // \bin data may hold braces; it is skipped by its count.
            if (token.kind == RtfToken::Kind::ControlWord && token.text == "bin" && token.hasParameter)
                takeBinary(token.parameter);
            continue;
        }
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (depth == 0)
                return true;
            --depth;
        }
        ++m_pos;
    }
    return false;
}
