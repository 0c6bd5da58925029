#pragma once

#include <QBitArray>
#include <QImage>
#include <QList>
#include <QSize>

// The built glyph images of one size, shared by every button whose glyph
// has that size. A slot is reused once freed, so the list only grows to the
// largest number of images in use at one time.
class TGlyphList
{
public:
    explicit TGlyphList(QSize imageSize);

    QSize imageSize() const { return m_imageSize; }

    // Stores the image in the lowest free slot and returns its index.
    int add(const QImage &image);

    // Frees the slot; the image stays until the slot is reused.
    void remove(int index);

    // The number of slots in use.
    int count() const { return m_count; }
    int slotCount() const { return int(m_images.size()); }
    bool isUsed(int index) const;

    const QImage &image(int index) const { return m_images.at(index); }

private:
    QSize m_imageSize;
    QList<QImage> m_images;
    QBitArray m_used;
    int m_count = 0;
};
