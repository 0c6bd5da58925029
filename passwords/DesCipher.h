#pragma once

#include "platform/KladdoError.h"

#include <QByteArray>

#include <array>
#include <cstdint>

class QIODevice;

// DES in electronic-codebook mode, the cipher of the password column. Blocks
// follow the standard's bit order: byte 0 holds bits 1-8, bit 1 in its most
// significant position.

using DesKey = std::array<std::uint8_t, 8>;
using DesBlock = std::array<std::uint8_t, 8>;

enum class DesDirection { Encipher, Decipher };

// The expanded key for one direction. Each round has a pair of words: the
// first holds the 6-bit subkey groups K1, K3, K5, K7 in its bytes from most to
// least significant, the second K2, K4, K6, K8. Deciphering stores the pairs
// in reverse round order, so one block function serves both directions.
struct DesKeySchedule
{
    std::array<std::uint32_t, 32> roundWords{};
    DesDirection direction = DesDirection::Encipher;
};

// Raised for enciphered data that cannot be a stream of ours.
class ECipherException : public KladdoError
{
public:
    using KladdoError::KladdoError;
};

// The parity bit of each key byte (its least significant bit) is ignored.
DesKeySchedule InitDesKeySchedule(const DesKey &key, DesDirection direction);

void DesCipherBlock(const DesKeySchedule &schedule, DesBlock &block);

// Reads all of `input` from its position and appends to `output`. The last
// enciphered block carries in its byte 7 how many plain bytes it holds (0-7),
// so the stream is never empty. Throws ECipherException "Invalid file format"
// when the input cannot be deciphered.
void DesCipherStream(QIODevice &input, QIODevice &output, const DesKey &key,
                     DesDirection direction);

// Enciphering gives the stored (Base64) form of a text, deciphering takes the
// stored form back to the text. Throws ECipherException or, for a stored form
// that is not Base64, KladdoError "Invalid Base64 Character".
QByteArray DesCipherString(const QByteArray &text, const DesKey &key, DesDirection direction);
