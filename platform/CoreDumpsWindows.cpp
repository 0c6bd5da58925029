#include "platform/CoreDumps.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>

// mingw-w64's werapi.h does not compile; the one function, as Windows
// declares it.
extern "C" __declspec(dllimport) HRESULT WINAPI WerAddExcludedApplication(PCWSTR exeName, BOOL allUsers);

// Windows Error Reporting, which may keep a dump of the process, leaves
// the program out; the exclusion is the user's own and stays.
void CoreDumps::forbid()
{
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    WerAddExcludedApplication(reinterpret_cast<const wchar_t *>(program.utf16()), FALSE);
}
