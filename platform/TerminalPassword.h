#pragma once

#include <QString>

// A password typed at the terminal: the prompt goes to standard error and
// the line is read from standard input without being shown.
namespace TerminalPassword {

// Throws KladdoError when standard input is not a terminal or ends first.
QString read(const QString &prompt);

} // namespace TerminalPassword
