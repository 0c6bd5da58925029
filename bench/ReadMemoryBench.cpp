// Resident memory while one note is read again and again, as the editor
// reads it: into a fresh document that is then laid out, which looks up
// every font the note names. A benchmark WARM/READS reads READS times and
// reports the resident memory after WARM reads and at the end; the first
// reads fill Qt's caches, and from then on nothing a read leaves behind may
// add up.
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

constexpr int kEditorWidth = 480; // pixels, about the note editor's
constexpr QByteArrayView kFamilyPrefix = "Family ";

// Fonts that no system has, each named in the font table and used by a run.
void insertFonts(QTextCursor &cursor, int count)
{
    for (int i = 0; i < count; ++i) {
        QTextCharFormat format;
        format.setFontFamilies({QString::fromLatin1(kFamilyPrefix) + QString::number(i)});
        format.setFontPointSize(8 + i % 20);
        format.setFontWeight(i % 3 == 0 ? QFont::Bold : QFont::Normal);
        cursor.insertText(QStringLiteral("word %1 ").arg(i), format);
        if (i % 10 == 9)
            cursor.insertBlock();
    }
}

void insertPictures(QTextDocument *document, QTextCursor &cursor, int count)
{
    for (int i = 0; i < count; ++i) {
        QImage image(64, 64, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor::fromHsv(i * 360 / count, 200, 220));
        painter.drawEllipse(8 + i, 8, 40, 40 - i);
        painter.end();
        const QString name = QStringLiteral("picture-%1").arg(i);
        document->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        cursor.insertImage(format);
        cursor.insertText(QStringLiteral(" caption %1\n").arg(i));
    }
}

QByteArray note(int fonts, int pictures)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    insertFonts(cursor, fonts);
    insertPictures(&document, cursor, pictures);
    return RtfWriter::write(&document);
}

// Cut in the middle of a picture, then groups left open, an unknown code
// page and a broken escape: what a damaged file looks like.
QByteArray damagedNote()
{
    QByteArray rtf = note(100, 10);
    rtf.truncate(rtf.indexOf("\\pict", rtf.size() / 2) + 200);
    return rtf + "{\\b{\\i\\ansicpg9999 open \\u-3913? \\'zz \xE4\xF6";
}

qint64 residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void readAndLayOut(const QByteArray &rtf)
{
    QTextDocument document;
    RtfReader::read(rtf, &document);
    document.setTextWidth(kEditorWidth);
    benchmark::DoNotOptimize(document.documentLayout()->documentSize());
}

// Reads what input(read) gives as often as the benchmark's arguments say
// and reports resident memory.
template<typename Input>
void readRepeatedly(benchmark::State &state, Input input)
{
    const auto warmReads = int(state.range(0));
    const auto reads = int(state.range(1));
    qint64 warm = 0;
    qint64 last = 0;
    for (auto _ : state) {
        for (int read = 1; read <= reads; ++read) {
            readAndLayOut(input(read));
            if (read == warmReads)
                warm = residentKilobytes();
        }
        last = residentKilobytes();
    }
    if (warm < 0 || last < 0) {
        state.SkipWithError("no /proc/self/status to read resident memory from");
        return;
    }
    state.counters["rss_warm_MB"] = double(warm) / 1024;
    state.counters["rss_end_MB"] = double(last) / 1024;
    state.counters["growth_KB"] = double(last - warm);
}

void manyFonts(benchmark::State &state)
{
    const QByteArray rtf = note(300, 0);
    readRepeatedly(state, [&](int) { return rtf; });
}

void pictures(benchmark::State &state)
{
    const QByteArray rtf = note(10, 20);
    readRepeatedly(state, [&](int) { return rtf; });
}

void damaged(benchmark::State &state)
{
    const QByteArray rtf = damagedNote();
    QTextDocument probe;
    if (RtfReader::read(rtf, &probe).isClean()) {
        state.SkipWithError("the damaged note reads cleanly");
        return;
    }
    readRepeatedly(state, [&](int) { return rtf; });
}

// As a fuzzer reads: every read names 20 fonts no read named before, each
// looked up in the font database. Qt keeps some of what it learns of each
// name, up to a bound that takes some 30,000 names to reach.
void newFontNames(benchmark::State &state)
{
    const QByteArray rtf = note(20, 0);
    readRepeatedly(state, [&](int read) {
        QByteArray renamed = rtf;
        return renamed.replace(kFamilyPrefix, "Family" + QByteArray::number(read) + ' ');
    });
}

} // namespace

BENCHMARK(manyFonts)->Args({100, 1000})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(pictures)->Args({100, 1000})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(damaged)->Args({100, 1000})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(newFontNames)->Args({2000, 4000})->Iterations(1)->Unit(benchmark::kSecond);
