#pragma once

#include <QString>

class QMimeData;

// A password on the clipboard, marked for clipboard managers as secret so
// that they keep no history of it.
namespace PasswordClipboard {

// Plain text; with secret set, also the marker. The caller owns the result.
QMimeData *mimeData(const QString &text, bool secret);

// data is the secret text put there by mimeData, still unchanged.
bool holdsSecret(const QMimeData *data, const QString &text);

} // namespace PasswordClipboard
