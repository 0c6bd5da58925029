#include "platform/LoginStart.h"
#include "platform/LoginStartPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr QStringView kExec = u"Exec=";
const QString kDataOption = QStringLiteral("--data");

// Inside double quotes a desktop entry escapes these four.
QString quotedArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The value of a key is itself escaped, and a percent sign would start a
// field code.
QString escapedValue(const QString &value)
{
    QString escaped = value;
    return escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}

QString unescapedValue(QStringView value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        text += next == u's' ? QChar(u' ') : next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t')
                : next == u'r' ? QChar(u'\r') : next;
    }
    return text;
}

QString configHome()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured))
        return configured;
    return QDir::home().filePath(QStringLiteral(".config"));
}

// An entry the desktop is told to skip starts nothing.
bool isDisabled(const QString &line)
{
    return line.compare(u"Hidden=true") == 0 || line.compare(u"X-GNOME-Autostart-enabled=false") == 0;
}

} // namespace

QString LoginStart::location()
{
    return QDir(configHome()).filePath(QStringLiteral("autostart/kladdo.desktop"));
}

QString LoginStart::commandLine(const Command &command)
{
    return escapedValue(quotedArgument(command.program) + u' ' + kDataOption + u' '
                        + quotedArgument(command.dataFolder));
}

std::optional<LoginStart::Command> LoginStart::parseCommandLine(const QString &line)
{
    QStringList arguments = LoginStartPlatform::splitArguments(unescapedValue(line), u'\\');
    for (QString &argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return std::nullopt;
    Command command{arguments.first(), {}};
    const qsizetype data = arguments.indexOf(kDataOption);
    if (data > 0 && data + 1 < arguments.size())
        command.dataFolder = arguments[data + 1];
    return command;
}

std::optional<QString> LoginStartPlatform::storedLine()
{
    QFile file(LoginStart::location());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<QString> exec;
    bool inEntry = false;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'['))
            inEntry = trimmed == u"[Desktop Entry]";
        else if (inEntry && isDisabled(trimmed))
            return std::nullopt;
        else if (inEntry && trimmed.startsWith(kExec))
            exec = trimmed.mid(kExec.size());
    }
    return exec;
}

AtomicFile::Result LoginStartPlatform::store(const QString &line)
{
    const QString path = LoginStart::location();
    const AtomicFile::Result folder = AtomicFile::makeFolder(QFileInfo(path).absolutePath());
    if (!folder.ok)
        return folder;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Kladdo\n"
                                         "Comment=Notes and passwords at the edge of the screen\n"
                                         "Icon=kladdo\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(line);
    return AtomicFile::write(path, entry.toUtf8());
}

AtomicFile::Result LoginStartPlatform::erase()
{
    QFile file(LoginStart::location());
    if (!file.exists() || file.remove())
        return {};
    return {false, file.errorString()};
}
