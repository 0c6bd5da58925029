#include "app/PlatformChoice.h"

namespace PlatformChoice {

namespace {

bool isSet(const QProcessEnvironment &environment, const QString &name)
{
    return !environment.value(name).isEmpty();
}

// Qt takes the platform from -platform, or --platform, followed by its name.
bool namesPlatform(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"-platform" || arguments[i] == u"--platform")
            return true;
    }
    return false;
}

} // namespace

bool prefersX11(const QProcessEnvironment &environment, const QStringList &arguments)
{
    const bool wayland = isSet(environment, QStringLiteral("WAYLAND_DISPLAY"))
                         || environment.value(QStringLiteral("XDG_SESSION_TYPE")) == u"wayland";
    const bool chosen = isSet(environment, QStringLiteral("QT_QPA_PLATFORM")) || namesPlatform(arguments);
    return wayland && !chosen && isSet(environment, QStringLiteral("DISPLAY"));
}

} // namespace PlatformChoice
