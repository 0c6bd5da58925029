#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The process-wide forms in which dates and times are written as text.
// The program fixes them at start-up, whatever the user's regional
// settings are, because stored alarms are compared as text.
namespace DateTimeText {

void setShortDateFormat(const QString &format);
void setLongTimeFormat(const QString &format);
QString shortDateFormat();
QString longTimeFormat();

QString dateToText(QDate date);
QString timeToText(QTime time);

} // namespace DateTimeText
