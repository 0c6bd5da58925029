#include "alarms/Alarm.h"

#include <QLocale>
#include <QRegularExpression>

namespace Alarm {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

} // namespace

Minute minuteOf(QDate date, QTime time)
{
    return date.toJulianDay() * kMinutesPerDay + time.hour() * 60 + time.minute();
}

Minute minuteOf(const QDateTime &now)
{
    return minuteOf(now.date(), now.time());
}

// The C locale: the stored form never follows the user's regional
// settings.
QString textFor(QDate date, QTime time)
{
    const QLocale c = QLocale::c();
    return c.toString(date, u"dd.MM.yyyy") + QStringLiteral("   ") + c.toString(time, u"HH:mm");
}

std::optional<Minute> parse(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d\\d)\\.(\\d\\d)\\.(\\d{4})   ([ \\d]\\d):(\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
    const int hour = match.captured(4).trimmed().toInt();
    const int minute = match.captured(5).toInt();
    if (!date.isValid() || !QTime::isValid(hour, minute, 0))
        return std::nullopt;
    return minuteOf(date, QTime(hour, minute));
}

QString shownText(const QString &text)
{
    return parse(text) ? text : QString();
}

State stateOf(const QString &text, const QDateTime &now)
{
    const std::optional<Minute> alarm = parse(text);
    if (!alarm)
        return State::None;
    return *alarm > minuteOf(now) ? State::Pending : State::Expired;
}

std::optional<QTime> timeFromField(const QString &fieldText)
{
    static const QRegularExpression form(QStringLiteral("^[ _]?(\\d{1,2}):(\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(fieldText);
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt());
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

QString fieldTextFor(const QDateTime &now)
{
    return QLocale::c().toString(now.time(), u"HH:mm");
}

} // namespace Alarm
