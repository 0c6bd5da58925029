// Find and replace over a large note page: a search that runs to the end
// of the page without a hit, and Replace All of a word that stands about
// every sixteenth word (with whole word on), then its undo.
#include "bench/SampleDocument.h"
#include "notes/FindReplace.h"

#include <benchmark/benchmark.h>

#include <QTextEdit>

namespace {

constexpr int kKilobyte = 1024;

void fill(QTextEdit &editor, int kilobytes)
{
    SampleDocument::insertRuns(editor.document(), SampleDocument::runs(kilobytes * kKilobyte),
                               SampleDocument::styles());
    editor.document()->setUndoRedoEnabled(true);
}

void findMiss(benchmark::State &state)
{
    QTextEdit editor;
    fill(editor, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(FindReplace::findNext(editor, QStringLiteral("absent"), {}));
}

void replaceAllAndUndo(benchmark::State &state)
{
    QTextEdit editor;
    fill(editor, int(state.range(0)));
    int replaced = 0;
    for (auto _ : state) {
        editor.moveCursor(QTextCursor::Start);
        replaced = FindReplace::replaceAll(editor, QStringLiteral("note"), QStringLiteral("Notizen"),
                                           {false, true});
        editor.undo();
    }
    state.counters["replaced"] = replaced;
}

void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(100)->Arg(kKilobyte)->ArgName("KB")->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(findMiss)->Apply(sizes);
BENCHMARK(replaceAllAndUndo)->Apply(sizes);
