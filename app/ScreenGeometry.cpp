#include "app/ScreenGeometry.h"

#include <QGuiApplication>
#include <QScreen>

namespace ScreenGeometry {
namespace {

std::optional<int> &widthOverride()
{
    static std::optional<int> width;
    return width;
}

} // namespace

int primaryScreenWidth()
{
    if (widthOverride())
        return *widthOverride();
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

void overridePrimaryScreenWidth(std::optional<int> width)
{
    widthOverride() = width;
}

} // namespace ScreenGeometry
