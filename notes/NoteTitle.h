#pragma once

#include <QString>

// Page titles as the title button makes them from the marked text.
namespace NoteTitle {

constexpr int MaxLength = 61;

// Removes every Ch from Text.
void Del(QString &Text, QChar Ch);

// The marked text with its line breaks, paragraph marks and embedded
// objects dropped (lines run together), and with what note.ini cannot
// hold dropped as well, cut to 61 characters. Empty clears the title.
QString fromMarkedText(QString marked);

} // namespace NoteTitle
