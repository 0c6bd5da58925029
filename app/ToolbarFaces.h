#pragma once

#include "options/LanguageTables.h"

#include <QString>

#include <optional>

// The state that the toggle buttons of the toolbar show: each shows the
// view, alarm area or mask that a click leads to.
struct ToggleState
{
    int DisplayNP = 0;
    int DisplayAlarm = 0;
    bool PasswordsHidden = true;
};

// What a colour button of the main window shows besides its colour.
struct ToolbarFace
{
    QString glyph;                        // resource name; empty for none
    std::optional<StateHintKey> stateHint; // only for the toggle buttons
};

// The face of the colour button with that object name; an unknown name
// has neither glyph nor state hint.
ToolbarFace toolbarFace(QStringView buttonName, const ToggleState &state);
