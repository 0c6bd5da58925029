#include "passwords/DesCipher.h"

#include "passwords/Base64Stream.h"

#include <QBuffer>

#include <bit>

namespace {

using std::uint32_t;
using std::uint64_t;

// Tables of the standard; bit 1 is the most significant bit of the input.
constexpr std::array<int, 56> kPermutedChoice1 = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18, //
    10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36, //
    63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22, //
    14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4,
};

constexpr std::array<int, 48> kPermutedChoice2 = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, //
    23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,  //
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48, //
    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32,
};

// Left rotation of the two 28-bit key halves before each round, summed up.
constexpr std::array<int, 16> kCumulativeRotation = {1,  2,  4,  6,  8,  10, 12, 14,
                                                     15, 17, 19, 21, 23, 25, 27, 28};

constexpr std::array<int, 32> kPermutationP = {
    16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
    2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25,
};

// S1-S8, each as four rows of sixteen.
constexpr std::array<std::array<std::uint8_t, 64>, 8> kSBoxes = {{
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,  //
     0,  15, 7,  4, 14, 2,  13, 1,  10, 6,  12, 11, 9,  5,  3, 8,  //
     4,  1,  14, 8, 13, 6,  2,  11, 15, 12, 9,  7,  3,  10, 5, 0,  //
     15, 12, 8,  2, 4,  9,  1,  7,  5,  11, 3,  14, 10, 0,  6, 13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7, 2,  13, 12, 0, 5,  10, //
     3,  13, 4,  7,  15, 2,  8,  14, 12, 0, 1,  10, 6,  9, 11, 5,  //
     0,  14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,  9,  3, 2,  15, //
     13, 8,  10, 1,  3,  15, 4,  2,  11, 6, 7,  12, 0,  5, 14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,  //
     13, 7,  0,  9,  3, 4,  6,  10, 2,  8,  5,  14, 12, 11, 15, 1,  //
     13, 6,  4,  9,  8, 15, 3,  0,  11, 1,  2,  12, 5,  10, 14, 7,  //
     1,  10, 13, 0,  6, 9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3, 0,  6,  9,  10, 1,  2, 8, 5,  11, 12, 4,  15, //
     13, 8,  11, 5, 6,  15, 0,  3,  4,  7, 2, 12, 1,  10, 14, 9,  //
     10, 6,  9,  0, 12, 11, 7,  13, 15, 1, 3, 14, 5,  2,  8,  4,  //
     3,  15, 0,  6, 10, 1,  13, 8,  9,  4, 5, 11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5,  3,  15, 13, 0, 14, 9,  //
     14, 11, 2,  12, 4,  7,  13, 1,  5,  0,  15, 10, 3,  9, 8,  6,  //
     4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,  6,  3, 0,  14, //
     11, 8,  12, 7,  1,  14, 2,  13, 6,  15, 0,  9,  10, 4, 5,  3},
    {12, 1,  10, 15, 9, 2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11, //
     10, 15, 4,  2,  7, 12, 9,  5,  6,  1,  13, 14, 0,  11, 3,  8,  //
     9,  14, 15, 5,  2, 8,  12, 3,  7,  0,  4,  10, 1,  13, 11, 6,  //
     4,  3,  2,  12, 9, 5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0, 8,  13, 3,  12, 9, 7,  5,  10, 6, 1,  //
     13, 0,  11, 7,  4,  9, 1,  10, 14, 3,  5, 12, 2,  15, 8, 6,  //
     1,  4,  11, 13, 12, 3, 7,  14, 10, 15, 6, 8,  0,  5,  9, 2,  //
     6,  11, 13, 8,  1,  4, 10, 7,  9,  5,  0, 15, 14, 2,  3, 12},
    {13, 2,  8,  4, 6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7, //
     1,  15, 13, 8, 10, 3,  7,  4,  12, 5,  6,  11, 0,  14, 9,  2, //
     7,  11, 4,  1, 9,  12, 14, 2,  0,  6,  10, 13, 15, 3,  5,  8, //
     2,  1,  14, 7, 4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11},
}};

// Picks bits of `input` (inputWidth bits wide, bit 1 the most significant)
// in the order the table names them.
template <std::size_t N>
constexpr uint64_t permute(uint64_t input, int inputWidth, const std::array<int, N> &table)
{
    uint64_t output = 0;
    for (const int bit : table)
        output = (output << 1) | ((input >> (inputWidth - bit)) & 1);
    return output;
}

constexpr uint32_t rotate28(uint32_t half, int count)
{
    constexpr uint32_t mask = (1u << 28) - 1;
    return ((half << count) | (half >> (28 - count))) & mask;
}

// SPn[i]: the output of S-box n for the 6-bit input i, moved through P and
// rotated left by one bit, the rotation the initial permutation leaves on
// both halves. A 6-bit input b1..b6 selects row b1b6 and column b2b3b4b5.
constexpr std::array<std::array<uint32_t, 64>, 8> makeSpTables()
{
    std::array<std::array<uint32_t, 64>, 8> tables{};
    for (int box = 0; box < 8; ++box) {
        for (int input = 0; input < 64; ++input) {
            const int row = ((input >> 4) & 2) | (input & 1);
            const int column = (input >> 1) & 15;
            const uint32_t sOutput = uint32_t(kSBoxes[box][row * 16 + column]) << (28 - 4 * box);
            const auto p = uint32_t(permute(sOutput, 32, kPermutationP));
            tables[box][input] = std::rotl(p, 1);
        }
    }
    return tables;
}

constexpr auto kSp = makeSpTables();

uint64_t keyBits(const DesKey &key)
{
    uint64_t bits = 0;
    for (const std::uint8_t byte : key)
        bits = (bits << 8) | byte;
    return bits;
}

// One round's 48-bit subkey as the word pair of the schedule.
std::array<uint32_t, 2> roundWordPair(uint64_t subkey)
{
    std::array<uint32_t, 2> pair{};
    for (int group = 0; group < 8; ++group) {
        const auto sixBits = uint32_t((subkey >> (42 - 6 * group)) & 0x3F);
        const int byteShift = 24 - 8 * (group / 2);
        pair[group % 2] |= sixBits << byteShift;
    }
    return pair;
}

// Exchanges the bits of `a` selected by mask << shift with those of `b`
// selected by mask. Applying it twice restores both words.
void swapBits(uint32_t &a, uint32_t &b, int shift, uint32_t mask)
{
    const uint32_t t = ((a >> shift) ^ b) & mask;
    b ^= t;
    a ^= t << shift;
}

// The standard initial permutation as five swaps; both halves come out
// rotated left by one bit, which the SP tables expect.
void initialPermutation(uint32_t &left, uint32_t &right)
{
    swapBits(left, right, 4, 0x0F0F0F0F);
    swapBits(left, right, 16, 0x0000FFFF);
    swapBits(right, left, 2, 0x33333333);
    swapBits(right, left, 8, 0x00FF00FF);
    right = std::rotl(right, 1);
    const uint32_t t = (left ^ right) & 0xAAAAAAAA;
    left ^= t;
    right ^= t;
    left = std::rotl(left, 1);
}

// Undoes initialPermutation step by step.
void finalPermutation(uint32_t &left, uint32_t &right)
{
    left = std::rotr(left, 1);
    const uint32_t t = (left ^ right) & 0xAAAAAAAA;
    left ^= t;
    right ^= t;
    right = std::rotr(right, 1);
    swapBits(right, left, 8, 0x00FF00FF);
    swapBits(right, left, 2, 0x33333333);
    swapBits(left, right, 16, 0x0000FFFF);
    swapBits(left, right, 4, 0x0F0F0F0F);
}

uint32_t roundFunction(uint32_t half, uint32_t firstWord, uint32_t secondWord)
{
    const uint32_t odd = std::rotr(half, 4) ^ firstWord;
    const uint32_t even = half ^ secondWord;
    return kSp[6][odd & 0x3F] ^ kSp[4][(odd >> 8) & 0x3F] ^ kSp[2][(odd >> 16) & 0x3F]
           ^ kSp[0][(odd >> 24) & 0x3F] ^ kSp[7][even & 0x3F] ^ kSp[5][(even >> 8) & 0x3F]
           ^ kSp[3][(even >> 16) & 0x3F] ^ kSp[1][(even >> 24) & 0x3F];
}

uint32_t readBigEndian(const DesBlock &block, int at)
{
    return uint32_t(block[at]) << 24 | uint32_t(block[at + 1]) << 16
           | uint32_t(block[at + 2]) << 8 | uint32_t(block[at + 3]);
}

void writeBigEndian(DesBlock &block, int at, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        block[at + i] = std::uint8_t(word >> (24 - 8 * i));
}

[[noreturn]] void throwInvalidFormat()
{
    throw ECipherException(QStringLiteral("Invalid file format"));
}

// Reads `size` bytes into the start of the block; fewer means the stream
// was cut short.
void readInto(DesBlock &block, QIODevice &input, qint64 size = 8)
{
    if (input.read(reinterpret_cast<char *>(block.data()), size) != size)
        throwInvalidFormat();
}

void writeFrom(const DesBlock &block, QIODevice &output, qint64 size = 8)
{
    if (output.write(reinterpret_cast<const char *>(block.data()), size) != size)
        throw KladdoError(QStringLiteral("Cannot write the enciphered data: ")
                          + output.errorString());
}

void encipherStream(QIODevice &input, QIODevice &output, const DesKeySchedule &schedule)
{
    const qint64 length = input.bytesAvailable();
    DesBlock block{};
    for (qint64 i = 0; i < length / 8; ++i) {
        readInto(block, input);
        DesCipherBlock(schedule, block);
        writeFrom(block, output);
    }
    const auto remainder = std::uint8_t(length % 8);
    block.fill(0);
    readInto(block, input, remainder);
    block[7] = remainder;
    DesCipherBlock(schedule, block);
    writeFrom(block, output);
}

void decipherStream(QIODevice &input, QIODevice &output, const DesKeySchedule &schedule)
{
    const qint64 blockCount = input.bytesAvailable() / 8;
    if (blockCount == 0)
        throwInvalidFormat();
    DesBlock block{};
    for (qint64 i = 0; i < blockCount - 1; ++i) {
        readInto(block, input);
        DesCipherBlock(schedule, block);
        writeFrom(block, output);
    }
    readInto(block, input);
    DesCipherBlock(schedule, block);
    // We never write more than 7; anything else is damage or another key.
    if (block[7] > 7)
        throwInvalidFormat();
    writeFrom(block, output, block[7]);
}

} // namespace

DesKeySchedule InitDesKeySchedule(const DesKey &key, DesDirection direction)
{
    const uint64_t selected = permute(keyBits(key), 64, kPermutedChoice1);
    const auto c = uint32_t(selected >> 28);
    const auto d = uint32_t(selected & ((1u << 28) - 1));

    DesKeySchedule schedule;
    schedule.direction = direction;
    for (int round = 0; round < 16; ++round) {
        const int shift = kCumulativeRotation[round];
        const uint64_t cd = uint64_t(rotate28(c, shift)) << 28 | rotate28(d, shift);
        const auto pair = roundWordPair(permute(cd, 56, kPermutedChoice2));
        const int position = direction == DesDirection::Encipher ? round : 15 - round;
        schedule.roundWords[2 * position] = pair[0];
        schedule.roundWords[2 * position + 1] = pair[1];
    }
    return schedule;
}

void DesCipherBlock(const DesKeySchedule &schedule, DesBlock &block)
{
    uint32_t left = readBigEndian(block, 0);
    uint32_t right = readBigEndian(block, 4);
    initialPermutation(left, right);
    const auto &words = schedule.roundWords;
    for (int i = 0; i < 32; i += 4) {
        left ^= roundFunction(right, words[i], words[i + 1]);
        right ^= roundFunction(left, words[i + 2], words[i + 3]);
    }
    // The last round does not swap the halves, so they enter the final
    // permutation the other way round.
    finalPermutation(right, left);
    writeBigEndian(block, 0, right);
    writeBigEndian(block, 4, left);
}

void DesCipherStream(QIODevice &input, QIODevice &output, const DesKey &key,
                     DesDirection direction)
{
    const DesKeySchedule schedule = InitDesKeySchedule(key, direction);
    if (direction == DesDirection::Encipher)
        encipherStream(input, output, schedule);
    else
        decipherStream(input, output, schedule);
}

QByteArray DesCipherString(const QByteArray &text, const DesKey &key, DesDirection direction)
{
    QBuffer source;
    QBuffer middle;
    QBuffer result;
    source.setData(text);
    source.open(QIODevice::ReadOnly);
    middle.open(QIODevice::ReadWrite);
    result.open(QIODevice::WriteOnly);
    if (direction == DesDirection::Encipher) {
        DesCipherStream(source, middle, key, direction);
        middle.seek(0);
        Base64EncodeStream(middle, result);
    } else {
        Base64DecodeStream(source, middle);
        middle.seek(0);
        DesCipherStream(middle, result, key, direction);
    }
    return result.data();
}
