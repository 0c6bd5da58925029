#include "platform/LoginStart.h"
#include "platform/LoginStartPlatform.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kValueName = QStringLiteral("Kladdo");
const QString kDataOption = QStringLiteral("--data");

AtomicFile::Result statusOf(QSettings &run)
{
    run.sync();
    if (run.status() == QSettings::NoError)
        return {};
    return {false, QStringLiteral("the registry refused the change")};
}

} // namespace

QString LoginStart::location()
{
    return kRunKey + u'\\' + kValueName;
}

QString LoginStart::commandLine(const Command &command)
{
    return QStringLiteral("\"%1\" %2 \"%3\"")
        .arg(QDir::toNativeSeparators(command.program), kDataOption,
             QDir::toNativeSeparators(QDir::cleanPath(command.dataFolder)));
}

std::optional<LoginStart::Command> LoginStart::parseCommandLine(const QString &line)
{
    // No Windows path holds a double quote: quotes alone delimit.
    const QStringList arguments = LoginStartPlatform::splitArguments(line, QChar());
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return std::nullopt;
    Command command{QDir::fromNativeSeparators(arguments.first()), {}};
    const qsizetype data = arguments.indexOf(kDataOption);
    if (data > 0 && data + 1 < arguments.size())
        command.dataFolder = QDir::fromNativeSeparators(arguments[data + 1]);
    return command;
}

std::optional<QString> LoginStartPlatform::storedLine()
{
    const QSettings run(kRunKey, QSettings::NativeFormat);
    const QVariant value = run.value(kValueName);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

AtomicFile::Result LoginStartPlatform::store(const QString &line)
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    run.setValue(kValueName, line);
    return statusOf(run);
}

AtomicFile::Result LoginStartPlatform::erase()
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    run.remove(kValueName);
    return statusOf(run);
}
