#include "tools/Commands.h"

#include "platform/KladdoError.h"
#include "platform/ProfileFile.h"

#include <QDir>

namespace {

constexpr const char *kUsage =
    "usage: kladdo-data settings get DATA_DIR SECTION KEY [--int DEFAULT]\n"
    "       kladdo-data settings set DATA_DIR SECTION KEY VALUE\n";

QString settingsPath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("note.ini"));
}

int get(const QStringList &args, CommandIo io)
{
    const ProfileFile file(settingsPath(args[0]));
    if (args.size() == 3) {
        io.out << file.readString(args[1], args[2], QString()) << '\n';
        return ExitOk;
    }
    if (args.size() != 5 || args[3] != u"--int")
        return usageError(io, kUsage);
    bool ok = false;
    const int defaultValue = args[4].toInt(&ok);
    if (!ok) {
        io.err << "kladdo-data: the default '" << args[4] << "' is not an integer\n";
        return ExitUsage;
    }
    io.out << file.readInteger(args[1], args[2], defaultValue) << '\n';
    return ExitOk;
}

int set(const QStringList &args, CommandIo io)
{
    if (args.size() != 4)
        return usageError(io, kUsage);
    try {
        ProfileFile(settingsPath(args[0])).writeString(args[1], args[2], args[3]);
    } catch (const KladdoError &error) {
        io.err << "kladdo-data: " << error.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace

int settingsCommand(const QStringList &args, CommandIo io)
{
    if (args.size() < 4)
        return usageError(io, kUsage);
    const QStringList rest = args.mid(1);
    if (args[0] == u"get")
        return get(rest, io);
    if (args[0] == u"set")
        return set(rest, io);
    return usageError(io, kUsage);
}
