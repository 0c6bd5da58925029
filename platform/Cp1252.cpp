#include "platform/Cp1252.h"

#include <array>

namespace Cp1252 {
namespace {

// 0x80-0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

char16_t unicodeFor(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return byte;
}

} // namespace

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

QString toUnicode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(unicodeFor(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray fromUnicode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A surrogate pair is one character the code page cannot hold.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        const int b = byteFor(c.unicode());
        bytes.append(b < 0 ? '?' : char(b));
    }
    return bytes;
}

bool canEncode(QChar c)
{
    return byteFor(c.unicode()) >= 0;
}

bool canEncode(QStringView text)
{
    return firstUnencodable(text) < 0;
}

qsizetype firstUnencodable(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!canEncode(text[i]))
            return i;
    }
    return -1;
}

} // namespace Cp1252
