// libFuzzer target for the settings file. Whatever the bytes, reading gives
// settings, writing them back into the same text succeeds, and reading that
// text again gives the same settings: integers exactly, texts as the file
// format reads any value back.
#include "platform/KladdoError.h"
#include "platform/ProfileFile.h"
#include "settings/WindowSettings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

// A text value read back loses blanks around it and one pair of enclosing
// quotation marks; a title that held them changes on its way through the
// file, as it always has.
QString readBack(const QString &written)
{
    qsizetype begin = 0;
    qsizetype end = written.size();
    while (begin < end && (written[begin] == u' ' || written[begin] == u'\t'))
        ++begin;
    while (end > begin && (written[end - 1] == u' ' || written[end - 1] == u'\t'))
        --end;
    QStringView value = QStringView(written).sliced(begin, end - begin);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.left(ProfileDocument::MaxValueLength).toString();
}

void compareText(const char *name, const QString &first, const QString &second)
{
    if (second != readBack(first))
        fail(name, QStringLiteral("read \"%1\", wrote it, read back \"%2\"").arg(first, second));
}

void compareTexts(const char *name, const std::array<QString, WindowSettings::PageCount> &first,
                  const std::array<QString, WindowSettings::PageCount> &second)
{
    for (int page = 0; page < WindowSettings::PageCount; ++page)
        compareText(name, first[page], second[page]);
}

void compareIntegers(const StoredSettings &first, const StoredSettings &second)
{
#define KEY(name) {#name, &StoredSettings::name}
    const std::pair<const char *, int StoredSettings::*> keys[] = {
        KEY(DisplayNP), KEY(DisplayAlarm), KEY(DisplayHint), KEY(Note),      KEY(Pass),
        KEY(Pos),       KEY(Adjust),       KEY(Transparent), KEY(Palette),   KEY(Color1),
        KEY(Color2),    KEY(Color3),       KEY(ColWidth1),   KEY(ColWidth2), KEY(ColWidth3),
        KEY(ColPos1),   KEY(ColPos2),      KEY(RollEffect),
    };
#undef KEY
    for (const auto &[name, field] : keys) {
        if (first.*field != second.*field)
            fail(name, QStringLiteral("read %1, wrote it, read back %2").arg(first.*field).arg(second.*field));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ProfileDocument document =
        ProfileDocument::fromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const StoredSettings first = readSettings(document);
    try {
        writeSettings(document, first);
    } catch (const KladdoError &error) {
        fail("settings read from the file could not be written back", error.message());
    }
    const StoredSettings second = readSettings(ProfileDocument::fromBytes(document.toBytes()));
    compareIntegers(first, second);
    compareText("Language", first.Language, second.Language);
    compareTexts("a note title", first.NoteTitle, second.NoteTitle);
    compareTexts("a password title", first.PassTitle, second.PassTitle);
    compareTexts("an alarm", first.AlarmText, second.AlarmText);
    return 0;
}
