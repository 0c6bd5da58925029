#pragma once

#include <QString>

#include <optional>

namespace TerminalPassword::Platform {

// One line of standard input with the terminal's echo off, without its line
// end; nothing when standard input is no terminal or ends.
std::optional<QString> readWithoutEcho();

} // namespace TerminalPassword::Platform
