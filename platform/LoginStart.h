#pragma once

#include "platform/AtomicFile.h"

#include <QString>

#include <optional>

// The entry that starts this program when the user logs in: on Linux the
// desktop's autostart file, on Windows the user's Run value. It names the
// program file and the data folder, so that a copy moved elsewhere or
// another copy's entry is seen for what it is.
namespace LoginStart {

struct Command
{
    QString program;
    QString dataFolder;

    bool operator==(const Command &) const = default;
};

enum class State {
    Off,   // no entry
    On,    // the entry starts this program on this data folder
    Stale, // the entry starts a program file that is no longer there
    Other, // the entry starts another copy, or this one on another folder
};

struct Found
{
    State state = State::Off;
    Command command; // what the entry starts, where there is one
};

// What stands there now, measured against self.
Found find(const Command &self);

// Writes the entry for self over whatever stood there. A path with a line
// break or other control character in it is refused.
[[nodiscard]] AtomicFile::Result add(const Command &self);

// Removes the entry; nothing to remove is no failure.
[[nodiscard]] AtomicFile::Result remove();

// Where the entry lives, as the user would look for it.
QString location();

// The command line the entry holds, and the command read back from one;
// nothing is read from a line that does not name a program.
QString commandLine(const Command &command);
std::optional<Command> parseCommandLine(const QString &line);

} // namespace LoginStart
