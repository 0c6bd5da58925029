// libFuzzer target for the password page file. Whatever the file holds,
// loading it, saving the page and loading it again keeps every cell the
// first load could read, with the same text, and every stored password it
// could not decipher, still undeciphered rather than lost.
#include "passwords/PassPageFile.h"
#include "passwords/PassPageRecord.h"
#include "platform/Languages.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::abort();
}

// Saving syncs the file; in memory that costs nothing.
QString pagePath()
{
    static QTemporaryDir folder(QFile::exists(QStringLiteral("/dev/shm"))
                                    ? QStringLiteral("/dev/shm/kladdo-fuzz-XXXXXX")
                                    : QString());
    if (!folder.isValid())
        fail(QStringLiteral("no temporary folder: %1").arg(folder.errorString()));
    return PassPageFile::pathFor(folder.path(), 0);
}

void writeInput(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

QByteArray readSaved(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

QString where(int column, int slot)
{
    return QStringLiteral("%1 row %2").arg(passColumnName(column, Languages::English)).arg(slot + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = pagePath();
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    writeInput(path, input);
    const PassPageFile file(path);
    const PassPageLoad first = file.load();
    try {
        file.save(first.cells);
    } catch (const KladdoError &error) {
        fail(QStringLiteral("a page as loaded could not be saved: %1").arg(error.message()));
    }
    const PassPageRecord loaded(input);
    const PassPageRecord saved(readSaved(path));
    const PassPageLoad second = file.load();
    if (second.fileState != PassPageLoad::FileState::Complete)
        fail(QStringLiteral("the saved page is not one whole record: %1")
                 .arg(second.damageText(Languages::English)));

    for (int column = 0; column < PassColumnCount; ++column) {
        for (int slot = 0; slot < PassSlotCount; ++slot) {
            const PassCellDamage damage = first.cells.damage(column, slot);
            if (damage == PassCellDamage::NotInFile)
                continue; // nothing of it was there to keep
            if (second.cells.damage(column, slot) != damage)
                fail(QStringLiteral("%1 changed its state on saving").arg(where(column, slot)));
            if (second.cells.cell(column, slot) != first.cells.cell(column, slot))
                fail(QStringLiteral("%1 read \"%2\" and came back as \"%3\"")
                         .arg(where(column, slot), first.cells.cell(column, slot),
                              second.cells.cell(column, slot)));
            if (damage == PassCellDamage::Undecipherable
                && saved.slot(column, slot) != loaded.slot(column, slot))
                fail(QStringLiteral("%1 could not be deciphered and was not kept byte for byte")
                         .arg(where(column, slot)));
        }
    }
    return 0;
}
