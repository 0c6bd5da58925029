#include "tools/Commands.h"

#include "passwords/PassPageFile.h"
#include "platform/KladdoError.h"
#include "platform/Languages.h"
#include "tools/Csv.h"
#include "tools/PageNumber.h"
#include "vault/VaultPages.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>

namespace {

constexpr const char *kUsage =
    "usage: kladdo-data passwords export DATA_DIR PAGE\n"
    "       kladdo-data passwords import DATA_DIR PAGE FILE\n";

const QStringList kHeader = {QStringLiteral("text"), QStringLiteral("name"),
                             QStringLiteral("password")};

constexpr qint64 kMaxCsvBytes = 1024 * 1024;

QString readUtf8(const QString &csvPath)
{
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        throw KladdoError(QStringLiteral("cannot read %1 (%2)").arg(csvPath, file.errorString()));
    // A page's CSV is some kilobytes at most; a larger file is not one, and
    // is not read whole.
    const QByteArray bytes = file.read(kMaxCsvBytes + 1);
    if (bytes.size() > kMaxCsvBytes)
        throw KladdoError(QStringLiteral("%1 is larger than %2 KiB, more than a page's CSV can be")
                              .arg(csvPath)
                              .arg(kMaxCsvBytes / 1024));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        throw KladdoError(QStringLiteral("%1 is not UTF-8 text").arg(csvPath));
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return text;
}

} // namespace

// Every cell must fit as it is, since cutting a password or a name here
// would lose it without a word.
PassPageCells cellsFromCsv(const QString &csvPath)
{
    QList<QStringList> records;
    try {
        records = Csv::parse(readUtf8(csvPath));
    } catch (const KladdoError &error) {
        throw KladdoError(csvPath + QStringLiteral(": ") + error.message());
    }
    if (records.isEmpty() || records.takeFirst() != kHeader)
        throw KladdoError(csvPath + QStringLiteral(" must start with the line text,name,password"));
    if (records.size() > PassSlotCount)
        throw KladdoError(QStringLiteral("%1 has %2 rows; a page holds at most %3")
                              .arg(csvPath)
                              .arg(records.size())
                              .arg(PassSlotCount));
    PassPageCells cells;
    for (int slot = 0; slot < records.size(); ++slot) {
        const QStringList &fields = records[slot];
        if (fields.size() != PassColumnCount)
            throw KladdoError(QStringLiteral("%1: Row %2: %3 fields, not %4")
                                  .arg(csvPath)
                                  .arg(slot + 1)
                                  .arg(fields.size())
                                  .arg(PassColumnCount));
        for (int column = 0; column < PassColumnCount; ++column) {
            const PassCellProblem problem = passCellProblem(column, fields[column]);
            if (problem != PassCellProblem::None)
                throw KladdoError(csvPath + QStringLiteral(": ")
                                  + PassCellError(column, slot, problem).message());
            cells.setCell(column, slot, fields[column]);
        }
    }
    return cells;
}

void writePageCsv(const QList<QStringList> &rows, CommandIo io)
{
    io.out << Csv::formatRecord(kHeader);
    for (const QStringList &row : rows)
        io.out << Csv::formatRecord(row);
}

namespace {

int importPage(const QString &path, const QString &csvPath, CommandIo io)
{
    try {
        PassPageFile(path).save(cellsFromCsv(csvPath));
    } catch (const KladdoError &error) {
        return failure(io, error.message());
    }
    return ExitOk;
}

} // namespace

int exportPasswordFile(const QString &path, CommandIo io)
{
    const PassPageLoad load = PassPageFile(path).load();
    if (load.fileState == PassPageLoad::FileState::Unreadable)
        return failure(io, QStringLiteral("%1 cannot be read (%2)").arg(path, load.readError));
    QList<QStringList> rows;
    for (int slot = 0; slot < PassSlotCount; ++slot) {
        QStringList &row = rows.emplace_back();
        for (int column = 0; column < PassColumnCount; ++column)
            row << load.cells.cell(column, slot);
    }
    writePageCsv(rows, io);
    if (load.isDamaged())
        return failure(io, QStringLiteral("%1 is damaged: %2").arg(path, load.damageText(Languages::English)));
    return ExitOk;
}

int passwordsCommand(const QStringList &args, CommandIo io)
{
    const bool isExport = args.size() == 3 && args[0] == u"export";
    const bool isImport = args.size() == 4 && args[0] == u"import";
    if (!isExport && !isImport)
        return usageError(io, kUsage);
    const std::optional<int> page = pageArgument(args[2], io);
    if (!page)
        return ExitUsage;
    if (!QFileInfo(args[1]).isDir())
        return failure(io, args[1] + QStringLiteral(" is not a folder"));
    if (QFileInfo::exists(VaultPages::pathFor(args[1])))
        return failure(io, QStringLiteral("%1 holds the password pages in its vault %2: use kladdo-data vault %3")
                               .arg(args[1], VaultPages::fileName(), args[0]));
    const QString path = PassPageFile::pathFor(args[1], *page);
    return isExport ? exportPasswordFile(path, io) : importPage(path, args[3], io);
}

QList<CheckLine> checkPasswordPages(const QString &dataDir)
{
    QList<CheckLine> lines;
    for (int page = 0; page <= 9; ++page) {
        const PassPageFile file(PassPageFile::pathFor(dataDir, page));
        if (!QFileInfo::exists(file.path()))
            continue;
        const PassPageLoad load = file.load();
        CheckLine line{QFileInfo(file.path()).fileName(), CheckLine::Status::Ok, {}};
        if (load.isDamaged()) {
            line.status = CheckLine::Status::Damaged;
            line.detail = load.damageText(Languages::English);
        }
        lines << line;
    }
    return lines;
}
