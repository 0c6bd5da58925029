#include "app/AlarmArea.h"

#include "alarms/MonthCalendar.h"
#include "app/Environment.h"
#include "controls/ControlAccessibility.h"
#include "controls/WinColor.h"
#include "options/LanguageTables.h"
#include "platform/KladdoError.h"
#include "resources/Bitmaps.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

AlarmArea::AlarmArea(QWidget &window, Environment &environment) : m_environment(environment)
{
    Image2 = new QLabel(&window);
    Image2->setObjectName(QStringLiteral("Image2"));
    ControlAccessibility::describe(Image2, ControlAccessibility::Role::Picture);
    Image2->hide();

    OvcCalendar1 = new MonthCalendar(&window);
    OvcCalendar1->setObjectName(QStringLiteral("OvcCalendar1"));
    OvcCalendar1->setToday([this] { return m_environment.now().date(); });
    OvcCalendar1->setSelectedDate(m_environment.now().date());

    MaskEdit1 = new QLineEdit(&window);
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
    Timer1 = new QTimer(&window);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
}

void AlarmArea::startTicking(const std::function<void()> &ticked)
{
    const QDateTime now = m_environment.now();
    MaskEdit1->setText(Alarm::fieldTextFor(now));
    m_watch = AlarmWatch(now);
    QObject::connect(Timer1, &QTimer::timeout, Timer1, ticked);
    Timer1->start(AlarmWatch::millisecondsToNextMinute(now));
}

QList<int> AlarmArea::tick(std::span<const QString> alarms)
{
    const QDateTime now = m_environment.now();
    Timer1->start(AlarmWatch::millisecondsToNextMinute(now));
    refreshTimeField(now);
    return m_watch.dueAt(now, alarms);
}

// What the user is typing is left alone.
void AlarmArea::refreshTimeField(const QDateTime &now)
{
    if (!MaskEdit1->hasFocus() && !MaskEdit1->isModified())
        MaskEdit1->setText(Alarm::fieldTextFor(now));
}

// Times that do not exist are refused, so that every stored alarm can be
// read back; the hour is stored with two digits.
QString AlarmArea::chosenAlarm(int languageIndex) const
{
    const std::optional<QTime> time = Alarm::timeFromField(MaskEdit1->text());
    if (!time)
        throw KladdoError(LanguageTables::noSuchTimeText(MaskEdit1->text(), languageIndex));
    return Alarm::textFor(OvcCalendar1->selectedDate(), *time);
}

void AlarmArea::typingDone()
{
    MaskEdit1->setModified(false);
}

// Pending or expired; nothing for no alarm.
void AlarmArea::showBell(const QString &alarm, int languageIndex)
{
    const Alarm::State state = Alarm::stateOf(alarm, m_environment.now());
    Image2->setVisible(state != Alarm::State::None);
    if (state == Alarm::State::None)
        return;
    const bool pending = state == Alarm::State::Pending;
    Image2->setPixmap(Bitmaps::pixmapFor(Bitmaps::bitmap(pending ? QStringLiteral("C1") : QStringLiteral("C2")),
                                         Image2->devicePixelRatio()));
    Image2->setAccessibleName(LanguageTables::bellName(pending, Alarm::shownText(alarm), languageIndex));
}

void AlarmArea::hideBell()
{
    Image2->hide();
}

void AlarmArea::setLanguage(int languageIndex)
{
    OvcCalendar1->setNames(LanguageTables::monthNames(languageIndex), LanguageTables::dayNames(languageIndex));
    OvcCalendar1->setNavigationNames(LanguageTables::calendarNavigationNames(languageIndex));
}

void AlarmArea::setColors(const ColorScheme &scheme)
{
    OvcCalendar1->setColors(scheme.BackColor, scheme.BarColor, scheme.ButtonColor);
    QPalette palette = MaskEdit1->palette();
    palette.setColor(QPalette::Window, WinColor::toQColor(scheme.BackColor));
    palette.setColor(QPalette::Base, WinColor::toQColor(scheme.BackColor));
    MaskEdit1->setPalette(palette);
}
