#include "platform/CoreDumps.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>
#include <werapi.h>

// Windows Error Reporting, which may keep a dump of the process, leaves
// the program out; the exclusion is the user's own and stays.
void CoreDumps::forbid()
{
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    WerAddExcludedApplication(reinterpret_cast<const wchar_t *>(program.utf16()), FALSE);
}
