#pragma once

#include "platform/AtomicFile.h"

#include <QString>
#include <QStringList>

#include <optional>

// Where each system keeps the command it runs at login.
namespace LoginStartPlatform {

// The command line stored, if an entry is there and enabled.
std::optional<QString> storedLine();
[[nodiscard]] AtomicFile::Result store(const QString &line);
[[nodiscard]] AtomicFile::Result erase();

// A command line's arguments, split at blanks outside double quotes; inside
// them escape, where there is one, takes the next character as it stands.
QStringList splitArguments(const QString &line, QChar escape);

} // namespace LoginStartPlatform
