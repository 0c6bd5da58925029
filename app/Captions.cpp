#include "app/Captions.h"

namespace Captions {

QString pageCaption(int page, const QString &title)
{
    return QStringLiteral(" %1 %2").arg(page).arg(title);
}

QString alarmCaption(const QString &alarmText)
{
    return alarmText + u' ';
}

QString positionText(int line, int column)
{
    return QStringLiteral("%1:%2").arg(line + 1, 3).arg(column + 1, 3);
}

} // namespace Captions
