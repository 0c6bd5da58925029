#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1252 <-> Unicode. Qt 6 ships no codec for it, and every text the
// data files hold is in it. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value,
// as Windows does, so every byte survives a round trip.
namespace Cp1252 {

QString toUnicode(QByteArrayView bytes);

// Characters the code page cannot hold become '?'.
QByteArray fromUnicode(QStringView text);

bool canEncode(QChar c);
bool canEncode(QStringView text);

// The index of the first character the code page cannot hold, or -1.
qsizetype firstUnencodable(QStringView text);

// The byte for c, or -1 when the code page has none.
int byteFor(char16_t c);

} // namespace Cp1252
