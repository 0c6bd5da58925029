// What keeping a note page in its recovery file costs the main thread.
// recoverySnapshot takes the page's bytes from the document, which only the
// main thread may read; recoveryHandOff adds handing them to the writer's
// thread; recoveryFileWrite is the write itself (heading, checksum, atomic
// replace with its flush to the disk), which the thread takes off the main
// thread.
#include "bench/SampleDocument.h"
#include "notes/NotePage.h"
#include "platform/RecoveryFile.h"
#include "platform/RecoveryWriter.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QTextDocument>

namespace {

std::unique_ptr<QTextDocument> samplePage(benchmark::State &state)
{
    auto document = std::make_unique<QTextDocument>();
    SampleDocument::insertRuns(document.get(), SampleDocument::runs(int(state.range(0)) * 1024),
                               SampleDocument::styles());
    return document;
}

void recoverySnapshot(benchmark::State &state)
{
    const auto document = samplePage(state);
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = NotePage::bytesOf(document.get()).size();
    state.counters["page_bytes"] = double(bytes);
}

void recoveryHandOff(benchmark::State &state)
{
    const auto document = samplePage(state);
    QTemporaryDir folder;
    const QString page = folder.filePath(QStringLiteral("note3.rtf"));
    RecoveryWriter writer;
    for (auto _ : state) {
        writer.write(page, NotePage::bytesOf(document.get()), {});
        state.PauseTiming();
        writer.finish();
        state.ResumeTiming();
    }
}

void recoveryFileWrite(benchmark::State &state)
{
    const QByteArray bytes = NotePage::bytesOf(samplePage(state).get());
    QTemporaryDir folder;
    const QString page = folder.filePath(QStringLiteral("note3.rtf"));
    for (auto _ : state) {
        if (!RecoveryFile::write(page, bytes, RecoveryFile::stampOf(bytes)).ok) {
            state.SkipWithError("the recovery file cannot be written");
            break;
        }
    }
}

// Pages of 100 K and 1 M characters of formatted text.
void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(100)->Arg(1024)->ArgName("Kchars")->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(recoverySnapshot)->Apply(sizes);
BENCHMARK(recoveryHandOff)->Apply(sizes);
BENCHMARK(recoveryFileWrite)->Apply(sizes);
