#pragma once

#include <QString>

// The built-in German and English texts. The language index is 1 for
// German and 2 for English, as the main window holds it.
namespace LanguageTables {

constexpr int German = 1;
constexpr int English = 2;

// "Deutsch" selects German; every other value, however written, English.
int languageIndexFor(const QString &language);

} // namespace LanguageTables

// Hint texts that change with the state of a toggle or of the window.
enum class StateHintKey {
    HintShowNotes,
    HintShowPasswords,
    HintHideAlarm,
    HintShowAlarm,
    HintRightHide,
    HintRightShow,
    HintLeftMove,
    HintUnmask,
    HintMask,
};

// The hint for key in the language of languageIndex (1 German, 2 English;
// any other index gives English).
QString StateHint(int languageIndex, StateHintKey key);
