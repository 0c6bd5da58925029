#pragma once

#include <QString>

#include <functional>

class QWidget;

// Where the program's errors reach the user: a message box, or whatever a
// test puts in its place.
namespace ErrorReport {

using Sink = std::function<void(const QString &message)>;

void show(const QString &message);

// Replaces the message box; an empty sink brings it back.
void setSink(Sink sink);

// Runs an event handler. The program's error stops the handler there and
// reaches the user; it must not unwind through the toolkit's frames.
void guard(const std::function<void()> &handler);

} // namespace ErrorReport
