#pragma once

#include <QString>

// The language of the program's own texts, as the main window holds it:
// 1 German, 2 English. It lives at the bottom so that every layer can
// compose its messages in either language.
namespace Languages {

constexpr int German = 1;
constexpr int English = 2;

// One text in both languages.
struct TextPair
{
    const char16_t *german;
    const char16_t *english;

    // Any index other than German gives English.
    QString in(int languageIndex) const
    {
        return QString::fromUtf16(languageIndex == German ? german : english);
    }
};

} // namespace Languages
