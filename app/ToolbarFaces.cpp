#include "app/ToolbarFaces.h"

namespace {

struct FixedGlyph
{
    QStringView button;
    QStringView glyph;
};

constexpr FixedGlyph kFixedGlyphs[] = {
    {u"FarbButton2", u"L2"},  {u"FarbButton3", u"L1"},  {u"FarbButton4", u"R1"},
    {u"FarbButton5", u"R2"},  {u"FarbButton6", u"TT"},  {u"FarbButton8", u"ER"},
    {u"FarbButton9", u"E1"},  {u"FarbButton10", u"SS"}, {u"FarbButton11", u"D1"},
    {u"FarbButton12", u"O1"}, {u"FarbButton13", u"E2"}, {u"FarbButton14", u"KC"},
    {u"FarbButton15", u"EP"},
};

ToolbarFace toggleFace(bool on, QStringView glyphOn, StateHintKey hintOn, QStringView glyphOff,
                       StateHintKey hintOff)
{
    return on ? ToolbarFace{glyphOn.toString(), hintOn} : ToolbarFace{glyphOff.toString(), hintOff};
}

} // namespace

ToolbarFace toolbarFace(QStringView buttonName, const ToggleState &state)
{
    if (buttonName == u"FarbButton1")
        return toggleFace(state.DisplayNP == 1, u"N1", StateHintKey::HintShowNotes, u"P1",
                          StateHintKey::HintShowPasswords);
    if (buttonName == u"FarbButton7")
        return toggleFace(state.DisplayAlarm == 1, u"H1", StateHintKey::HintHideAlarm, u"T1",
                          StateHintKey::HintShowAlarm);
    if (buttonName == u"FarbButton16")
        return toggleFace(state.PasswordsHidden, u"A1", StateHintKey::HintUnmask, u"V1",
                          StateHintKey::HintMask);
    for (const FixedGlyph &entry : kFixedGlyphs) {
        if (entry.button == buttonName)
            return {entry.glyph.toString(), std::nullopt};
    }
    return {};
}
