#include "notes/CodePages.h"

#include <windows.h>

namespace CodePages::System {

std::optional<QString> decode(int codePage, QByteArrayView bytes)
{
    const auto code = UINT(codePage);
    if (!IsValidCodePage(code))
        return std::nullopt;
    if (bytes.isEmpty())
        return QString();
    const int size = MultiByteToWideChar(code, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0)
        return QString(QChar::ReplacementCharacter);
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(code, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                        reinterpret_cast<wchar_t *>(text.data()), size);
    return text;
}

int ansiCodePage()
{
    return int(GetACP());
}

} // namespace CodePages::System
