// The alarm area, the bell and the minute tick.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "platform/KladdoError.h"

void TForm1::startAlarmTimer()
{
    m_alarms->startTicking([this] { tickWhenIdle(); });
}

void TForm1::AlarmOk()
{
    if (m_settings.DisplayNP == 0)
        m_alarms->showBell(m_settings.AlarmText[m_settings.Note], LanguageIndex);
    else
        m_alarms->hideBell();
}

void TForm1::FarbButton12Click()
{
    storeAlarm(m_alarms->chosenAlarm(LanguageIndex));
}

void TForm1::FarbButton13Click()
{
    storeAlarm(QString());
}

// Stored first: an alarm note.ini does not hold is not shown either. Set or
// cleared, the typing is done and the time field follows the clock again.
void TForm1::storeAlarm(const QString &text)
{
    settingsFile().writeString(SettingsKeys::Alarm, SettingsKeys::alarmKey(m_settings.Note), text);
    m_settings.AlarmText[m_settings.Note] = text;
    m_alarms->typingDone();
    m_alarms->forget(m_settings.Note);
    AlarmOk();
    showNoteCaptions(m_settings);
    RichEdit1->setFocus();
}

// Titles and alarms set on another computer show as soon as they come, and
// its alarms ring here too.
void TForm1::followSettings()
{
    if (!m_sharedSettings.follow(m_settings))
        return;
    showCaptions(m_settings);
    AlarmOk();
}

// A tick that comes while a handler runs (a roll, a message box, a dialog)
// waits until it has ended.
void TForm1::tickWhenIdle()
{
    m_guard.runOutside([this] { runGuarded([this] { Timer1Timer(); }); });
}

// Each alarm that fell due since the last tick sounds; what failed on the
// way is told once all have sounded.
void TForm1::Timer1Timer()
{
    // Where the system's watch may have missed a change, the tick sees it.
    followFolder();
    QStringList failures;
    for (int page : m_alarms->tick(m_settings.AlarmText))
        soundAlarm(page, failures);
    failures.removeDuplicates();
    if (!failures.isEmpty())
        throw KladdoError(failures.join(u'\n'));
}

// A page that cannot be saved stays shown, but the window still comes out
// and the sound still plays.
void TForm1::soundAlarm(int page, QStringList &failures)
{
    const bool loaded = HandlerGuard::collect(failures, [&] {
        SpeichernOk();
        RichEditOk(page);
        RichEditFontBitOk();
    });
    ApplyWindowShape();
    m_place.bringIntoView();
    UpdateHandleHints();
    KeepOnTop();
    m_environment.playSound(dataPath(QStringLiteral("note.wav")));
    if (loaded && m_settings.DisplayNP != 0)
        HandlerGuard::collect(failures, [&] { switchView(0); });
}
