#include "controls/ButtonGlyph.h"

#include "controls/GlyphCache.h"

#include <QPainter>

namespace {

constexpr int kMaxGlyphs = 4;

// The bitmap as opaque pixels. A picture with an alpha channel is laid on
// olive first, so its transparent parts become the usual background colour.
QImage opaqueCopy(const QImage &bitmap)
{
    if (!bitmap.hasAlphaChannel())
        return bitmap.convertToFormat(QImage::Format_RGB32);
    QImage opaque(bitmap.size(), QImage::Format_RGB32);
    opaque.fill(WinColor::toQColor(WinColor::Olive));
    QPainter painter(&opaque);
    painter.drawImage(0, 0, bitmap);
    return opaque;
}

TColor pixelAt(const QImage &image, int x, int y)
{
    return WinColor::fromQRgb(image.pixel(x, y));
}

// Replaces every pixel of one colour by another.
QImage replaced(const QImage &source, TColor from, TColor to)
{
    QImage result = source;
    const QRgb target = WinColor::toQColor(to).rgb();
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            if (pixelAt(source, x, y) == from)
                result.setPixel(x, y, target);
        }
    }
    return result;
}

// The source with its transparent colour see-through.
QImage masked(const QImage &source, TColor transparent)
{
    QImage result = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            if (pixelAt(source, x, y) == transparent)
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return result;
}

// The disabled look of a single-image glyph: its black pixels, the ink of
// a one-bit copy, stamped as a white stencil one pixel right and down and
// then as a shadow-coloured one in place, on the face colour. Every other
// colour of the picture disappears into the face.
QImage embossed(const QImage &source, const GlyphColors &colors)
{
    QImage result(source.size(), QImage::Format_RGB32);
    result.fill(WinColor::toQColor(colors.face));
    const QRgb white = qRgb(255, 255, 255);
    const QRgb shadow = WinColor::toQColor(colors.shadow).rgb();
    auto stamp = [&](int dx, QRgb ink) {
        for (int y = 0; y < source.height(); ++y) {
            for (int x = 0; x < source.width(); ++x) {
                if (pixelAt(source, x, y) == WinColor::Black && result.valid(x + dx, y + dx))
                    result.setPixel(x + dx, y + dx, ink);
            }
        }
    };
    stamp(1, white);
    stamp(0, shadow);
    return result;
}

// A drawn disabled image: white stays, mid grey becomes the shadow colour
// and the background becomes the face.
QImage mappedDisabled(const QImage &source, TColor transparent, const GlyphColors &colors)
{
    QImage result = source;
    const QRgb face = WinColor::toQColor(colors.face).rgb();
    const QRgb shadow = WinColor::toQColor(colors.shadow).rgb();
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const TColor pixel = pixelAt(source, x, y);
            if (pixel == transparent)
                result.setPixel(x, y, face);
            else if (pixel == WinColor::Gray)
                result.setPixel(x, y, shadow);
        }
    }
    return result;
}

} // namespace

TButtonGlyph::TButtonGlyph(std::function<void()> onChange)
    : m_onChange(std::move(onChange))
{
    m_indexes.fill(-1);
}

TButtonGlyph::~TButtonGlyph()
{
    discardImages();
}

void TButtonGlyph::setBitmap(const QImage &bitmap)
{
    discardImages();
    m_bitmap = bitmap.isNull() ? QImage() : opaqueCopy(bitmap);
    if (!m_bitmap.isNull() && m_bitmap.width() > 0 && m_bitmap.height() > 0) {
        m_transparentColor = pixelAt(m_bitmap, 0, m_bitmap.height() - 1);
        if (m_bitmap.width() % m_bitmap.height() == 0) {
            const int images = m_bitmap.width() / m_bitmap.height();
            m_numGlyphs = images > kMaxGlyphs ? 1 : images;
        }
    }
    changed();
}

void TButtonGlyph::setNumGlyphs(int value)
{
    if (value < 1)
        return;
    value = std::min(value, kMaxGlyphs);
    if (value == m_numGlyphs)
        return;
    discardImages();
    m_numGlyphs = value;
    changed();
}

QSize TButtonGlyph::imageSize() const
{
    if (m_bitmap.isNull())
        return QSize(0, 0);
    return QSize(m_bitmap.width() / m_numGlyphs, m_bitmap.height());
}

int TButtonGlyph::buildImage(FaceState state, const GlyphColors &colors)
{
    const QSize size = imageSize();
    if (size.width() <= 0 || size.height() <= 0)
        return -1;
    state = storedState(state);
    int &index = m_indexes[size_t(state)];
    if (index != -1)
        return index;
    if (!m_glyphList)
        m_glyphList = TGlyphCache::getList(size);
    index = m_glyphList->add(makeImage(state, colors));
    return index;
}

void TButtonGlyph::draw(QPainter &painter, QPoint pos, FaceState state, const GlyphColors &colors)
{
    const int index = buildImage(state, colors);
    if (index != -1)
        painter.drawImage(pos, m_glyphList->image(index));
}

void TButtonGlyph::discardImages()
{
    for (int &index : m_indexes) {
        if (index != -1 && m_glyphList)
            m_glyphList->remove(index);
        index = -1;
    }
    TGlyphCache::returnList(m_glyphList);
    m_glyphList = nullptr;
}

int TButtonGlyph::imageIndex(FaceState state) const
{
    return m_indexes[size_t(storedState(state))];
}

// Without an image of its own, the pressed state shares the Up image.
FaceState TButtonGlyph::storedState(FaceState state) const
{
    if (state == FaceState::Down && m_numGlyphs < 3)
        return FaceState::Up;
    return state;
}

QImage TButtonGlyph::sourceImage(FaceState state) const
{
    const QSize size = imageSize();
    const int image = int(state) < m_numGlyphs ? int(state) : 0;
    return m_bitmap.copy(image * size.width(), 0, size.width(), size.height());
}

QImage TButtonGlyph::makeImage(FaceState state, const GlyphColors &colors) const
{
    const QImage source = sourceImage(state);
    switch (state) {
    case FaceState::Up:
    case FaceState::Down:
        return replaced(source, m_transparentColor, WinColor::toRgb(colors.face));
    case FaceState::Latched:
        return masked(source, m_transparentColor);
    case FaceState::Disabled:
        if (m_numGlyphs == 1)
            return embossed(source, colors);
        return mappedDisabled(source, m_transparentColor, colors);
    }
    return source;
}

void TButtonGlyph::changed()
{
    if (m_onChange)
        m_onChange();
}
