#include "app/FontFallbacks.h"

#include <QFont>

namespace FontFallbacks {

namespace {

struct Fallback
{
    const char *named;
    const char *lookAlike;
};

constexpr Fallback kFallbacks[] = {
    {"MS Sans Serif", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Comic Sans MS", "Comic Neue"},
};

} // namespace

// A substitute is tried only when the named font is not installed, so a
// machine that has the original keeps showing it.
void install()
{
    for (const Fallback &fallback : kFallbacks)
        QFont::insertSubstitution(QString::fromLatin1(fallback.named), QString::fromLatin1(fallback.lookAlike));
}

} // namespace FontFallbacks
