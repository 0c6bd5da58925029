#pragma once

#include "alarms/Alarm.h"
#include "alarms/AlarmWatch.h"
#include "options/ColorSchemes.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <span>

class Environment;
class MonthCalendar;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

// The alarm area's controls (the calendar OvcCalendar1, the time field
// MaskEdit1), the bell Image2 and the minute tick Timer1, all children of
// the window; the window decides what an alarm does.
class AlarmArea
{
public:
    AlarmArea(QWidget &window, Environment &environment);

    // ticked runs at the start of every minute of the wall clock from now
    // on; alarms of this minute and before have passed unheard.
    void startTicking(const std::function<void()> &ticked);
    // At a tick: arms the next one and shows the time unless the user is
    // typing one; the pages whose alarm sounds now.
    QList<int> tick(std::span<const QString> alarms);
    // The page's alarm was set anew: it may sound again.
    void forget(int page) { m_watch.forget(page); }

    // The alarm the calendar and the time field name; throws KladdoError,
    // in the language of languageIndex, for a time that does not exist.
    QString chosenAlarm(int languageIndex) const;
    // Set or cleared, the typing is done: the field follows the clock again.
    void typingDone();

    // The bell of alarm, the stored text of the page shown.
    void showBell(const QString &alarm, int languageIndex);
    void hideBell();
    void setLanguage(int languageIndex);
    void setColors(const ColorScheme &scheme);

private:
    void refreshTimeField(const QDateTime &now);

    Environment &m_environment;
    QLabel *Image2 = nullptr;
    MonthCalendar *OvcCalendar1 = nullptr;
    QLineEdit *MaskEdit1 = nullptr;
    QTimer *Timer1 = nullptr;
    AlarmWatch m_watch;
};
