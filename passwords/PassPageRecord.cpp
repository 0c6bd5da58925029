#include "passwords/PassPageRecord.h"

#include <algorithm>
#include <stdexcept>

static_assert(PassPageRecord::Size == 10752);

PassPageRecord::PassPageRecord()
    : m_bytes(Size, '\0')
{
}

PassPageRecord::PassPageRecord(QByteArrayView bytes)
    : PassPageRecord()
{
    const qsizetype count = std::min(bytes.size(), Size);
    std::copy_n(bytes.data(), count, m_bytes.data());
}

qsizetype PassPageRecord::slotOffset(int column, int slot)
{
    if (column < 0 || column >= PassColumnCount || slot < 0 || slot >= PassSlotCount)
        throw std::out_of_range("password page cell out of range");
    return column * ColumnSize + slot * SlotSize;
}

QByteArray PassPageRecord::slot(int column, int slot) const
{
    return m_bytes.mid(slotOffset(column, slot), SlotSize);
}

void PassPageRecord::setSlot(int column, int slot, QByteArrayView bytes)
{
    const qsizetype offset = slotOffset(column, slot);
    const qsizetype count = std::min(bytes.size(), SlotSize);
    std::copy_n(bytes.data(), count, m_bytes.data() + offset);
    std::fill_n(m_bytes.data() + offset + count, SlotSize - count, '\0');
}

QByteArray PassPageRecord::slotText(int column, int slot) const
{
    const qsizetype offset = slotOffset(column, slot);
    const auto length = static_cast<unsigned char>(m_bytes[offset]);
    return m_bytes.mid(offset + 1, length);
}

void PassPageRecord::setSlotText(int column, int slot, QByteArrayView text)
{
    const QByteArrayView kept = text.first(std::min(text.size(), MaxTextLength));
    QByteArray bytes(1, char(kept.size()));
    bytes += kept;
    setSlot(column, slot, bytes);
}
