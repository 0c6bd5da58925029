#include "platform/LoginStart.h"

#include "platform/LoginStartPlatform.h"

#include <QFileInfo>

#include <algorithm>

namespace {

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// The same file or folder however it is written; case counts where the
// file system says so.
bool samePlace(const QString &a, const QString &b)
{
    return QFileInfo(a) == QFileInfo(b);
}

} // namespace

LoginStart::Found LoginStart::find(const Command &self)
{
    const std::optional<QString> line = LoginStartPlatform::storedLine();
    if (!line)
        return {};
    const std::optional<Command> command = parseCommandLine(*line);
    if (!command)
        return {State::Other, {}};
    if (samePlace(command->program, self.program) && samePlace(command->dataFolder, self.dataFolder))
        return {State::On, *command};
    return {QFileInfo::exists(command->program) ? State::Other : State::Stale, *command};
}

AtomicFile::Result LoginStart::add(const Command &self)
{
    if (hasControlCharacter(self.program) || hasControlCharacter(self.dataFolder))
        return {false, QStringLiteral("a path holds a line break or another control character")};
    return LoginStartPlatform::store(commandLine(self));
}

AtomicFile::Result LoginStart::remove()
{
    return LoginStartPlatform::erase();
}

QStringList LoginStartPlatform::splitArguments(const QString &line, QChar escape)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && !escape.isNull() && c == escape && i + 1 < line.size()) {
            current += line[++i];
        } else if (c == u'"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && c.isSpace()) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}
