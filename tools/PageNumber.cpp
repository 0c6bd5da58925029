#include "tools/PageNumber.h"

std::optional<int> parsePageNumber(QStringView text)
{
    if (text.size() != 1 || text[0] < u'0' || text[0] > u'9')
        return std::nullopt;
    return text[0].unicode() - u'0';
}

std::optional<int> pageArgument(const QString &text, CommandIo io)
{
    const std::optional<int> page = parsePageNumber(text);
    if (!page)
        io.err << "kladdo-data: PAGE must be one digit 0-9, not '" << text << "'\n";
    return page;
}
