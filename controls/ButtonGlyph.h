#pragma once

#include "controls/ButtonTypes.h"
#include "controls/WinColor.h"

#include <QImage>

#include <array>
#include <functional>

class QPainter;
class TGlyphList;

// The colours a glyph image is built on.
struct GlyphColors
{
    TColor face = WinColor::ButtonFace;
    TColor shadow = WinColor::ButtonShadow;
};

// A button's glyph: its own copy of the bitmap (one to four equal-width
// images side by side) and the images built from it per face state, kept in
// the shared glyph lists until the bitmap or the number of images changes.
class TButtonGlyph
{
public:
    explicit TButtonGlyph(std::function<void()> onChange = {});
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph &) = delete;
    TButtonGlyph &operator=(const TButtonGlyph &) = delete;

    const QImage &bitmap() const { return m_bitmap; }
    // Takes a copy, discarding every image built so far, also when the same
    // bitmap comes again: owners reassign it to rebuild on new colours.
    void setBitmap(const QImage &bitmap);

    int numGlyphs() const { return m_numGlyphs; }
    // Values above 4 become 4; values below 1 are ignored.
    void setNumGlyphs(int value);

    // The colour that stands for "background" in the bitmap: its
    // bottom-left pixel.
    TColor transparentColor() const { return m_transparentColor; }

    // The size of one image; empty without a bitmap.
    QSize imageSize() const;

    // Builds the image for the state unless it exists; returns its index in
    // glyphList(), or -1 when there is nothing to draw.
    int buildImage(FaceState state, const GlyphColors &colors);

    // Draws the state's image with its top-left corner at pos.
    void draw(QPainter &painter, QPoint pos, FaceState state, const GlyphColors &colors);

    // Frees every built image; an emptied glyph list is freed with them.
    void discardImages();

    // The index of the state's built image, or -1.
    int imageIndex(FaceState state) const;
    const TGlyphList *glyphList() const { return m_glyphList; }

private:
    FaceState storedState(FaceState state) const;
    QImage sourceImage(FaceState state) const;
    QImage makeImage(FaceState state, const GlyphColors &colors) const;
    void changed();

    QImage m_bitmap;
    TColor m_transparentColor = WinColor::Olive;
    int m_numGlyphs = 1;
    std::array<int, kFaceStateCount> m_indexes;
    TGlyphList *m_glyphList = nullptr;
    std::function<void()> m_onChange;
};
