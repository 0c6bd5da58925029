#include "controls/ControlAccessibility.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace ControlAccessibility {
namespace {

constexpr const char *kRole = "kladdoAccessibleRole";
constexpr const char *kPressButton = "kladdoPressButton";
constexpr const char *kChecked = "kladdoChecked";

Role roleOf(const QObject *control)
{
    return Role(control->property(kRole).toInt());
}

// A click as the mouse gives it, in the middle of the control, so that the
// control's own handling (or the window's, for the side handles) runs.
void click(QWidget *control, Qt::MouseButton button)
{
    const QPointF centre = QRectF(control->rect()).center();
    const QPointF global = control->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &release);
}

class SelfDrawnControl : public QAccessibleWidget
{
public:
    explicit SelfDrawnControl(QWidget *control)
        : QAccessibleWidget(control, accessibleRole(roleOf(control)))
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (roleOf(widget()) == Role::CheckBox) {
            state.checkable = true;
            state.checked = widget()->property(kChecked).toBool();
        }
        return state;
    }

    // A label that works as a button is named by its text when it has no
    // hint, not by the group around it.
    QString text(QAccessible::Text kind) const override
    {
        const auto *label = qobject_cast<const QLabel *>(widget());
        if (kind == QAccessible::Name && label && widget()->accessibleName().isEmpty() && !label->text().isEmpty())
            return label->text();
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override
    {
        if (roleOf(widget()) == Role::Picture)
            return {};
        return {roleOf(widget()) == Role::CheckBox ? toggleAction() : pressAction()};
    }

    void doAction(const QString &actionName) override
    {
        if (widget()->isEnabled() && actionNames().contains(actionName))
            click(widget(), Qt::MouseButton(widget()->property(kPressButton).toInt()));
    }

private:
    static QAccessible::Role accessibleRole(Role role)
    {
        switch (role) {
        case Role::CheckBox:
            return QAccessible::CheckBox;
        case Role::Picture:
            return QAccessible::Graphic;
        case Role::Button:
            break;
        }
        return QAccessible::Button;
    }
};

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    auto *control = qobject_cast<QWidget *>(object);
    if (!control)
        return nullptr;
    if (!control->property(kRole).isValid()) {
        if (className != u"TFarbButton" && className != u"ClickLabel")
            return nullptr;
        control->setProperty(kRole, int(Role::Button));
    }
    if (!control->property(kPressButton).isValid())
        control->setProperty(kPressButton, int(Qt::LeftButton));
    return new SelfDrawnControl(control);
}

} // namespace

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void describe(QWidget *control, Role role, Qt::MouseButton pressButton)
{
    control->setProperty(kRole, int(role));
    control->setProperty(kPressButton, int(pressButton));
}

void setChecked(QWidget *control, bool checked)
{
    if (control->property(kChecked) == QVariant(checked))
        return;
    control->setProperty(kChecked, checked);
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(control, changed);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace ControlAccessibility
