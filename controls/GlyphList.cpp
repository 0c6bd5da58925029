#include "controls/GlyphList.h"

TGlyphList::TGlyphList(QSize imageSize)
    : m_imageSize(imageSize)
{
}

int TGlyphList::add(const QImage &image)
{
    Q_ASSERT(image.size() == m_imageSize);
    int index = 0;
    while (index < m_used.size() && m_used.testBit(index))
        ++index;
    if (index == m_used.size()) {
        m_used.resize(index + 1);
        m_images.append(image);
    } else {
        m_images[index] = image;
    }
    m_used.setBit(index);
    ++m_count;
    return index;
}

void TGlyphList::remove(int index)
{
    if (!isUsed(index))
        return;
    m_used.clearBit(index);
    --m_count;
}

bool TGlyphList::isUsed(int index) const
{
    return index >= 0 && index < m_used.size() && m_used.testBit(index);
}
