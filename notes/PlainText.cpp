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
    return text;
}

} // namespace PlainText
