// libFuzzer target for the HTML import of note pages, as kladdo-data reads
// a page: whatever the bytes, reading ends in a document, and writing that
// document as a page file and reading it back gives the same characters.
// Only the layout may change on the way: a page file has no tables, so
// cells become lines and tabs; and a picture whose source cannot be loaded
// has nothing to be saved.
#include "notes/HtmlImport.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The text without what tables, paragraphs, blanks and pictures are made
// of, and without control characters, which a page file does not hold; a
// surrogate without its pair is the replacement character it is read as.
QString characters(const QTextDocument &document)
{
    const QString text = document.toRawText();
    QString kept;
    for (qsizetype at = 0; at < text.size(); ++at) {
        QChar c = text[at];
        const bool paired = (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
                            || (c.isLowSurrogate() && at > 0 && text[at - 1].isHighSurrogate());
        if (c.isSurrogate() && !paired)
            c = QChar::ReplacementCharacter;
        if (!c.isSpace() && c.unicode() >= 0x20 && c != QChar(0xFDD0) && c != QChar(0xFDD1)
            && c != QChar::ObjectReplacementCharacter)
            kept += c;
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt's HTML reader asks the font database, which needs an application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "html_import_fuzzer";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTextDocument document;
    HtmlImport::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &document);

    QTextDocument again;
    const RtfReadResult result = RtfReader::read(RtfWriter::write(&document), &again);
    if (!result.isClean()) {
        std::fprintf(stderr, "the page written from the HTML did not read cleanly: %s\n",
                     qPrintable(result.problems.join(QLatin1Char('\n'))));
        std::abort();
    }
    if (characters(again) != characters(document)) {
        std::fprintf(stderr, "the text changed on its way through the page file:\n%s\n%s\n",
                     qPrintable(document.toRawText()), qPrintable(again.toRawText()));
        std::abort();
    }
    return 0;
}
