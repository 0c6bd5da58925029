#include "notes/CodePages.h"

#include <QStringDecoder>

// Qt's conversion, which on Linux is ICU's: it knows every Windows code
// page by the name "windows-N".
namespace CodePages::System {

std::optional<QString> decode(int codePage, QByteArrayView bytes)
{
    QStringDecoder decoder(QByteArray("windows-" + QByteArray::number(codePage)).constData(),
                           QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    return decoder.decode(bytes);
}

int ansiCodePage()
{
    return 1252; // Linux has no ANSI code page; the data files are in Windows-1252
}

} // namespace CodePages::System
