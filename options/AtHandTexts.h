#pragma once

#include "platform/GlobalKey.h"
#include "platform/LoginStart.h"

#include <QString>

// What the window and the options dialog say of the global key and of the
// start at login, in German (1) or English (2).
namespace AtHandTexts {

// Beside the key field: what became of the key.
QString keyStateText(GlobalKey::State state, int languageIndex);
// Told once at start when another program holds the key.
QString keyTakenText(const QString &key, int languageIndex);
// Under the check box: an entry that starts something else; empty when it
// starts this program or there is none.
QString loginEntryText(const LoginStart::Found &found, int languageIndex);
QString loginEntryFailedText(bool adding, const QString &location, const QString &reason, int languageIndex);

} // namespace AtHandTexts
