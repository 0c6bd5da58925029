#pragma once

#include "controls/ControlPlaces.h"

// Where every control of the main window sits, in its parent's
// coordinates: the toolbar's controls in Panel1, the rest in the window.
namespace MainWindowLayout {

// The place of a control of the table; an empty rectangle for others.
QRect placeOf(QStringView control);

// Gives each control of the table that window holds its place; returns the
// names of those it does not hold.
QStringList apply(QWidget *window);

} // namespace MainWindowLayout
