#include "alarms/AlarmWatch.h"

AlarmWatch::AlarmWatch(const QDateTime &start)
    : m_lastChecked(start.isValid() ? Alarm::minuteOf(start) : 0)
{
}

QList<int> AlarmWatch::dueAt(const QDateTime &now, std::span<const QString> alarms)
{
    const Alarm::Minute current = Alarm::minuteOf(now);
    // Set back: the minutes from now on come again and are checked again.
    if (current < m_lastChecked)
        m_lastChecked = current - 1;
    if (m_sounded.size() < alarms.size())
        m_sounded.resize(alarms.size());

    QList<int> due;
    for (std::size_t page = 0; page < alarms.size(); ++page) {
        const std::optional<Alarm::Minute> alarm = Alarm::parse(alarms[page]);
        if (alarm && *alarm > m_lastChecked && *alarm <= current && m_sounded[page] != alarms[page]) {
            due.append(int(page));
            m_sounded[page] = alarms[page];
        }
    }
    m_lastChecked = current;
    return due;
}

void AlarmWatch::forget(int page)
{
    if (std::size_t(page) < m_sounded.size())
        m_sounded[std::size_t(page)].clear();
}

int AlarmWatch::millisecondsToNextMinute(const QDateTime &now)
{
    const QTime time = now.time();
    return 60'000 - (time.second() * 1000 + time.msec());
}
