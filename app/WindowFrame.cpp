#include "app/WindowFrame.h"

#include "options/LanguageTables.h"

#include <array>

namespace WindowFrame {
namespace {

// Left, top, right, bottom; right and bottom exclusive.
struct Edges
{
    int left, top, right, bottom;
    QRect rect() const { return QRect(left, top, right - left, bottom - top); }
};

constexpr Edges kToolbarStrip{0, 341, 525, 389};
constexpr Edges kPageArea{16, 0, 524, 341};
constexpr Edges kAlarmArea{16, 389, 268, 540};

// The steps between rolled in and rolled out, 51 pixels apart.
constexpr std::array<int, 9> kRollSteps = {67, 118, 169, 220, 271, 322, 373, 424, 475};

constexpr std::array<int, 3> kRollDelays = {8, 40, 250};

} // namespace

QRegion windowShape(bool alarmAreaShown)
{
    QRegion shape(kToolbarStrip.rect());
    shape += kPageArea.rect();
    if (alarmAreaShown)
        shape += kAlarmArea.rect();
    return shape;
}

QRegion borderOf(const QRegion &region)
{
    const QRegion inner = region & region.translated(1, 0) & region.translated(-1, 0)
                          & region.translated(0, 1) & region.translated(0, -1);
    return region - inner;
}

std::optional<int> RollDelay(int rollEffect)
{
    if (rollEffect < 1 || rollEffect > int(kRollDelays.size()))
        return std::nullopt;
    return kRollDelays[rollEffect - 1];
}

QList<int> rollOutOffsets(int rollEffect)
{
    QList<int> offsets;
    if (RollDelay(rollEffect))
        offsets = QList<int>(kRollSteps.begin(), kRollSteps.end());
    offsets.append(RolledOutOffset);
    return offsets;
}

QList<int> rollInOffsets(int rollEffect)
{
    QList<int> offsets;
    if (RollDelay(rollEffect))
        offsets = QList<int>(kRollSteps.rbegin(), kRollSteps.rend());
    offsets.append(RolledInOffset);
    return offsets;
}

QString handleHint(int languageIndex, bool rolledIn, int adjust)
{
    QString hint = StateHint(languageIndex, rolledIn ? StateHintKey::HintRightShow
                                                     : StateHintKey::HintRightHide);
    if (adjust != 0)
        hint += u'\r' + StateHint(languageIndex, StateHintKey::HintLeftMove);
    return hint;
}

std::optional<QPoint> reachablePlace(const QRect &window, const QList<QRect> &screens)
{
    // The side handles, in the window's coordinates.
    const QRect handles[] = {QRect(1, 342, 14, 46), QRect(510, 342, 14, 46)};
    for (const QRect &handle : handles) {
        for (const QRect &screen : screens) {
            if (screen.intersects(handle.translated(window.topLeft())))
                return std::nullopt;
        }
    }
    if (screens.isEmpty())
        return std::nullopt;
    const QRect &primary = screens.first();
    const int top = std::max(primary.top(), std::min(window.top(), primary.bottom() + 1 - window.height()));
    return QPoint(primary.right() + 1 - RolledInOffset, top);
}

} // namespace WindowFrame
