#include "passwords/Base64Stream.h"

#include "platform/KladdoError.h"

#include <QIODevice>

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';

// 45 bytes make 60 characters; 88 characters make at most 66 bytes.
constexpr qint64 kEncodeChunk = 45;
constexpr qint64 kDecodeChunk = 88;

constexpr int kNotInAlphabet = -1;

constexpr std::array<int, 256> makeDecodeTable()
{
    std::array<int, 256> table{};
    table.fill(kNotInAlphabet);
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    return table;
}

constexpr auto kDecodeTable = makeDecodeTable();

[[noreturn]] void throwInvalidCharacter()
{
    throw KladdoError(QStringLiteral("Invalid Base64 Character"));
}

void writeAll(QIODevice &output, const QByteArray &bytes)
{
    if (output.write(bytes) != bytes.size())
        throw KladdoError(QStringLiteral("Cannot write Base64 data: ") + output.errorString());
}

// Three bytes become four characters of six bits each, most significant
// first; a final group of one or two bytes is padded with "=".
QByteArray encodeChunk(const QByteArray &bytes)
{
    QByteArray text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const qsizetype groupSize = std::min<qsizetype>(3, bytes.size() - i);
        unsigned group = 0;
        for (qsizetype k = 0; k < 3; ++k) {
            const unsigned byte = k < groupSize ? static_cast<unsigned char>(bytes[i + k]) : 0;
            group = (group << 8) | byte;
        }
        text += kAlphabet[(group >> 18) & 0x3F];
        text += kAlphabet[(group >> 12) & 0x3F];
        text += groupSize > 1 ? kAlphabet[(group >> 6) & 0x3F] : kPad;
        text += groupSize > 2 ? kAlphabet[group & 0x3F] : kPad;
    }
    return text;
}

int sixBits(char c, bool padAllowed)
{
    if (c == kPad && padAllowed)
        return 0;
    const int value = kDecodeTable[static_cast<unsigned char>(c)];
    if (value == kNotInAlphabet)
        throwInvalidCharacter();
    return value;
}

// "=" in the third place ends the group after one byte, in the fourth after
// two. Padding may stand in the middle of the input, at a group's end.
QByteArray decodeChunk(const QByteArray &text)
{
    if (text.size() % 4 != 0)
        throwInvalidCharacter();
    QByteArray bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (qsizetype i = 0; i < text.size(); i += 4) {
        const int w = sixBits(text[i], false);
        const int x = sixBits(text[i + 1], false);
        const int y = sixBits(text[i + 2], true);
        const int z = sixBits(text[i + 3], true);
        const bool thirdPad = text[i + 2] == kPad;
        const bool fourthPad = text[i + 3] == kPad;
        bytes += char(w * 4 + x / 16);
        if (!thirdPad)
            bytes += char((x % 16) * 16 + y / 4);
        if (!thirdPad && !fourthPad)
            bytes += char((y % 4) * 64 + z);
    }
    return bytes;
}

} // namespace

void Base64EncodeStream(QIODevice &input, QIODevice &output)
{
    for (;;) {
        const QByteArray chunk = input.read(kEncodeChunk);
        if (chunk.isEmpty())
            return;
        writeAll(output, encodeChunk(chunk));
        if (chunk.size() < kEncodeChunk)
            return;
    }
}

void Base64DecodeStream(QIODevice &input, QIODevice &output)
{
    for (;;) {
        const QByteArray chunk = input.read(kDecodeChunk);
        if (chunk.isEmpty())
            return;
        writeAll(output, decodeChunk(chunk));
        if (chunk.size() < kDecodeChunk)
            return;
    }
}
