#pragma once

#include "tools/Commands.h"

#include <QStringView>

#include <optional>

// The PAGE argument of every command: exactly one ASCII digit, since it
// becomes the digit in a file name (note3.rtf, pass3.dat). Other scripts'
// digits, such as "٣" or "３", are refused.
std::optional<int> parsePageNumber(QStringView text);

// parsePageNumber, saying on io.err why text is no page number.
std::optional<int> pageArgument(const QString &text, CommandIo io);
