#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The columns of a password page, in file order.
constexpr int PassTextColumn = 0;
constexpr int PassNameColumn = 1;
constexpr int PassPasswordColumn = 2;
constexpr int PassColumnCount = 3;

// Slots per column; slot s is grid row s + 1, and slot 13 is a row the grid
// keeps without showing it.
constexpr int PassSlotCount = 14;

// One password page as stored, 10752 bytes without header:
//
//   column k, slot s at k * 3584 + s * 256, 256 bytes:
//   +---+---------------------+-------------------------------+
//   | L | L bytes of text     | 255 - L bytes, not significant |
//   +---+---------------------+-------------------------------+
//
// Texts are Windows-1252; the password column holds the stored (enciphered,
// Base64) form.
class PassPageRecord
{
public:
    static constexpr qsizetype SlotSize = 256;
    static constexpr qsizetype ColumnSize = PassSlotCount * SlotSize;
    static constexpr qsizetype Size = PassColumnCount * ColumnSize;
    static constexpr qsizetype MaxTextLength = SlotSize - 1;

    // Zero-filled: every slot empty.
    PassPageRecord();
    // The first Size bytes; bytes a shorter input lacks stay zero.
    explicit PassPageRecord(QByteArrayView bytes);

    const QByteArray &bytes() const { return m_bytes; }

    // Throws std::out_of_range for a column or slot outside the page.
    static qsizetype slotOffset(int column, int slot);

    // The whole slot, length byte and insignificant tail included.
    QByteArray slot(int column, int slot) const;
    void setSlot(int column, int slot, QByteArrayView bytes);

    // The slot's text as its length byte gives it. A longer text is stored
    // as its first MaxTextLength bytes.
    QByteArray slotText(int column, int slot) const;
    void setSlotText(int column, int slot, QByteArrayView text);

private:
    QByteArray m_bytes;
};
