#pragma once

#include "options/LanguageTables.h"

#include <QStringList>

class QWidget;

// Puts the language tables' texts on the controls that exist, found by
// object name, so a control picks up its texts just by being created with
// the right name.
namespace ControlTexts {

// Sets the hint of every named control below or at root. A hint's lines
// are kept apart by a carriage return, as the tables hold them.
void applyHints(QWidget *root, std::span<const LanguageTables::ControlText> texts,
                int languageIndex);

// Sets what each named control shows as its caption: a window's title, a
// group's title, a tab's text, or the text of a button, label or check box.
void applyCaptions(QWidget *root, std::span<const LanguageTables::ControlText> texts,
                   int languageIndex);

// The names in texts that no control below or at root carries.
QStringList missingControls(const QWidget *root, std::span<const LanguageTables::ControlText> texts);

} // namespace ControlTexts
