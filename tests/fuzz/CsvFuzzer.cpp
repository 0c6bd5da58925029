// libFuzzer target for the CSV reader of password imports. Whatever the
// text, parsing gives records or a KladdoError; records written out again
// parse back as the same records.
#include "platform/KladdoError.h"
#include "tools/Csv.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QStringList> records;
    try {
        records = Csv::parse(text);
    } catch (const KladdoError &) {
        return 0;
    }
    QString written;
    for (const QStringList &record : records)
        written += Csv::formatRecord(record);
    if (Csv::parse(written) != records) {
        std::fprintf(stderr, "the records changed on their way through the writer:\n%s\n", qPrintable(written));
        std::abort();
    }
    return 0;
}
