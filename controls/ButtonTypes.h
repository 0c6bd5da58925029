#pragma once

// Enumerations of the colour button. Their order is their stored value:
// bsNone is 1.
enum TBorderStyle { bsSingle, bsNone };

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// How the button is drawn right now. Down means held down by the mouse,
// Latched means the button's Down property is set.
enum class FaceState { Up = 0, Disabled = 1, Down = 2, Latched = 3 };

constexpr int kFaceStateCount = 4;
