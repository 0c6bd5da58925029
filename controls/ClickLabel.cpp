#include "controls/ClickLabel.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

// A click is a release over the label that was pressed.
void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}

namespace {

QAccessibleInterface *buttonAccessibility(const QString &className, QObject *object)
{
    if (className != u"TFarbButton" && className != u"ClickLabel")
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Button);
}

} // namespace

void installButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(buttonAccessibility);
        return true;
    }();
    Q_UNUSED(installed);
}
