#include "notes/PlainText.h"

#include "platform/Cp1252.h"

#include <QStringDecoder>

namespace PlainText {

QString decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8); // drops a byte order mark
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = Cp1252::toUnicode(bytes);
    text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Control characters cannot be shown or saved as rich text, and the
    // document keeps U+FDD0/U+FDD1 for its own frame marks.
    text.removeIf([](QChar c) { return c < u'\x20' && c != u'\t' && c != u'\n'; });
    text.replace(QChar(0xFDD0), QChar::ReplacementCharacter);
    text.replace(QChar(0xFDD1), QChar::ReplacementCharacter);
    return text;
}

} // namespace PlainText
