#include "app/WindowPlace.h"

#include "app/Environment.h"
#include "app/WindowFrame.h"

#include <QWidget>

int WindowPlace::screenWidth() const
{
    return m_environment.primaryScreenGeometry().width();
}

void WindowPlace::placeRolledIn(int y)
{
    m_window.move(screenWidth() - WindowFrame::RolledInOffset, y);
}

bool WindowPlace::isRolledIn() const
{
    return m_window.x() == screenWidth() - WindowFrame::RolledInOffset;
}

void WindowPlace::roll(const QList<int> &offsets, std::optional<int> pause)
{
    for (qsizetype step = 0; step < offsets.size(); ++step) {
        m_window.move(screenWidth() - offsets[step], m_window.y());
        if (pause && step + 1 < offsets.size())
            m_environment.pause(*pause);
    }
}

void WindowPlace::bringIntoView()
{
    const int left = screenWidth() - WindowFrame::RolledOutOffset;
    if (m_window.x() > left)
        m_window.move(left, m_window.y());
}

bool WindowPlace::keepReachable()
{
    const auto place = WindowFrame::reachablePlace(QRect(m_window.pos(), m_window.size()), m_environment.screenGeometries());
    if (place)
        m_window.move(*place);
    return place.has_value();
}

QPoint WindowPlace::fittedOnScreen(QRect wanted) const
{
    const QRect screen = m_environment.primaryScreenGeometry();
    wanted.moveRight(std::min(wanted.right(), screen.right()));
    wanted.moveBottom(std::min(wanted.bottom(), screen.bottom()));
    wanted.moveLeft(std::max(wanted.left(), screen.left()));
    wanted.moveTop(std::max(wanted.top(), screen.top()));
    return wanted.topLeft();
}
