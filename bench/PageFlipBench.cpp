// A page flip as the window makes it: the shown page saved, the next page
// file read into a fresh document, that document put into the editor.
// pageFlipFloor is what the same content costs at the least: the shown
// document written as rich text to a file, and its runs inserted into a
// fresh document through one cursor. pageFlipShownFloor adds what Qt
// itself spends to show that document: a bare text edit, set up as the
// editor is, takes it and lays out its first 2000 pixels, the least its
// lazy layout does, once.
#include "bench/SampleDocument.h"
#include "notes/NoteEditor.h"
#include "notes/NotePage.h"
#include "notes/RtfWriter.h"
#include "platform/KladdoError.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTextEdit>
#include <QTemporaryDir>

#include <map>

namespace {

constexpr int kKilobyte = 1024;
// The editor's place in the window.
constexpr QSize kEditorSize(498, 318);

// Two page files of one size in a folder of their own, and the document
// they were written from.
struct Pages
{
    QTemporaryDir folder;
    QList<SampleDocument::Run> runs;
    QList<QTextCharFormat> styles;
    QTextDocument document;
    qint64 characters = 0;

    QString path(int page) const { return folder.filePath(NotePage::fileName(page)); }
};

Pages &pages(int kilobytes)
{
    static std::map<int, std::unique_ptr<Pages>> made;
    auto &slot = made[kilobytes];
    if (!slot) {
        slot = std::make_unique<Pages>();
        slot->runs = SampleDocument::runs(kilobytes * kKilobyte);
        slot->styles = SampleDocument::styles();
        SampleDocument::insertRuns(&slot->document, slot->runs, slot->styles);
        slot->characters = slot->document.characterCount();
        NotePage::save(slot->path(0), &slot->document);
        NotePage::save(slot->path(1), &slot->document);
    }
    return *slot;
}

std::unique_ptr<QTextDocument> loaded(const QString &path)
{
    auto document = std::make_unique<QTextDocument>();
    NotePage::load(path, document.get());
    return document;
}

void pageFlip(benchmark::State &state)
{
    try {
        Pages &p = pages(int(state.range(0)));
        NoteEditor editor;
        editor.resize(kEditorSize);
        editor.replaceDocument(loaded(p.path(0)));
        int shown = 0;
        for (auto _ : state) {
            editor.document()->setModified(true);
            NotePage::save(p.path(shown), editor.document());
            shown = 1 - shown;
            editor.replaceDocument(loaded(p.path(shown)));
        }
        state.SetBytesProcessed(state.iterations() * p.characters);
    } catch (const KladdoError &error) {
        state.SkipWithError(error.what());
    }
}

// The floor's save and fresh document; null when the file cannot be written.
std::unique_ptr<QTextDocument> floorStep(Pages &p, QFile &file, benchmark::State &state)
{
    const QByteArray rtf = RtfWriter::write(&p.document);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
        state.SkipWithError(qPrintable(file.errorString()));
        return nullptr;
    }
    file.close();
    auto document = std::make_unique<QTextDocument>();
    SampleDocument::insertRuns(document.get(), p.runs, p.styles);
    return document;
}

void pageFlipFloor(benchmark::State &state)
{
    try {
        Pages &p = pages(int(state.range(0)));
        QFile file(p.folder.filePath(QStringLiteral("floor.rtf")));
        for (auto _ : state) {
            const std::unique_ptr<QTextDocument> document = floorStep(p, file, state);
            if (!document)
                break;
            benchmark::DoNotOptimize(document->characterCount());
        }
        state.SetBytesProcessed(state.iterations() * p.characters);
    } catch (const KladdoError &error) {
        state.SkipWithError(error.what());
    }
}

void pageFlipShownFloor(benchmark::State &state)
{
    try {
        Pages &p = pages(int(state.range(0)));
        QFile file(p.folder.filePath(QStringLiteral("floor.rtf")));
        QTextEdit editor;
        editor.setLineWrapMode(QTextEdit::NoWrap);
        editor.resize(kEditorSize);
        std::unique_ptr<QTextDocument> shown;
        for (auto _ : state) {
            std::unique_ptr<QTextDocument> document = floorStep(p, file, state);
            if (!document)
                break;
            // Laid out once, by the edit, as the editor's pages are.
            document->setPageSize(QSizeF(0, 0));
            QTextOption option = document->defaultTextOption();
            option.setWrapMode(QTextOption::NoWrap);
            document->setDefaultTextOption(option);
            editor.setDocument(document.get());
            shown = std::move(document);
        }
        state.SetBytesProcessed(state.iterations() * p.characters);
    } catch (const KladdoError &error) {
        state.SkipWithError(error.what());
    }
}

void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(100)->Arg(kKilobyte)->ArgName("KB")->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(pageFlip)->Apply(sizes);
BENCHMARK(pageFlipFloor)->Apply(sizes);
BENCHMARK(pageFlipShownFloor)->Apply(sizes);
