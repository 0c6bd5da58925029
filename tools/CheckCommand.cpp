#include "tools/Commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString statusText(const CheckLine &line)
{
    switch (line.status) {
    case CheckLine::Status::Ok:
        return QStringLiteral("ok");
    case CheckLine::Status::Missing:
        return QStringLiteral("missing");
    case CheckLine::Status::Damaged:
        return QStringLiteral("damaged: ") + line.detail;
    case CheckLine::Status::Notice:
        return line.detail;
    }
    return {};
}

} // namespace

QList<CheckLine> checkSettingsFile(const QString &dataDir)
{
    const QString path = QDir(dataDir).filePath(QStringLiteral("note.ini"));
    CheckLine line{QStringLiteral("note.ini"), CheckLine::Status::Ok, {}};
    QFile file(path);
    if (!file.exists()) {
        line.status = CheckLine::Status::Missing;
    } else if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        line.status = CheckLine::Status::Damaged;
        line.detail = QStringLiteral("cannot be read (%1)").arg(file.errorString());
    }
    return {line};
}

int checkCommand(const QStringList &args, CommandIo io)
{
    if (args.size() != 1) {
        io.err << "usage: kladdo-data check DATA_DIR\n";
        return ExitUsage;
    }
    const QString dataDir = args[0];
    if (!QFileInfo(dataDir).isDir()) {
        io.err << "kladdo-data: " << dataDir << " is not a folder\n";
        return ExitFailure;
    }
    QList<CheckLine> lines = checkSettingsFile(dataDir);
    lines += checkNotePages(dataDir);
    lines += checkPasswordPages(dataDir);
    lines += checkVault(dataDir);
    lines += checkRecoveryFiles(dataDir);
    lines += checkConflictCopies(dataDir);
    bool damaged = false;
    for (const CheckLine &line : lines) {
        io.out << line.file << ": " << statusText(line) << '\n';
        damaged = damaged || line.status == CheckLine::Status::Damaged;
    }
    return damaged ? ExitFailure : ExitOk;
}
