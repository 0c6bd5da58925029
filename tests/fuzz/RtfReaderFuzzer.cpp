// libFuzzer target for the RTF reader. Whatever the bytes, reading must end
// in a document; and what the writer makes of that document must read back
// cleanly as the same text.
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Documents need fonts, fonts need an application; libFuzzer's own
    // arguments are not for it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_reader_fuzzer";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTextDocument document;
    RtfReader::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &document);

    QTextDocument again;
    const RtfReadResult result = RtfReader::read(RtfWriter::write(&document), &again);
    if (!result.isClean()) {
        std::fprintf(stderr, "the writer's output did not read cleanly: %s\n",
                     qPrintable(result.problems.join(QLatin1Char('\n'))));
        std::abort();
    }
    if (again.toRawText() != document.toRawText()) {
        std::fprintf(stderr, "the text changed on its way through the writer:\n%s\n%s\n",
                     qPrintable(document.toRawText()), qPrintable(again.toRawText()));
        std::abort();
    }
    return 0;
}
