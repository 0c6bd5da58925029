#include "alarms/MonthCalendar.h"

#include "controls/FarbButton.h"
#include "controls/PixelFrame.h"
#include "resources/Bitmaps.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kButton = 18;
constexpr int kDayNameLength = 3;
constexpr int kRows = 1 + MonthCalendar::WeekCount; // day names, then weeks

// Four digits, so that an alarm's date keeps its width.
const QDate kFirstDate(1000, 1, 1);
const QDate kLastDate(9999, 12, 31);

constexpr TColor kGrey = WinColor::rgb(160, 160, 164);
constexpr TColor kMaroon = WinColor::rgb(128, 0, 0);
constexpr TColor kRed = WinColor::rgb(255, 0, 0);
constexpr TColor k3DLight = WinColor::SystemColorFlag | 22;

struct NavigationFace
{
    MonthCalendar::Navigation which;
    const char *glyph;
};
// In their order from left to right; the last three stand at the right.
constexpr NavigationFace kNavigation[] = {
    {MonthCalendar::Navigation::YearBack, "YEARBACK"},
    {MonthCalendar::Navigation::MonthBack, "MONTHBACK"},
    {MonthCalendar::Navigation::Today, "TODAY"},
    {MonthCalendar::Navigation::MonthForward, "MONTHFORWARD"},
    {MonthCalendar::Navigation::YearForward, "YEARFORWARD"},
};

QStringList cLocaleNames(int count, const std::function<QString(int)> &name)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(name(i));
    return names;
}

} // namespace

MonthCalendar::MonthCalendar(QWidget *parent)
    : QWidget(parent), m_selected(QDate::currentDate()), m_today(&QDate::currentDate),
      m_dayColor(k3DLight), m_headColor(WinColor::ButtonFace)
{
    setFocusPolicy(Qt::StrongFocus);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8, QFont::Bold));
    const QLocale c = QLocale::c();
    setNames(cLocaleNames(12, [&](int month) { return c.monthName(month); }),
             cLocaleNames(7, [&](int day) { return c.dayName(day); }));
    createNavigation();
}

void MonthCalendar::createNavigation()
{
    for (const NavigationFace &face : kNavigation) {
        auto *button = new TFarbButton(this);
        button->resize(kButton, kButton);
        button->setGlyph(Bitmaps::bitmap(QLatin1StringView(face.glyph)));
        connect(button, &TFarbButton::clicked, this, [this, which = face.which] { navigate(which); });
        m_buttons[std::size_t(face.which)] = button;
    }
}

void MonthCalendar::setSelectedDate(QDate date)
{
    if (!date.isValid())
        return;
    const QDate kept = std::clamp(date, kFirstDate, kLastDate);
    if (kept == m_selected)
        return;
    m_selected = kept;
    update();
}

void MonthCalendar::setToday(std::function<QDate()> today)
{
    m_today = std::move(today);
}

void MonthCalendar::setNames(const QStringList &monthNames, const QStringList &dayNames)
{
    m_monthNames = monthNames;
    m_dayNames.clear();
    for (const QString &name : dayNames)
        m_dayNames.append(name.left(kDayNameLength));
    update();
}

void MonthCalendar::setNavigationNames(const QStringList &names)
{
    for (qsizetype i = 0; i < names.size() && i < qsizetype(m_buttons.size()); ++i)
        m_buttons[std::size_t(i)]->setAccessibleName(names[i]);
}

// The glyphs are assigned again after the colour: a colour button builds
// its glyph images on its colour.
void MonthCalendar::setColors(TColor days, TColor head, TColor buttons)
{
    m_dayColor = days;
    m_headColor = head;
    for (const NavigationFace &face : kNavigation) {
        TFarbButton *button = m_buttons[std::size_t(face.which)];
        button->setColor(buttons);
        button->setGlyph(Bitmaps::bitmap(QLatin1StringView(face.glyph)));
    }
    update();
}

TFarbButton *MonthCalendar::navigationButton(Navigation which) const
{
    return m_buttons[std::size_t(which)];
}

QDate MonthCalendar::firstShownDay(QDate date)
{
    const QDate first(date.year(), date.month(), 1);
    return first.addDays(1 - first.dayOfWeek());
}

void MonthCalendar::navigate(Navigation which)
{
    switch (which) {
    case Navigation::YearBack:
        setSelectedDate(m_selected.addYears(-1));
        break;
    case Navigation::MonthBack:
        setSelectedDate(m_selected.addMonths(-1));
        break;
    case Navigation::Today:
        setSelectedDate(m_today());
        break;
    case Navigation::MonthForward:
        setSelectedDate(m_selected.addMonths(1));
        break;
    case Navigation::YearForward:
        setSelectedDate(m_selected.addYears(1));
        break;
    }
}

void MonthCalendar::resizeEvent(QResizeEvent *)
{
    const int top = 1 + (HeadHeight - kButton) / 2;
    int left = 2;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (i == std::size_t(Navigation::Today))
            left = width() - 2 - 3 * kButton;
        m_buttons[i]->move(left, top);
        left += kButton;
    }
}

// Inside the one-pixel border: the head band, then a row of day names and
// the weeks, in equal rows and columns.
QRect MonthCalendar::cellRect(int row, int column) const
{
    const int columnWidth = (width() - 2) / 7;
    const int rowHeight = (height() - 2 - HeadHeight) / kRows;
    const int left = 1 + (width() - 2 - 7 * columnWidth) / 2;
    return QRect(left + column * columnWidth, 1 + HeadHeight + row * rowHeight, columnWidth, rowHeight);
}

QRect MonthCalendar::titleRect() const
{
    const int left = m_buttons[std::size_t(Navigation::MonthBack)]->geometry().right() + 1;
    const int right = m_buttons[std::size_t(Navigation::Today)]->x();
    return QRect(left, 1, right - left, HeadHeight);
}

std::optional<QDate> MonthCalendar::dateAt(QPoint pos) const
{
    for (int week = 0; week < WeekCount; ++week) {
        for (int day = 0; day < 7; ++day) {
            if (cellRect(1 + week, day).contains(pos))
                return firstShownDay(m_selected).addDays(week * 7 + day);
        }
    }
    return std::nullopt;
}

void MonthCalendar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), WinColor::toQColor(m_dayColor));
    PixelFrame::paintRing(painter, rect(), Qt::black);
    paintHead(painter);
    paintDays(painter);
}

void MonthCalendar::paintHead(QPainter &painter) const
{
    painter.fillRect(QRect(1, 1, width() - 2, HeadHeight), WinColor::toQColor(m_headColor));
    const QString title = QStringLiteral("%1 %2").arg(m_monthNames.value(m_selected.month() - 1))
                              .arg(m_selected.year());
    painter.setPen(Qt::black);
    painter.drawText(titleRect(), Qt::AlignCenter, title);
}

void MonthCalendar::paintDays(QPainter &painter) const
{
    for (int day = 0; day < 7; ++day)
        painter.drawText(cellRect(0, day), Qt::AlignCenter, m_dayNames.value(day));
    const QDate first = firstShownDay(m_selected);
    for (int cell = 0; cell < WeekCount * 7; ++cell) {
        const QDate date = first.addDays(cell);
        const QRect place = cellRect(1 + cell / 7, cell % 7);
        TColor color = WinColor::Black;
        if (date == m_selected)
            color = kRed;
        else if (date.month() != m_selected.month())
            color = kGrey;
        else if (date.dayOfWeek() >= Qt::Saturday)
            color = kMaroon;
        painter.setPen(WinColor::toQColor(color));
        painter.drawText(place, Qt::AlignCenter, QString::number(date.day()));
        if (date == m_selected)
            PixelFrame::paintRing(painter, place.adjusted(1, 0, -1, 0), WinColor::toQColor(color));
    }
}

void MonthCalendar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (const std::optional<QDate> date = dateAt(event->position().toPoint()))
        setSelectedDate(*date);
}

void MonthCalendar::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        setSelectedDate(m_selected.addDays(-1));
        break;
    case Qt::Key_Right:
        setSelectedDate(m_selected.addDays(1));
        break;
    case Qt::Key_Up:
        setSelectedDate(m_selected.addDays(-7));
        break;
    case Qt::Key_Down:
        setSelectedDate(m_selected.addDays(7));
        break;
    case Qt::Key_PageUp:
        navigate(ctrl ? Navigation::YearBack : Navigation::MonthBack);
        break;
    case Qt::Key_PageDown:
        navigate(ctrl ? Navigation::YearForward : Navigation::MonthForward);
        break;
    case Qt::Key_Home:
        setSelectedDate(QDate(m_selected.year(), m_selected.month(), 1));
        break;
    case Qt::Key_End:
        setSelectedDate(QDate(m_selected.year(), m_selected.month(), m_selected.daysInMonth()));
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
