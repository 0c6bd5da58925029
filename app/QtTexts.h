#pragma once

// Qt's own texts (the message boxes' buttons, the colour picker) follow the
// program's language where the system has Qt's German translation; without
// it they stay English.
namespace QtTexts {

// Installs or removes Qt's German texts for the language index (1 German,
// 2 English). Dialogs made afterwards show them.
void follow(int languageIndex);

} // namespace QtTexts
