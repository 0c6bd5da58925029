#pragma once

#include <QProcessEnvironment>
#include <QStringList>

// Placing the window at the screen edge and keeping it above all others
// need X11; Wayland lets a program do neither.
namespace PlatformChoice {

// Whether to ask Qt for its X11 platform: on a Wayland session with
// XWayland there, unless the user chose a platform. arguments is the whole
// command line, the program's name first.
bool prefersX11(const QProcessEnvironment &environment, const QStringList &arguments);

} // namespace PlatformChoice
