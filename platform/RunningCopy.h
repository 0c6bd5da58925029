#pragma once

#include <QString>

// One running copy of the program per data folder: the lock file and the
// local server that the copy holds are named after the folder.
namespace RunningCopy {

// The same for every path that leads to the same folder.
QString keyFor(const QString &dataFolder);

// The lock file the running copy holds, outside the data folder so that a
// read-only folder can still be locked: in the user's runtime folder, on
// Windows in the user's temporary folder.
QString lockFilePath(const QString &dataFolder);

// The local server the running copy listens on, beside its lock: the
// runtime folder is the user's own, so no other user can take the name.
// On Windows a named pipe, which only its user may open.
QString serverName(const QString &dataFolder);

// Lets the running copy that a later start asks to come out take the
// foreground: Windows grants it only to the program the user just started.
// Elsewhere nothing needs allowing.
void allowForeground();

// A copy of the program holds the folder's lock now. A lock left by a copy
// that died does not count.
bool isRunning(const QString &dataFolder);

} // namespace RunningCopy
