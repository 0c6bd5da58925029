#include "platform/TerminalPassword.h"

#include "platform/KladdoError.h"
#include "platform/TerminalPasswordPlatform.h"

#include <cstdio>

namespace TerminalPassword {

QString read(const QString &prompt)
{
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    const std::optional<QString> line = Platform::readWithoutEcho();
    std::fputs("\n", stderr); // the Enter the terminal did not show
    if (!line)
        throw KladdoError(QStringLiteral("no password was typed: standard input is not a terminal or ended "
                                         "(--password-stdin reads it from standard input)"));
    return *line;
}

} // namespace TerminalPassword
