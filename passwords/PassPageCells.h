#pragma once

#include "passwords/PassPageRecord.h"
#include "platform/KladdoError.h"

#include <QByteArray>
#include <QString>

#include <array>

// The most a password may hold: its stored form (248 characters) still fits
// a slot, while 184 bytes would need 256.
constexpr int MaxPasswordLength = 183;

enum class PassCellDamage {
    None,
    NotInFile,      // the file ended before this slot
    Undecipherable, // the stored password could not be deciphered
};

// Why a cell's text cannot be stored as it is.
enum class PassCellProblem {
    None,
    TooLong,       // text and name over 255 bytes, passwords over 183
    NotInCodePage, // a character Windows-1252 cannot represent
};

PassCellProblem passCellProblem(int column, QStringView text);
// "a password may hold at most 183 characters" and the like, in the language
// of languageIndex; empty for None.
QString passCellProblemText(int column, PassCellProblem problem, int languageIndex);

// "text", "name" or "password"; in German "Text", "Name" or "Kennwort".
QString passColumnName(int column, int languageIndex);

// A cell that cannot be stored; nothing was written. Row is the slot + 1.
// The message is English; textIn gives it in the user's language.
class PassCellError : public KladdoError
{
public:
    PassCellError(int column, int slot, PassCellProblem problem);

    QString textIn(int languageIndex) const;

    int column() const { return m_column; }
    int slot() const { return m_slot; }
    PassCellProblem problem() const { return m_problem; }

private:
    int m_column;
    int m_slot;
    PassCellProblem m_problem;
};

// The cells of one page as the grid holds them: clear text, 3 columns of 14
// slots. A stored password that cannot be deciphered shows as an empty cell
// marked damaged; its stored slot is kept and written back byte for byte
// until the cell is given another text, so a damaged file loses nothing.
class PassPageCells
{
public:
    // Cells of the slots whose length byte and text lie within the first
    // heldBytes of the record; the others are empty and marked NotInFile.
    static PassPageCells fromRecord(const PassPageRecord &record,
                                    qsizetype heldBytes = PassPageRecord::Size);

    // Enciphers the passwords and cuts texts and names to 255 bytes. Throws
    // PassCellError for a password that does not fit a slot and for
    // characters outside Windows-1252.
    PassPageRecord toRecord() const;

    // Throw std::out_of_range for a column or slot outside the page.
    const QString &cell(int column, int slot) const;
    PassCellDamage damage(int column, int slot) const;

    // A text equal to the cell's own changes nothing, so refreshing a
    // damaged cell from an unchanged editor keeps its stored slot.
    void setCell(int column, int slot, const QString &text);

private:
    struct Cell
    {
        QString text;
        PassCellDamage damage = PassCellDamage::None;
        QByteArray keptSlot; // the stored slot of an undecipherable password
    };

    static std::size_t indexOf(int column, int slot);
    Cell &at(int column, int slot) { return m_cells[indexOf(column, slot)]; }
    const Cell &at(int column, int slot) const { return m_cells[indexOf(column, slot)]; }

    static Cell cellFromSlot(const PassPageRecord &record, int column, int slot);
    void storeCell(PassPageRecord &record, int column, int slot) const;

    std::array<Cell, PassColumnCount * PassSlotCount> m_cells;
};
