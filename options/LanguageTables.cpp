#include "options/LanguageTables.h"

#include <array>

namespace {

struct HintText
{
    const char16_t *german;
    const char16_t *english;
};

// In the order of StateHintKey.
constexpr std::array<HintText, 9> kStateHints = {{
    {u"Notizen anzeigen", u"show notes"},
    {u"Passwörter anzeigen", u"show passwords"},
    {u"Alarm verbergen", u"hide alarm"},
    {u"Alarm anzeigen", u"show alarm"},
    {u"mit rechts Click verbergen", u"click right to hide"},
    {u"mit rechts Click anzeigen", u"click right to show"},
    {u"mit links Click verschieben", u"click left to adjust"},
    {u"Passwörter anzeigen", u"show passwords"},
    {u"Passwörter verbergen", u"hide passwords"},
}};

} // namespace

int LanguageTables::languageIndexFor(const QString &language)
{
    return language == u"Deutsch" ? German : English;
}

QString StateHint(int languageIndex, StateHintKey key)
{
    const HintText &text = kStateHints.at(static_cast<std::size_t>(key));
    return QString::fromUtf16(languageIndex == LanguageTables::German ? text.german : text.english);
}
