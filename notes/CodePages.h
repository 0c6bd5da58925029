#pragma once

#include <QChar>

// The single-byte Windows code pages that rich text names with \ansicpg,
// \cpg or a font's \fcharset. Qt 6 has no codecs for them, so their upper
// halves are tables of our own; the lower half is ASCII in all of them.
namespace CodePages {

// The upper half (bytes 0x80-0xFF) of a code page, or nullptr when the
// code page is not one we hold.
using UpperHalf = char16_t[128];
const UpperHalf *upperHalf(int codePage);

// The code page that a font's \fcharset stands for; 0 when the charset
// leaves it to the document's \ansicpg.
int forCharset(int charset);

} // namespace CodePages
