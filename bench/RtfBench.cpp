// Reading and writing rich text against what Qt pays for the same content:
// QTextDocument::setHtml/toHtml, and the bare insertion of the same runs
// through one QTextCursor, the floor for any reader that fills a document.
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <map>
#include <random>

namespace {

constexpr int kMegabyte = 1 << 20;
constexpr int kRunLength = 45; // about one format change every 45 characters
constexpr int kRunsPerParagraph = 8;

struct Run
{
    QString text;
    int style;
    bool endsParagraph;
};

// Bold, italic, underline, colour, two fonts, two sizes, and plain text.
QList<QTextCharFormat> makeStyles()
{
    QList<QTextCharFormat> styles;
    const auto base = [](const QString &family, double points) {
        QTextCharFormat f;
        f.setFontFamilies({family});
        f.setFontPointSize(points);
        return f;
    };
    styles << base("Arial", 10);
    QTextCharFormat bold = base("Arial", 10);
    bold.setFontWeight(QFont::Bold);
    styles << bold;
    QTextCharFormat italic = base("Arial", 10);
    italic.setFontItalic(true);
    styles << italic;
    QTextCharFormat underline = base("Arial", 10);
    underline.setFontUnderline(true);
    styles << underline;
    QTextCharFormat red = base("Arial", 10);
    red.setForeground(QColor(200, 0, 0));
    styles << red;
    styles << base("Courier New", 10);
    styles << base("Arial", 14);
    QTextCharFormat mixed = base("Courier New", 14);
    mixed.setFontWeight(QFont::Bold);
    mixed.setForeground(QColor(0, 0, 180));
    styles << mixed;
    return styles;
}

QList<Run> makeRuns(int characters)
{
    static const QStringList words{"Notiz", "Termin", "morgen", "Einkauf", "Grüße", "Straße", "note", "page",
                                   "alarm", "colour", "window", "text", "rich", "format", "the", "and"};
    std::mt19937 random(42);
    QList<Run> runs;
    int total = 0;
    while (total < characters) {
        QString text;
        while (text.size() < kRunLength)
            text += words[random() % words.size()] + QLatin1Char(' ');
        total += text.size();
        runs.append(Run{text, int(random() % 8), runs.size() % kRunsPerParagraph == kRunsPerParagraph - 1});
    }
    return runs;
}

void insertRuns(QTextDocument *document, const QList<Run> &runs, const QList<QTextCharFormat> &styles)
{
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Run &run : runs) {
        cursor.insertText(run.text, styles[run.style]);
        if (run.endsParagraph)
            cursor.insertBlock();
    }
    cursor.endEditBlock();
}

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
        slot->runs = makeRuns(megabytes * kMegabyte);
        slot->styles = makeStyles();
        insertRuns(&slot->document, slot->runs, slot->styles);
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
        insertRuns(&document, c.runs, c.styles);
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

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
