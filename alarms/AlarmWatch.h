#pragma once

#include "alarms/Alarm.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <span>
#include <vector>

// Decides which alarms a minute tick sounds. Each tick sounds every alarm
// whose minute lies after the last minute checked and at or before now,
// so a minute that passed unseen (the machine asleep, the clock or a
// daylight-saving change jumping forward) is caught up. A clock set back
// checks its minutes again, but an alarm that has sounded once does not
// sound again.
class AlarmWatch
{
public:
    // Alarms of the start's minute and before it have passed unheard.
    explicit AlarmWatch(const QDateTime &start = {});

    // The pages, ascending, whose alarm sounds now; alarms holds one text
    // per page. Remembers them as sounded.
    QList<int> dueAt(const QDateTime &now, std::span<const QString> alarms);

    // The page's alarm was set anew: it may sound, even if the same text
    // sounded before.
    void forget(int page);

    // The wait from now until the next minute of the wall clock begins.
    static int millisecondsToNextMinute(const QDateTime &now);

private:
    Alarm::Minute m_lastChecked;
    // Per page, the alarm that sounded last.
    std::vector<QString> m_sounded;
};
