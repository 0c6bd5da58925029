// What keeping backups adds to a page save. pageSaveFloor writes a page
// file atomically as before; pageSaveKeepingBackup writes it through the
// backups with content that changes every time, so that every save keeps
// the replaced version and drops the oldest; pageSaveUnchanged writes the
// content the file already holds, which keeps nothing but compares.
#include "platform/AtomicFile.h"
#include "platform/PageBackups.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

using Write = AtomicFile::Result (*)(const QString &, const QByteArray &);

void saveInTurn(benchmark::State &state, Write write, bool changing)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("note3.rtf"));
    const QByteArray versions[] = {QByteArray(state.range(0), 'a'), QByteArray(state.range(0), 'b')};
    int next = 0;
    for (auto _ : state) {
        if (!write(path, versions[next]).ok) {
            state.SkipWithError("the page file cannot be written");
            break;
        }
        if (changing)
            next = 1 - next;
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void pageSaveFloor(benchmark::State &state)
{
    saveInTurn(state, AtomicFile::write, true);
}

void pageSaveKeepingBackup(benchmark::State &state)
{
    saveInTurn(state, PageBackups::writePage, true);
}

void pageSaveUnchanged(benchmark::State &state)
{
    saveInTurn(state, PageBackups::writePage, false);
}

// A password page, a 100 KB and a 1 MB note page.
void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10752)->Arg(100 * 1024)->Arg(1024 * 1024)->ArgName("bytes");
    benchmark->Unit(benchmark::kMicrosecond)->UseRealTime();
}

} // namespace

BENCHMARK(pageSaveFloor)->Apply(sizes);
BENCHMARK(pageSaveKeepingBackup)->Apply(sizes);
BENCHMARK(pageSaveUnchanged)->Apply(sizes);
BENCHMARK_MAIN();
