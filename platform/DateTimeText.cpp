#include "platform/DateTimeText.h"

#include <QLocale>

namespace DateTimeText {
namespace {

QString &shortDate()
{
    static QString format = QStringLiteral("dd.MM.yyyy");
    return format;
}

QString &longTime()
{
    static QString format = QStringLiteral("HH:mm:ss");
    return format;
}

} // namespace

void setShortDateFormat(const QString &format)
{
    shortDate() = format;
}

void setLongTimeFormat(const QString &format)
{
    longTime() = format;
}

QString shortDateFormat()
{
    return shortDate();
}

QString longTimeFormat()
{
    return longTime();
}

// The C locale, so that month and day names never follow the user's language.
QString dateToText(QDate date)
{
    return QLocale::c().toString(date, shortDate());
}

QString timeToText(QTime time)
{
    return QLocale::c().toString(time, longTime());
}

} // namespace DateTimeText
