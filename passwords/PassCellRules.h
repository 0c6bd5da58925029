#pragma once

#include <QString>
#include <QStringView>

// What may be entered into a cell of the password grid: only what its slot
// can store, so that a save never fails on one cell and loses the page.
namespace PassCellRules {

// The processing field holds at most this many characters, typed or pasted.
constexpr int FieldLength = 255;

// Line breaks, tabs and the other control characters cut out: a cell is
// one line, and the page file has no way to show them.
QString withoutControls(QStringView text);

// Key text that the grid appends to the cell: printable characters only.
bool isTypedText(QStringView text);

// Why text cannot go into a cell of the column, in words for the user in
// the language of languageIndex; empty when it can.
QString refusal(int column, QStringView text, int languageIndex);

// One "*" for every character.
QString masked(QStringView text);

} // namespace PassCellRules
