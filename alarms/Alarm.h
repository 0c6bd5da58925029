#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

// A note page's alarm as note.ini stores it: empty for none, or the 18
// characters "dd.mm.yyyy   hh:mm". Alarms are compared by their wall-clock
// date and minute, free of any time zone, so that a jump of the clock or a
// daylight-saving change moves nothing.
namespace Alarm {

// A minute of the wall clock: the day's Julian day number times 1440 plus
// the minute of the day.
using Minute = qint64;

Minute minuteOf(QDate date, QTime time);
// The wall-clock minute now shows, in its own time zone.
Minute minuteOf(const QDateTime &now);

enum class State { None, Pending, Expired };

// The stored form of an alarm at date and the hour and minute of time.
QString textFor(QDate date, QTime time);

// The minute an alarm text names; nothing for an empty text or one that
// names no existing date and time (a hand-edited file, "25:99"). An hour
// with a blank for its first digit, as older versions stored it, reads as
// that hour.
std::optional<Minute> parse(const QString &text);

// The text as the caption shows it: an unreadable alarm shows as none.
QString shownText(const QString &text);

// Pending while the alarm's minute lies ahead of now, expired from it on.
State stateOf(const QString &text, const QDateTime &now);

// The time the time field holds, "hh:mm" with the first hour digit
// optional; nothing when a place is empty or the time does not exist.
std::optional<QTime> timeFromField(const QString &fieldText);

// The time field's text for now: hour and minute, two digits each.
QString fieldTextFor(const QDateTime &now);

} // namespace Alarm
