#include "platform/TerminalPasswordPlatform.h"

#include <windows.h>

namespace TerminalPassword::Platform {

std::optional<QString> readWithoutEcho()
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD shown = 0;
    if (!GetConsoleMode(input, &shown))
        return std::nullopt;
    if (!SetConsoleMode(input, (shown & ~DWORD(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT))
        return std::nullopt;
    QString line;
    bool ended = false;
    for (wchar_t c = 0;;) {
        DWORD got = 0;
        if (!ReadConsoleW(input, &c, 1, &got, nullptr) || got == 0) {
            ended = line.isEmpty();
            break;
        }
        if (c == L'\n')
            break;
        if (c != L'\r')
            line += QChar(c);
    }
    SetConsoleMode(input, shown);
    if (ended)
        return std::nullopt;
    return line;
}

} // namespace TerminalPassword::Platform
