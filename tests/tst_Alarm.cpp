#include "alarms/Alarm.h"
#include "alarms/AlarmWatch.h"
#include "alarms/MonthCalendar.h"
#include "controls/FarbButton.h"

#include <QTest>
#include <QTimeZone>

using Alarm::State;

namespace {

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute, second));
}

} // namespace

class TestAlarm : public QObject
{
    Q_OBJECT

private slots:
    void textForm()
    {
        const QString text = Alarm::textFor(QDate(2026, 3, 7), QTime(9, 5));
        QCOMPARE(text, "07.03.2026   09:05");
        QCOMPARE(text.size(), 18);
        QCOMPARE(Alarm::parse(text).value_or(-1), Alarm::minuteOf(QDate(2026, 3, 7), QTime(9, 5)));
        // An hour stored with a blank for its first digit means that hour.
        QCOMPARE(Alarm::parse("07.03.2026    9:05").value_or(-1), Alarm::parse(text).value_or(-2));
        for (const char *unreadable : {"", "07.03.2026   25:99", "31.02.2026   10:00", "07.03.2026   09:60",
                                       "07.03.2026  09:05", "7.3.2026   09:05", "07.03.2026   09:05 ", "07.03.2026   9:5"}) {
            QVERIFY2(!Alarm::parse(unreadable), unreadable);
            QCOMPARE(Alarm::stateOf(unreadable, at(7, 9, 0)), State::None);
            QCOMPARE(Alarm::shownText(unreadable), "");
        }
        QCOMPARE(Alarm::fieldTextFor(at(7, 9, 5, 59)), "09:05");
    }

    void states()
    {
        const struct { QDateTime now; State state; } cases[] = {
            {at(6, 23, 59), State::Pending}, {at(7, 9, 4, 59), State::Pending},
            {at(7, 9, 5, 0), State::Expired}, {at(8, 8, 0), State::Expired},
        };
        for (const auto &c : cases)
            QCOMPARE(Alarm::stateOf("07.03.2026   09:05", c.now), c.state);
    }

    void timeField()
    {
        const struct { const char *text; QTime time; } cases[] = {
            {" 9:05", QTime(9, 5)}, {"23:59", QTime(23, 59)}, {"24:00", {}}, {"12:60", {}}, {"12:5", {}}};
        for (const auto &c : cases)
            QCOMPARE(Alarm::timeFromField(c.text).value_or(QTime()), c.time);
    }

    // One run of ticks: the pages each tick sounds. The watch starts at
    // 12:00:30 on 7 March with the alarms below.
    void catchUp_data()
    {
        QTest::addColumn<QList<QDateTime>>("ticks");
        QTest::addColumn<QList<QList<int>>>("sounded");
        const QList<int> none;
        QTest::newRow("each at its minute, in page order")
            << QList{at(7, 12, 1), at(7, 12, 2), at(7, 12, 3)} << QList<QList<int>>{{1, 2}, {3}, none};
        QTest::newRow("asleep for two hours")
            << QList{at(7, 14, 0, 41), at(7, 14, 1)} << QList<QList<int>>{{1, 2, 3, 4}, none};
        QTest::newRow("clock back an hour: only the unheard alarm")
            << QList{at(7, 12, 2), at(7, 11, 2), at(7, 12, 1), at(7, 12, 3)} << QList<QList<int>>{{1, 2, 3}, none, {0}, none};
        QTest::newRow("late tick, early tick")
            << QList{at(7, 12, 1, 3), at(7, 12, 1, 59), at(7, 12, 2)} << QList<QList<int>>{{1, 2}, none, {3}};
    }
    void catchUp()
    {
        QFETCH(QList<QDateTime>, ticks);
        QFETCH(QList<QList<int>>, sounded);
        // Page 0: the start's minute; 5: before the start; 6: unreadable.
        const QString alarms[] = {"07.03.2026   12:00", "07.03.2026   12:01", "07.03.2026   12:01",
                                  "07.03.2026   12:02", "07.03.2026   13:30", "06.03.2026   18:00",
                                  "07.03.2026   12:61", ""};
        AlarmWatch watch(at(7, 12, 0, 30));
        for (qsizetype i = 0; i < ticks.size(); ++i)
            QCOMPARE(watch.dueAt(ticks[i], alarms), sounded[i]);
    }

    // The clock goes back past an alarm that sounded: it stays silent,
    // unless the user sets it anew.
    void clockBackAndTheSameAlarmSetAgain()
    {
        const QString alarms[] = {"07.03.2026   12:01"};
        AlarmWatch watch(at(7, 12, 0));
        QCOMPARE(watch.dueAt(at(7, 12, 1), alarms), QList{0});
        QCOMPARE(watch.dueAt(at(7, 11, 59), alarms) + watch.dueAt(at(7, 12, 1), alarms), QList<int>());
        watch.dueAt(at(7, 11, 30), alarms);
        watch.forget(0);
        QCOMPARE(watch.dueAt(at(7, 12, 1), alarms), QList{0});
    }

    // Wall-clock minutes in a fixed zone: a minute skipped by the change to
    // summer time is caught up, a repeated hour in autumn sounds once.
    void daylightSaving()
    {
        const QTimeZone berlin("Europe/Berlin");
        QVERIFY(berlin.isValid());
        const QString alarms[] = {"29.03.2026   02:30", "25.10.2026   02:30"};
        const auto ticksFrom = [&](QDate day, QTime time, int count) {
            AlarmWatch watch(QDateTime(day, time, berlin));
            QList<int> sounded;
            QDateTime now = QDateTime(day, time, berlin);
            for (int i = 0; i < count; ++i) {
                now = now.addSecs(60);
                sounded += watch.dueAt(now, alarms);
            }
            return sounded;
        };
        QCOMPARE(ticksFrom(QDate(2026, 3, 29), QTime(1, 50), 20), QList{0});
        QCOMPARE(ticksFrom(QDate(2026, 10, 25), QTime(2, 0), 150), QList{1});
    }

    void calendarNavigation()
    {
        MonthCalendar calendar;
        calendar.resize(200, 145);
        calendar.setToday([] { return QDate(2026, 12, 24); });
        calendar.setSelectedDate(QDate(2026, 1, 31));
        const auto click = [&](MonthCalendar::Navigation which) {
            QTest::mouseClick(calendar.navigationButton(which), Qt::LeftButton, {}, QPoint(9, 9));
            return calendar.selectedDate();
        };
        using N = MonthCalendar::Navigation;
        QCOMPARE(click(N::MonthForward), QDate(2026, 2, 28));
        QCOMPARE(click(N::YearBack), QDate(2025, 2, 28));
        QCOMPARE(click(N::Today), QDate(2026, 12, 24));
        const struct { int key; Qt::KeyboardModifiers modifiers; QDate date; } keys[] = {
            {Qt::Key_Right, {}, QDate(2026, 12, 25)},        {Qt::Key_Down, {}, QDate(2027, 1, 1)},
            {Qt::Key_PageUp, {}, QDate(2026, 12, 1)},        {Qt::Key_End, {}, QDate(2026, 12, 31)},
            {Qt::Key_PageDown, Qt::ControlModifier, QDate(2027, 12, 31)},
        };
        for (const auto &k : keys) {
            QTest::keyClick(&calendar, Qt::Key(k.key), k.modifiers);
            QCOMPARE(calendar.selectedDate(), k.date);
        }
        QTest::mouseClick(&calendar, Qt::LeftButton, {}, QPoint(2 + 14, 1 + 20 + 17 + 8));
        QCOMPARE(calendar.selectedDate(), QDate(2027, 11, 29));
        // Four-digit years only, so that an alarm keeps its 18 characters.
        calendar.setSelectedDate(QDate(9999, 12, 1));
        QCOMPARE(click(N::YearForward), QDate(9999, 12, 31));
        calendar.setSelectedDate(QDate(999, 5, 5));
        QCOMPARE(calendar.selectedDate(), QDate(1000, 1, 1));
    }
};

QTEST_MAIN(TestAlarm)
#include "tst_Alarm.moc"
