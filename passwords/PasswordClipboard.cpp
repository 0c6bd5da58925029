#include "passwords/PasswordClipboard.h"

#include <QMimeData>

namespace {

// The entry clipboard managers look for.
const QString kSecretHint = QStringLiteral("x-kde-passwordManagerHint");

} // namespace

namespace PasswordClipboard {

QMimeData *mimeData(const QString &text, bool secret)
{
    auto *data = new QMimeData;
    data->setText(text);
    if (secret)
        data->setData(kSecretHint, QByteArrayLiteral("secret"));
    return data;
}

bool holdsSecret(const QMimeData *data, const QString &text)
{
    return data && data->data(kSecretHint) == "secret" && data->text() == text;
}

} // namespace PasswordClipboard
