#pragma once

#include "controls/WinColor.h"

#include <QDate>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class TFarbButton;

// A month calendar in which a date is picked: a band at its head shows the
// month and year between colour buttons that go a year or a month back or
// forward and one that goes to today; below it the day names and six
// weeks from Monday. Days of the neighbouring months are grey, weekends
// maroon, the selected day red. The mouse, the arrow keys and Page Up and
// Page Down (with Ctrl a year) move the selection, which always stays
// within the years 1000-9999.
class MonthCalendar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int HeadHeight = 20;
    static constexpr int WeekCount = 6;

    enum class Navigation { YearBack, MonthBack, Today, MonthForward, YearForward };

    explicit MonthCalendar(QWidget *parent = nullptr);

    QDate selectedDate() const { return m_selected; }
    // A date outside the years 1000-9999 is moved to the nearest day
    // within them.
    void setSelectedDate(QDate date);

    // Where the today button takes its date; the system clock until set.
    void setToday(std::function<QDate()> today);

    // Twelve month names from January and seven day names from Monday;
    // the day names are cut to three characters.
    void setNames(const QStringList &monthNames, const QStringList &dayNames);
    // What the navigation buttons are called for screen readers, in the
    // order of Navigation.
    void setNavigationNames(const QStringList &names);

    // The day area, the band at the head and the navigation buttons.
    void setColors(TColor days, TColor head, TColor buttons);

    TFarbButton *navigationButton(Navigation which) const;

    // The first day the weeks show: the Monday on or before the 1st of
    // the month that holds date.
    static QDate firstShownDay(QDate date);

    // The date shown at pos, if pos lies on a day.
    std::optional<QDate> dateAt(QPoint pos) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createNavigation();
    void navigate(Navigation which);
    QRect cellRect(int row, int column) const;
    QRect titleRect() const;
    void paintHead(QPainter &painter) const;
    void paintDays(QPainter &painter) const;

    QDate m_selected;
    std::function<QDate()> m_today;
    QStringList m_monthNames;
    QStringList m_dayNames;
    TColor m_dayColor;
    TColor m_headColor;
    std::array<TFarbButton *, 5> m_buttons{};
};
