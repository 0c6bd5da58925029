#include "platform/TerminalPasswordPlatform.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace TerminalPassword::Platform {

std::optional<QString> readWithoutEcho()
{
    termios shown{};
    if (::tcgetattr(STDIN_FILENO, &shown) != 0)
        return std::nullopt;
    termios hidden = shown;
    hidden.c_lflag &= ~tcflag_t(ECHO);
    if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden) != 0)
        return std::nullopt;
    std::string line;
    bool ended = false;
    for (char c = 0;;) {
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got <= 0) {
            ended = line.empty();
            break;
        }
        if (c == '\n')
            break;
        line += c;
    }
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
    QString text = QString::fromLocal8Bit(line);
    std::fill(line.begin(), line.end(), '\0');
    if (ended)
        return std::nullopt;
    return text;
}

} // namespace TerminalPassword::Platform
