#pragma once

#include <QString>

// The texts of the caption line and of the position indicator.
namespace Captions {

// Label1: a blank, the page number, a blank and the title.
QString pageCaption(int page, const QString &title);

// Label2 in the note view: the alarm text and a blank; just the blank for none.
QString alarmCaption(const QString &alarmText);

// Label3: line and column, 0-based in, shown from 1, each right-aligned in
// three places. Numbers past 999 are shown whole rather than cut.
QString positionText(int line, int column);

} // namespace Captions
