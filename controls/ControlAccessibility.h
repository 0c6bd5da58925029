#pragma once

#include <Qt>

class QWidget;

// What assistive tools and test tools are told of the controls the program
// draws itself: a role, the name that is the control's hint (set with it,
// so it follows the language), a check box's state, and a press action
// that does what a click does. The colour buttons and the labels that
// work as buttons are buttons unless described otherwise.
namespace ControlAccessibility {

enum class Role { Button, CheckBox, Picture };

// Safe to call more than once.
void install();

// pressButton is the mouse button whose click the press action gives.
void describe(QWidget *control, Role role, Qt::MouseButton pressButton = Qt::LeftButton);

// The state of a control described as a check box.
void setChecked(QWidget *control, bool checked);

} // namespace ControlAccessibility
