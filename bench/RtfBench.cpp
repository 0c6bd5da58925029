// Reading and writing rich text against what Qt pays for the same content:
// QTextDocument::setHtml/toHtml, and the bare insertion of the same runs
// through one QTextCursor, the floor for any reader that fills a document.
#include "bench/SampleDocument.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QTextDocument>

#include <map>
#include <memory>

namespace {

constexpr int kMegabyte = 1 << 20;
using SampleDocument::Run;

// The content of each size, made once and shared by all benchmarks.
struct Content
{
    QList<Run> runs;
    QList<QTextCharFormat> styles;
    QTextDocument document;
    QByteArray rtf;
    QString html;
    qint64 characters = 0;
};

Content &content(int megabytes)
{
    static std::map<int, std::unique_ptr<Content>> made;
    auto &slot = made[megabytes];
    if (!slot) {
        slot = std::make_unique<Content>();
        slot->runs = SampleDocument::runs(megabytes * kMegabyte);
        slot->styles = SampleDocument::styles();
        SampleDocument::insertRuns(&slot->document, slot->runs, slot->styles);
        slot->rtf = RtfWriter::write(&slot->document);
        slot->html = slot->document.toHtml();
        slot->characters = slot->document.characterCount();
    }
    return *slot;
}

void readRtf(benchmark::State &state)
{
    Content &c = content(int(state.range(0)));
    for (auto _ : state) {
        QTextDocument document;
        RtfReader::read(c.rtf, &document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * c.characters);
}

void setHtml(benchmark::State &state)
{
    Content &c = content(int(state.range(0)));
    for (auto _ : state) {
        QTextDocument document;
        document.setHtml(c.html);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * c.characters);
}

void insertThroughCursor(benchmark::State &state)
{
    Content &c = content(int(state.range(0)));
    for (auto _ : state) {
        QTextDocument document;
        SampleDocument::insertRuns(&document, c.runs, c.styles);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * c.characters);
}

void writeRtf(benchmark::State &state)
{
    Content &c = content(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(RtfWriter::write(&c.document));
    state.SetBytesProcessed(state.iterations() * c.characters);
}

void toHtml(benchmark::State &state)
{
    Content &c = content(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(c.document.toHtml());
    state.SetBytesProcessed(state.iterations() * c.characters);
}

void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(1)->Arg(10)->ArgName("MB")->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(readRtf)->Apply(sizes);
BENCHMARK(insertThroughCursor)->Apply(sizes);
BENCHMARK(setHtml)->Apply(sizes);
BENCHMARK(writeRtf)->Apply(sizes);
BENCHMARK(toHtml)->Apply(sizes);
