// Writes a generated note page whose rich text is about a given size, and
// the same note as plain text beside it, so that the start-up benchmark can
// show one content in Kladdo and in the bare window it is compared with.
#include "bench/SampleDocument.h"
#include "notes/NotePage.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"
#include "platform/AtomicFile.h"
#include "platform/KladdoError.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTextDocument> sampleOfCharacters(int characters)
{
    auto document = std::make_unique<QTextDocument>();
    SampleDocument::insertRuns(document.get(), SampleDocument::runs(characters), SampleDocument::styles());
    return document;
}

// The rich text grows with the text in a steady ratio, so a few rescaled
// tries land within a percent of the size asked for.
std::unique_ptr<QTextDocument> sampleOfRtfSize(qint64 bytes)
{
    qint64 characters = bytes / 2;
    std::unique_ptr<QTextDocument> document;
    for (int attempt = 0; attempt < 4; ++attempt) {
        document = sampleOfCharacters(int(characters));
        const qint64 written = RtfWriter::write(document.get()).size();
        if (std::abs(written - bytes) * 100 <= bytes)
            break;
        characters = characters * bytes / written;
    }
    return document;
}

// Both programs must show the same text, so the rich text has to read back
// as exactly the plain text written beside it.
void checkReadsBackAs(const QString &rtfPath, const QString &text)
{
    QTextDocument readBack;
    NotePage::load(rtfPath, &readBack);
    if (readBack.toPlainText() != text)
        throw KladdoError(QStringLiteral("%1 does not read back as the text written").arg(rtfPath));
}

void writeText(const QString &path, const QString &text)
{
    const AtomicFile::Result result = AtomicFile::write(path, text.toUtf8());
    if (!result.ok)
        throw KladdoError(QStringLiteral("%1 cannot be created: %2").arg(path, result.reason));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool isNumber = false;
    const qint64 bytes = arguments.size() == 4 ? arguments[1].toLongLong(&isNumber) : 0;
    if (!isNumber || bytes <= 0) {
        std::fputs("Usage: bench_sample_note BYTES RTF_FILE TEXT_FILE\n"
                   "Writes a formatted note of about BYTES bytes of rich text to RTF_FILE\n"
                   "and its plain text, UTF-8, to TEXT_FILE.\n",
                   stderr);
        return 2;
    }
    try {
        const std::unique_ptr<QTextDocument> document = sampleOfRtfSize(bytes);
        const QString text = document->toPlainText();
        NotePage::save(arguments[2], document.get());
        checkReadsBackAs(arguments[2], text);
        writeText(arguments[3], text);
    } catch (const KladdoError &error) {
        std::fprintf(stderr, "bench_sample_note: %s\n", error.what());
        return 1;
    }
    return 0;
}
