#include "controls/UpDown.h"

#include <QToolButton>

namespace {

QToolButton *arrowButton(QWidget *parent, Qt::ArrowType arrow, const char *name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1StringView(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TUpDown::TUpDown(QWidget *parent)
    : QWidget(parent)
    , m_down(arrowButton(this, Qt::LeftArrow, "Down"))
    , m_up(arrowButton(this, Qt::RightArrow, "Up"))
{
    connect(m_down, &QToolButton::clicked, this, [this] { emit stepRequested(-1); });
    connect(m_up, &QToolButton::clicked, this, [this] { emit stepRequested(+1); });
}

void TUpDown::resizeEvent(QResizeEvent *)
{
    const int half = width() / 2;
    m_down->setGeometry(0, 0, half, height());
    m_up->setGeometry(half, 0, width() - half, height());
}
