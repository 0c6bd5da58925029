#include "notes/RtfControlWords.h"

#include <array>
#include <string_view>

namespace {

struct Entry
{
    std::string_view name;
    RtfWord word;
};

constexpr Entry kWords[] = {
    {"rtf", RtfWord::Rtf},
    {"ansicpg", RtfWord::Ansicpg},
    {"deff", RtfWord::Deff},
    {"uc", RtfWord::Uc},
    {"u", RtfWord::U},

    {"fonttbl", RtfWord::Fonttbl},
    {"colortbl", RtfWord::Colortbl},
    {"pict", RtfWord::Pict},
    {"shppict", RtfWord::Shppict},
    {"fldrslt", RtfWord::Fldrslt},
    {"listtext", RtfWord::Listtext},
    {"pntext", RtfWord::Pntext},
    {"listtable", RtfWord::Listtable},
    {"list", RtfWord::List},
    {"listlevel", RtfWord::Listlevel},
    {"leveltext", RtfWord::Leveltext},
    {"levelnumbers", RtfWord::Levelnumbers},
    {"listoverridetable", RtfWord::Listoverridetable},
    {"listoverride", RtfWord::Listoverride},
    {"shp", RtfWord::Shp},
    {"shpinst", RtfWord::Shpinst},
    {"shptxt", RtfWord::Shptxt},
    {"shprslt", RtfWord::Shprslt},
    {"do", RtfWord::Do},
    {"dptxbxtext", RtfWord::Dptxbxtext},

    {"levelnfc", RtfWord::Levelnfc},
    {"levelnfcn", RtfWord::Levelnfc},
    {"levelstartat", RtfWord::Levelstartat},
    {"listid", RtfWord::Listid},
    {"ls", RtfWord::Ls},
    {"ilvl", RtfWord::Ilvl},

    // Groups whose content is not part of the text. Groups that begin with
    // \* are skipped without being listed here.
    {"stylesheet", RtfWord::SkippedDestination},
    {"info", RtfWord::SkippedDestination},
    {"header", RtfWord::SkippedDestination},
    {"headerl", RtfWord::SkippedDestination},
    {"headerr", RtfWord::SkippedDestination},
    {"headerf", RtfWord::SkippedDestination},
    {"footer", RtfWord::SkippedDestination},
    {"footerl", RtfWord::SkippedDestination},
    {"footerr", RtfWord::SkippedDestination},
    {"footerf", RtfWord::SkippedDestination},
    {"footnote", RtfWord::SkippedDestination},
    {"annotation", RtfWord::SkippedDestination},
    {"fldinst", RtfWord::SkippedDestination},
    {"nonshppict", RtfWord::SkippedDestination},
    {"pn", RtfWord::SkippedDestination},
    {"xe", RtfWord::SkippedDestination},
    {"tc", RtfWord::SkippedDestination},
    {"txe", RtfWord::SkippedDestination},
    {"rxe", RtfWord::SkippedDestination},
    {"listname", RtfWord::SkippedDestination},
    {"lfolevel", RtfWord::SkippedDestination},
    {"revtbl", RtfWord::SkippedDestination},
    {"rsidtbl", RtfWord::SkippedDestination},
    {"filetbl", RtfWord::SkippedDestination},
    {"private", RtfWord::SkippedDestination},
    {"template", RtfWord::SkippedDestination},
    {"objdata", RtfWord::SkippedDestination},
    {"objclass", RtfWord::SkippedDestination},
    {"objname", RtfWord::SkippedDestination},
    {"datafield", RtfWord::SkippedDestination},
    {"themedata", RtfWord::SkippedDestination},
    {"colorschememapping", RtfWord::SkippedDestination},
    {"latentstyles", RtfWord::SkippedDestination},
    {"mmathPr", RtfWord::SkippedDestination},
    {"pgdsctbl", RtfWord::SkippedDestination},
    {"generator", RtfWord::SkippedDestination},

    {"fcharset", RtfWord::Fcharset},
    {"cpg", RtfWord::Cpg},
    {"red", RtfWord::Red},
    {"green", RtfWord::Green},
    {"blue", RtfWord::Blue},

    {"pngblip", RtfWord::Pngblip},
    {"jpegblip", RtfWord::Jpegblip},
    {"emfblip", RtfWord::OtherPicture},
    {"wmetafile", RtfWord::OtherPicture},
    {"macpict", RtfWord::OtherPicture},
    {"pmmetafile", RtfWord::OtherPicture},
    {"dibitmap", RtfWord::OtherPicture},
    {"wbitmap", RtfWord::OtherPicture},
    {"picw", RtfWord::Picw},
    {"pich", RtfWord::Pich},
    {"picwgoal", RtfWord::Picwgoal},
    {"pichgoal", RtfWord::Pichgoal},
    {"picscalex", RtfWord::Picscalex},
    {"picscaley", RtfWord::Picscaley},
    {"bin", RtfWord::Bin},

    {"plain", RtfWord::Plain},
    {"f", RtfWord::F},
    {"fs", RtfWord::Fs},
    {"cf", RtfWord::Cf},
    {"highlight", RtfWord::Highlight},
    {"cb", RtfWord::Cb},
    {"chcbpat", RtfWord::Cb},
    {"b", RtfWord::B},
    {"i", RtfWord::I},
    {"strike", RtfWord::Strike},
    {"striked", RtfWord::Strike},
    {"v", RtfWord::V},
    {"super", RtfWord::Super},
    {"sub", RtfWord::Sub},
    {"nosupersub", RtfWord::Nosupersub},
    {"up", RtfWord::Up},
    {"dn", RtfWord::Dn},
    {"ul", RtfWord::Ul},
    {"ulw", RtfWord::Ul},
    {"uldb", RtfWord::Ul},
    {"ulth", RtfWord::Ul},
    {"ulnone", RtfWord::Ulnone},
    {"uld", RtfWord::UlDotted},
    {"ulthd", RtfWord::UlDotted},
    {"uldash", RtfWord::UlDash},
    {"ulthdash", RtfWord::UlDash},
    {"ulldash", RtfWord::UlDash},
    {"ulthldash", RtfWord::UlDash},
    {"uldashd", RtfWord::UlDashDot},
    {"ulthdashd", RtfWord::UlDashDot},
    {"uldashdd", RtfWord::UlDashDotDot},
    {"ulthdashdd", RtfWord::UlDashDotDot},
    {"ulwave", RtfWord::UlWave},
    {"ulhwave", RtfWord::UlWave},
    {"ululdbwave", RtfWord::UlWave},

    {"pard", RtfWord::Pard},
    {"ql", RtfWord::Ql},
    {"qc", RtfWord::Qc},
    {"qr", RtfWord::Qr},
    {"qj", RtfWord::Qj},
    {"qd", RtfWord::Qj},
    {"li", RtfWord::Li},
    {"ri", RtfWord::Ri},
    {"fi", RtfWord::Fi},

    {"par", RtfWord::Par},
    {"sect", RtfWord::Par},
    {"page", RtfWord::Par},
    {"line", RtfWord::Line},
    {"tab", RtfWord::Tab},
    {"cell", RtfWord::Cell},
    {"nestcell", RtfWord::Cell},
    {"row", RtfWord::Row},
    {"nestrow", RtfWord::Row},
    {"lquote", RtfWord::Lquote},
    {"rquote", RtfWord::Rquote},
    {"ldblquote", RtfWord::Ldblquote},
    {"rdblquote", RtfWord::Rdblquote},
    {"bullet", RtfWord::Bullet},
    {"endash", RtfWord::Endash},
    {"emdash", RtfWord::Emdash},
    {"enspace", RtfWord::Enspace},
    {"emspace", RtfWord::Emspace},
    {"qmspace", RtfWord::Qmspace},
    {"zwj", RtfWord::Zwj},
    {"zwnj", RtfWord::Zwnj},
};

// An open-addressing table: every control word of the input is looked up,
// so this sits on the reader's hot path.
constexpr size_t kTableSize = 1024; // a power of two, over four times the words

size_t hashOf(std::string_view name)
{
    size_t hash = 2166136261u; // FNV-1a
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

struct Table
{
    std::array<Entry, kTableSize> entries{};

    Table()
    {
        static_assert(std::size(kWords) * 4 < kTableSize);
        for (const Entry &entry : kWords) {
            size_t slot = hashOf(entry.name) & (kTableSize - 1);
            while (!entries[slot].name.empty())
                slot = (slot + 1) & (kTableSize - 1);
            entries[slot] = entry;
        }
    }
};

} // namespace

RtfWord rtfWordFor(QByteArrayView name)
{
    static const Table table;
    const std::string_view key(name.data(), size_t(name.size()));
    for (size_t slot = hashOf(key) & (kTableSize - 1);; slot = (slot + 1) & (kTableSize - 1)) {
        const Entry &entry = table.entries[slot];
        if (entry.name.empty())
            return RtfWord::Unknown;
        if (entry.name == key)
            return entry.word;
    }
}
