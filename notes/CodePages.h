#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <optional>

// The Windows code pages that rich text names with \ansicpg, \cpg or a
// font's \fcharset. The common single-byte ones are tables of our own (Qt 6
// has no codecs for them); every other code page, the double-byte ones of
// East Asia among them, goes to the system's own conversion.
namespace CodePages {

// The upper half (bytes 0x80-0xFF) of a code page, or nullptr when neither
// we nor the system know the code page. In a double-byte code page these
// are the bytes that stand alone; its lead bytes read U+FFFD here. Tables
// are made only for code pages that exist, each once, and kept for the run.
using UpperHalf = char16_t[128];
const UpperHalf *upperHalf(int codePage);

// Whether byte starts a two-byte character in codePage; false in every
// single-byte code page.
bool isLeadByte(int codePage, unsigned char byte);
bool isDoubleByte(int codePage);

// The character a lead and a trail byte make, or nothing when the trail
// byte cannot follow that lead byte.
std::optional<char16_t> pairChar(int codePage, unsigned char lead, unsigned char trail);

// The code page that a font's \fcharset stands for; 0 when the charset
// leaves it to the document's \ansicpg.
int forCharset(int charset);

// What the code page number 0 stands for: the system's ANSI code page.
int systemCodePage();

// The system's own conversion, one implementation per platform
// (CodePagesSystem.cpp, CodePagesWindows.cpp).
namespace System {

// bytes as the system decodes them; nothing when it does not know codePage.
std::optional<QString> decode(int codePage, QByteArrayView bytes);
int ansiCodePage();

} // namespace System

} // namespace CodePages
