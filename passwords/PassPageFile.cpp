#include "passwords/PassPageFile.h"

#include "platform/Languages.h"
#include "platform/PageBackups.h"
#include "platform/RecoveryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

using FileState = PassPageLoad::FileState;
using Languages::TextPair;

// "3, 5-14" for the rows 3, 5, 6, ... 14.
QString rowRanges(const QList<int> &rows)
{
    QStringList parts;
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype end = i;
        while (end + 1 < rows.size() && rows[end + 1] == rows[end] + 1)
            ++end;
        parts << (end == i ? QString::number(rows[i])
                           : QStringLiteral("%1-%2").arg(rows[i]).arg(rows[end]));
        i = end + 1;
    }
    return parts.join(QStringLiteral(", "));
}

// One entry per column with cells of the given damage: "password rows 3,
// 5-14 not in the file", in German "Kennwort in Zeilen 3, 5-14 ...".
QStringList damagedRows(const PassPageCells &cells, PassCellDamage damage, const QString &what,
                        int languageIndex)
{
    QStringList entries;
    for (int column = 0; column < PassColumnCount; ++column) {
        QList<int> rows;
        for (int slot = 0; slot < PassSlotCount; ++slot) {
            if (cells.damage(column, slot) == damage)
                rows << slot + 1;
        }
        if (rows.isEmpty())
            continue;
        const TextPair rowWord = rows.size() == 1 ? TextPair{u"in Zeile", u"row"}
                                                  : TextPair{u"in Zeilen", u"rows"};
        entries << QStringLiteral("%1 %2 %3 %4")
                       .arg(passColumnName(column, languageIndex), rowWord.in(languageIndex),
                            rowRanges(rows), what);
    }
    return entries;
}

PassPageLoad unreadable(qint64 size, QString reason)
{
    PassPageLoad load;
    load.fileState = FileState::Unreadable;
    load.fileSize = size;
    load.readError = std::move(reason);
    return load;
}

} // namespace

PassPageWriteError::PassPageWriteError(const QString &path, const QString &reason)
    : KladdoError(QStringLiteral("Cannot write %1: %2").arg(path, reason))
    , m_path(path)
    , m_reason(reason)
{
}

bool PassPageLoad::isDamaged() const
{
    return !damageText(Languages::English).isEmpty();
}

QString PassPageLoad::damageText(int languageIndex) const
{
    QStringList parts;
    switch (fileState) {
    case FileState::Complete:
    case FileState::Missing:
        break;
    case FileState::Short:
        parts << TextPair{u"Größe %1 Bytes statt %2", u"size %1 bytes, not %2"}
                     .in(languageIndex)
                     .arg(fileSize)
                     .arg(PassPageRecord::Size);
        break;
    case FileState::Long:
        parts << TextPair{u"Größe %1 Bytes statt %2 (die Bytes nach den ersten %2 werden ignoriert)",
                          u"size %1 bytes, not %2 (the bytes after the first %2 are ignored)"}
                     .in(languageIndex)
                     .arg(fileSize)
                     .arg(PassPageRecord::Size);
        break;
    case FileState::Unreadable:
        parts << TextPair{u"kann nicht gelesen werden (%1)", u"cannot be read (%1)"}
                     .in(languageIndex)
                     .arg(readError);
        break;
    }
    parts << damagedRows(cells, PassCellDamage::NotInFile,
                         TextPair{u"nicht in der Datei", u"not in the file"}.in(languageIndex),
                         languageIndex);
    parts << damagedRows(cells, PassCellDamage::Undecipherable,
                         TextPair{u"nicht zu entschlüsseln", u"cannot be deciphered"}.in(languageIndex),
                         languageIndex);
    return parts.join(QStringLiteral("; "));
}

PassPageFile::PassPageFile(QString path)
    : m_path(std::move(path))
{
}

QString PassPageFile::pathFor(const QString &dataDir, int page)
{
    return QDir(dataDir).filePath(QStringLiteral("pass%1.dat").arg(page));
}

PassPageLoad PassPageFile::load() const
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return unreadable(0, QStringLiteral("not a regular file"));
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(info.size(), file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(info.size(), file.errorString());
    return fromBytes(bytes);
}

PassPageLoad PassPageFile::fromBytes(const QByteArray &bytes)
{
    const qsizetype held = std::min<qsizetype>(bytes.size(), PassPageRecord::Size);
    PassPageLoad load;
    load.fileSize = bytes.size();
    load.stamp = RecoveryFile::stampOf(bytes);
    load.cells = PassPageCells::fromRecord(PassPageRecord(QByteArrayView(bytes).first(held)), held);
    if (held < PassPageRecord::Size)
        load.fileState = FileState::Short;
    else if (load.fileSize > PassPageRecord::Size)
        load.fileState = FileState::Long;
    else
        load.fileState = FileState::Complete;
    return load;
}

QString PassPageFile::recordDamage(const QByteArray &bytes)
{
    return bytes.size() == PassPageRecord::Size
               ? QString()
               : QStringLiteral("it holds %1 bytes, not one page of %2").arg(bytes.size()).arg(PassPageRecord::Size);
}

QByteArray PassPageFile::save(const PassPageCells &cells) const
{
    const QByteArray bytes = cells.toRecord().bytes();
    const AtomicFile::Result result = PageBackups::writePage(m_path, bytes);
    if (!result.ok)
        throw PassPageWriteError(m_path, result.reason);
    return RecoveryFile::stampOf(bytes);
}
