// A hostile note page against an ordinary one of the same size: time and
// memory of one read, as kladdo-data or the editor reads a page. The hostile
// page's font table names 8,000 code pages, each in a font name that needs
// it, so every one of them is looked up. Each benchmark reads once, from a
// cold start: what the reader keeps for the whole run counts, and the peak
// resident memory is taken from the read alone (the peak is reset first).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTextDocument>

#include "notes/RtfReader.h"

namespace {

constexpr int kCodePages = 8000;
constexpr int kFirstCodePage = 30000; // numbers no system knows

QByteArray hostilePage()
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}";
    for (int i = 1; i <= kCodePages; ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\cpg" + QByteArray::number(kFirstCodePage + i) + " F\\'e9;}";
    return rtf + "}\\f0 Eine Notiz.\\par}";
}

// Paragraphs of words in one font, a few of them accented.
QByteArray plainPage(qsizetype size)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int line = 0; rtf.size() < size - 64; ++line)
        rtf += "Zeile " + QByteArray::number(line) + ": Caf\\'e9 und Kuchen, dann ein Spaziergang.\\par\n";
    return rtf + "}";
}

qint64 statusKilobytes(QByteArrayView key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Writing 5 to clear_refs sets the peak resident memory to the current one.
bool resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

void readOnce(benchmark::State &state, const QByteArray &rtf)
{
    if (!resetPeak()) {
        state.SkipWithError("no /proc/self/clear_refs to reset the peak resident memory");
        return;
    }
    const qint64 before = statusKilobytes("VmRSS:");
    for (auto _ : state) {
        QTextDocument document;
        RtfReader::read(rtf, &document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    const qint64 peak = statusKilobytes("VmHWM:");
    state.counters["input_KB"] = double(rtf.size()) / 1024;
    state.counters["peak_rss_MB"] = double(peak) / 1024;
    state.counters["added_rss_MB"] = double(peak - before) / 1024;
}

void plain(benchmark::State &state)
{
    readOnce(state, plainPage(hostilePage().size()));
}

void codePages(benchmark::State &state)
{
    readOnce(state, hostilePage());
}

} // namespace

BENCHMARK(plain)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(codePages)->Iterations(1)->Unit(benchmark::kMillisecond);
