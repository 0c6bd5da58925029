// The alarm area, the bell and the minute tick.
#include "app/TForm1.h"

#include "alarms/Alarm.h"
#include "alarms/MonthCalendar.h"
#include "app/Captions.h"
#include "app/Environment.h"
#include "app/WindowFrame.h"
#include "controls/ControlAccessibility.h"
#include "notes/NoteEditor.h"
#include "options/LanguageTables.h"
#include "platform/KladdoError.h"
#include "resources/Bitmaps.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

// Runs step; a failure is kept in failures rather than ending what follows.
bool attempt(QStringList &failures, const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const KladdoError &error) {
        failures.append(error.message());
    } catch (const std::exception &error) {
        failures.append(QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace

void TForm1::createAlarmArea()
{
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    ControlAccessibility::describe(Image2, ControlAccessibility::Role::Picture);
    Image2->hide();

    OvcCalendar1 = new MonthCalendar(this);
    OvcCalendar1->setObjectName(QStringLiteral("OvcCalendar1"));
    OvcCalendar1->setToday([this] { return m_environment.now().date(); });
    OvcCalendar1->setSelectedDate(m_environment.now().date());

    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setFont(QFont(QStringLiteral("Arial"), 10, QFont::Bold));
    MaskEdit1->setFrame(false);
    // The first hour digit may be left out, the other three are needed
    // (Qt's 0 is the optional digit, 9 the required one).
    MaskEdit1->setInputMask(QStringLiteral("09:99;_"));
    MaskEdit1->setText(QStringLiteral("00:00"));
    MaskEdit1->setContextMenuPolicy(Qt::NoContextMenu);

    // One shot per minute, armed for the next minute of the wall clock at
    // every tick: a repeating timer drifts, and could skip or repeat one.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TForm1::tickWhenIdle);
}

void TForm1::startAlarmTimer()
{
    const QDateTime now = m_environment.now();
    MaskEdit1->setText(Alarm::fieldTextFor(now));
    m_alarmSound = dataPath(QStringLiteral("note.wav"));
    m_alarmWatch = AlarmWatch(now);
    Timer1->start(AlarmWatch::millisecondsToNextMinute(now));
}

void TForm1::AlarmOk()
{
    const Alarm::State state = m_settings.DisplayNP == 0 ? Alarm::stateOf(m_settings.AlarmText[m_settings.Note], m_environment.now())
                                              : Alarm::State::None;
    Image2->setVisible(state != Alarm::State::None);
    if (state == Alarm::State::None)
        return;
    Image2->setPixmap(Bitmaps::pixmapFor(
        Bitmaps::bitmap(state == Alarm::State::Pending ? QStringLiteral("C1") : QStringLiteral("C2")),
        devicePixelRatio()));
    Image2->setAccessibleName(LanguageTables::bellName(state == Alarm::State::Pending,
                                                       Alarm::shownText(m_settings.AlarmText[m_settings.Note]), LanguageIndex));
}

// Times that do not exist are refused, so that every stored alarm can be
// read back; the hour is stored with two digits.
void TForm1::FarbButton12Click()
{
    const std::optional<QTime> time = Alarm::timeFromField(MaskEdit1->text());
    if (!time)
        throw KladdoError(LanguageTables::noSuchTimeText(MaskEdit1->text(), LanguageIndex));
    storeAlarm(Alarm::textFor(OvcCalendar1->selectedDate(), *time));
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
    MaskEdit1->setModified(false);
    m_alarmWatch.forget(m_settings.Note);
    AlarmOk();
    showNoteCaptions();
    RichEdit1->setFocus();
}

// A tick that comes while a handler runs (a roll, a message box, a dialog)
// waits until it has ended.
void TForm1::tickWhenIdle()
{
    if (m_guardDepth > 0) {
        m_tickPending = true;
        return;
    }
    runGuarded([this] { Timer1Timer(); });
}

// Each alarm that fell due since the last tick sounds; what failed on the
// way is told once all have sounded.
void TForm1::Timer1Timer()
{
    const QDateTime now = m_environment.now();
    Timer1->start(AlarmWatch::millisecondsToNextMinute(now));
    refreshTimeField(now);
    QStringList failures;
    for (int page : m_alarmWatch.dueAt(now, m_settings.AlarmText))
        soundAlarm(page, failures);
    failures.removeDuplicates();
    if (!failures.isEmpty())
        throw KladdoError(failures.join(u'\n'));
}

// What the user is typing is left alone.
void TForm1::refreshTimeField(const QDateTime &now)
{
    if (!MaskEdit1->hasFocus() && !MaskEdit1->isModified())
        MaskEdit1->setText(Alarm::fieldTextFor(now));
}

// A page that cannot be saved stays shown, but the window still comes out
// and the sound still plays.
void TForm1::soundAlarm(int page, QStringList &failures)
{
    const bool loaded = attempt(failures, [&] {
        SpeichernOk();
        RichEditOk(page);
        RichEditFontBitOk();
    });
    ApplyWindowShape();
    bringIntoView();
    UpdateHandleHints();
    KeepOnTop();
    m_environment.playSound(m_alarmSound);
    if (loaded && m_settings.DisplayNP != 0)
        attempt(failures, [&] { showView(0); });
}

// Out in full at the screen's right edge when rolled in, or when a
// narrower screen left part of it beyond the edge; a window already in
// view stays where it is.
void TForm1::bringIntoView()
{
    const int left = screenWidth() - WindowFrame::RolledOutOffset;
    if (x() > left)
        move(left, y());
}
