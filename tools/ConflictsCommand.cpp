#include "tools/Commands.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "sync/ConflictCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

constexpr const char *kUsage =
    "usage: kladdo-data conflicts DATA_DIR\n"
    "       kladdo-data conflicts show DATA_DIR FILE\n"
    "       kladdo-data conflicts extract DATA_DIR FILE OUT_FILE\n";

using ConflictCopies::Copy;
using Kind = ConflictCopies::DataFile::Kind;

bool isInFolder(const QString &path, const QString &folder)
{
    return QFileInfo(path).absoluteDir() == QDir(folder);
}

// The conflict copy that FILE, a name in dataDir or a path into it, is;
// nothing, said why, when it is none.
std::optional<Copy> copyArgument(const QString &dataDir, const QString &file, CommandIo io)
{
    const QString name = QFileInfo(file).fileName();
    const bool inData = name == file || isInFolder(file, dataDir);
    const std::optional<Copy> copy = inData ? ConflictCopies::recognise(name) : std::nullopt;
    if (!copy)
        failure(io, QStringLiteral("%1 is not a conflict copy of a file of %2").arg(file, dataDir));
    else if (!QFileInfo(QDir(dataDir).filePath(name)).isFile())
        failure(io, QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(QDir(dataDir).filePath(name))));
    else
        return copy;
    return std::nullopt;
}

std::optional<QByteArray> readBytes(const QString &path, CommandIo io)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failure(io, QStringLiteral("%1 cannot be read (%2)").arg(path, file.errorString()));
        return std::nullopt;
    }
    return file.readAll();
}

int listCopies(const QString &dataDir, CommandIo io)
{
    const QList<Copy> copies = ConflictCopies::list(dataDir);
    for (const Copy &copy : copies)
        io.out << copy.fileName << "  " << copy.of.name << "  " << ConflictCopies::toolName(copy.tool) << '\n';
    if (copies.isEmpty())
        io.out << "no conflict copies in " << QDir::toNativeSeparators(dataDir) << '\n';
    return ExitOk;
}

// As its page's export prints it, so that it can be set beside the page.
int showCopy(const QString &path, const Copy &copy, CommandIo io)
{
    if (copy.of.kind == Kind::Note)
        return exportNoteFile(path, QStringLiteral("text"), io);
    if (copy.of.kind == Kind::Password)
        return exportPasswordFile(path, io);
    if (copy.of.kind == Kind::Vault)
        return failure(io, QStringLiteral("%1 is a copy of the vault: extract it into a folder of its own as "
                                          "passwords.kdbx and read it there with vault export")
                               .arg(path));
    const std::optional<QByteArray> bytes = readBytes(path, io);
    if (!bytes)
        return ExitFailure;
    io.out << Cp1252::toUnicode(*bytes);
    return ExitOk;
}

int extractCopy(const QString &dataDir, const QString &path, const Copy &copy, const QString &outPath, CommandIo io)
{
    // A page written over here would keep no backup; the imports keep one.
    // Windows takes NOTE3.RTF for note3.rtf.
    const QString outName = QFileInfo(outPath).fileName();
    if (isInFolder(outPath, dataDir)
        && (ConflictCopies::dataFile(outName.toLower()) || ConflictCopies::recognise(outName)))
        return failure(io, QStringLiteral("%1 would be written over; write elsewhere, and make it the page with "
                                          "notes import or passwords import, which keep the page they replace")
                               .arg(outPath));
    const QString suffix = QFileInfo(outPath).suffix().toLower();
    if (copy.of.kind == Kind::Note && suffix != u"rtf" && suffix != u"txt") {
        io.err << "kladdo-data: OUT_FILE of a note must end in .rtf or .txt, not '" << outPath << "'\n";
        return ExitUsage;
    }
    QByteArray bytes;
    int exitCode = ExitOk;
    // Taken as they are: the vault's copy is enciphered.
    if (copy.of.kind == Kind::Settings || copy.of.kind == Kind::Vault) {
        const std::optional<QByteArray> read = readBytes(path, io);
        if (!read)
            return ExitFailure;
        bytes = *read;
    } else {
        QString text;
        QTextStream stream(&text);
        const CommandIo into{stream, io.err};
        const QString format = QString::fromLatin1(suffix == u"rtf" ? "rtf" : "text");
        exitCode = copy.of.kind == Kind::Password ? exportPasswordFile(path, into) : exportNoteFile(path, format, into);
        stream.flush();
        // Nothing was read; the export said why.
        if (text.isEmpty())
            return exitCode;
        bytes = text.toUtf8();
    }
    const AtomicFile::Result written = AtomicFile::write(outPath, bytes);
    if (!written.ok)
        return failure(io, QStringLiteral("%1 cannot be written: %2").arg(outPath, written.reason));
    if (exitCode != ExitOk)
        io.err << "kladdo-data: " << outPath << " holds what could be read of " << copy.fileName << '\n';
    return exitCode;
}

} // namespace

QList<CheckLine> checkConflictCopies(const QString &dataDir)
{
    QList<CheckLine> lines;
    for (const Copy &copy : ConflictCopies::list(dataDir)) {
        lines << CheckLine{copy.fileName, CheckLine::Status::Notice,
                           QStringLiteral("conflict copy of %1 made by %2, to merge by hand")
                               .arg(copy.of.name, ConflictCopies::toolName(copy.tool))};
    }
    return lines;
}

int conflictsCommand(const QStringList &args, CommandIo io)
{
    const bool isList = args.size() == 1 && args[0] != u"show" && args[0] != u"extract";
    const bool isShow = args.size() == 3 && args[0] == u"show";
    const bool isExtract = args.size() == 4 && args[0] == u"extract";
    if (!isList && !isShow && !isExtract)
        return usageError(io, kUsage);
    const QString &dataDir = isList ? args[0] : args[1];
    if (!QFileInfo(dataDir).isDir())
        return failure(io, dataDir + QStringLiteral(" is not a folder"));
    if (isList)
        return listCopies(dataDir, io);
    const std::optional<Copy> copy = copyArgument(dataDir, args[2], io);
    if (!copy)
        return ExitFailure;
    const QString path = QDir(dataDir).filePath(copy->fileName);
    return isShow ? showCopy(path, *copy, io) : extractCopy(dataDir, path, *copy, args[3], io);
}
