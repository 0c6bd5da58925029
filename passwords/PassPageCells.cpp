#include "passwords/PassPageCells.h"

#include "passwords/PassKey.h"
#include "platform/Cp1252.h"

#include <stdexcept>

QString passCellProblemText(int column, PassCellProblem problem)
{
    switch (problem) {
    case PassCellProblem::None:
        break;
    case PassCellProblem::TooLong:
        return column == PassPasswordColumn
                   ? QStringLiteral("a password may hold at most %1 characters").arg(MaxPasswordLength)
                   : QStringLiteral("a cell may hold at most %1 characters")
                         .arg(PassPageRecord::MaxTextLength);
    case PassCellProblem::NotInCodePage:
        return QStringLiteral("holds characters that Windows-1252 cannot represent");
    }
    return {};
}

PassCellProblem passCellProblem(int column, QStringView text)
{
    if (!Cp1252::canEncode(text))
        return PassCellProblem::NotInCodePage;
    // One byte per character in this code page.
    const qsizetype limit =
        column == PassPasswordColumn ? MaxPasswordLength : PassPageRecord::MaxTextLength;
    return text.size() > limit ? PassCellProblem::TooLong : PassCellProblem::None;
}

QString passColumnName(int column)
{
    switch (column) {
    case PassTextColumn:
        return QStringLiteral("text");
    case PassNameColumn:
        return QStringLiteral("name");
    case PassPasswordColumn:
        return QStringLiteral("password");
    }
    throw std::out_of_range("password page column out of range");
}

PassCellError::PassCellError(int column, int slot, PassCellProblem problem)
    : KladdoError(QStringLiteral("Row %1, column %2: %3")
                      .arg(slot + 1)
                      .arg(passColumnName(column), passCellProblemText(column, problem)))
    , m_column(column)
    , m_slot(slot)
    , m_problem(problem)
{
}

std::size_t PassPageCells::indexOf(int column, int slot)
{
    if (column < 0 || column >= PassColumnCount || slot < 0 || slot >= PassSlotCount)
        throw std::out_of_range("password page cell out of range");
    return std::size_t(column * PassSlotCount + slot);
}

PassPageCells PassPageCells::fromRecord(const PassPageRecord &record, qsizetype heldBytes)
{
    PassPageCells cells;
    for (int column = 0; column < PassColumnCount; ++column) {
        for (int slot = 0; slot < PassSlotCount; ++slot) {
            const qsizetype offset = PassPageRecord::slotOffset(column, slot);
            const qsizetype textEnd = offset + 1 + record.slotText(column, slot).size();
            Cell &cell = cells.at(column, slot);
            if (offset >= heldBytes || textEnd > heldBytes)
                cell.damage = PassCellDamage::NotInFile;
            else
                cell = cellFromSlot(record, column, slot);
        }
    }
    return cells;
}

PassPageCells::Cell PassPageCells::cellFromSlot(const PassPageRecord &record, int column,
                                                int slot)
{
    const QByteArray stored = record.slotText(column, slot);
    if (column != PassPasswordColumn)
        return {Cp1252::toUnicode(stored), PassCellDamage::None, {}};
    // A length of 0 is how a zero-filled record holds an empty password.
    if (stored.isEmpty())
        return {QString(), PassCellDamage::None, {}};
    try {
        return {Cp1252::toUnicode(DesCipherString(stored, PassKey, DesDirection::Decipher)),
                PassCellDamage::None, {}};
    } catch (const KladdoError &) {
        return {QString(), PassCellDamage::Undecipherable, record.slot(column, slot)};
    }
}

PassPageRecord PassPageCells::toRecord() const
{
    PassPageRecord record;
    for (int column = 0; column < PassColumnCount; ++column) {
        for (int slot = 0; slot < PassSlotCount; ++slot)
            storeCell(record, column, slot);
    }
    return record;
}

void PassPageCells::storeCell(PassPageRecord &record, int column, int slot) const
{
    const Cell &cell = at(column, slot);
    if (cell.damage == PassCellDamage::Undecipherable) {
        record.setSlot(column, slot, cell.keptSlot);
        return;
    }
    const PassCellProblem problem = passCellProblem(column, cell.text);
    const bool cutAllowed = problem == PassCellProblem::TooLong && column != PassPasswordColumn;
    if (problem != PassCellProblem::None && !cutAllowed)
        throw PassCellError(column, slot, problem);
    const QByteArray bytes = Cp1252::fromUnicode(cell.text);
    if (column == PassPasswordColumn)
        record.setSlotText(column, slot, DesCipherString(bytes, PassKey, DesDirection::Encipher));
    else
        record.setSlotText(column, slot, bytes);
}

const QString &PassPageCells::cell(int column, int slot) const
{
    return at(column, slot).text;
}

PassCellDamage PassPageCells::damage(int column, int slot) const
{
    return at(column, slot).damage;
}

void PassPageCells::setCell(int column, int slot, const QString &text)
{
    Cell &cell = at(column, slot);
    if (cell.text == text)
        return;
    cell = {text, PassCellDamage::None, {}};
}
