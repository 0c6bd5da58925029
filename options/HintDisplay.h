#pragma once

#include <QString>

class QWidget;

// How the program's hints reach the screen: at once when the mouse rests
// on a control, also while the always-on-top window is not the active one,
// and only on controls whose ShowHint is on.
namespace HintDisplay {

// The application's style: Fusion on every desktop, so that the fixed
// layouts look the same everywhere, with tooltips that appear without the
// toolkit's usual delay.
void setProgramStyle();

// Hints keep a carriage return between their lines; tooltips need a line
// feed. The hint is the control's accessible name as well.
void setHint(QWidget *control, const QString &hint);

// Colour buttons decide on their own through their ShowHint property;
// other controls are watched by a filter that reads the same property.
void setShowHint(QWidget *control, bool show);

} // namespace HintDisplay
