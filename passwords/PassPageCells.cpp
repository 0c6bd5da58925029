#include "passwords/PassPageCells.h"

#include "passwords/PassKey.h"
#include "platform/Cp1252.h"
#include "platform/Languages.h"

#include <stdexcept>

using Languages::TextPair;

namespace {

QString cellErrorText(int column, int slot, PassCellProblem problem, int languageIndex)
{
    return TextPair{u"Zeile %1, Spalte %2: %3", u"Row %1, column %2: %3"}
        .in(languageIndex)
        .arg(slot + 1)
        .arg(passColumnName(column, languageIndex),
             passCellProblemText(column, problem, languageIndex));
}

} // namespace

QString passCellProblemText(int column, PassCellProblem problem, int languageIndex)
{
    switch (problem) {
    case PassCellProblem::None:
        break;
    case PassCellProblem::TooLong:
        return column == PassPasswordColumn
                   ? TextPair{u"ein Kennwort darf höchstens %1 Zeichen haben",
                              u"a password may hold at most %1 characters"}
                         .in(languageIndex)
                         .arg(MaxPasswordLength)
                   : TextPair{u"eine Zelle darf höchstens %1 Zeichen haben",
                              u"a cell may hold at most %1 characters"}
                         .in(languageIndex)
                         .arg(PassPageRecord::MaxTextLength);
    case PassCellProblem::NotInCodePage:
        return TextPair{u"enthält Zeichen, die Windows-1252 nicht darstellen kann",
                        u"holds characters that Windows-1252 cannot represent"}
            .in(languageIndex);
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

QString passColumnName(int column, int languageIndex)
{
    switch (column) {
    case PassTextColumn:
        return TextPair{u"Text", u"text"}.in(languageIndex);
    case PassNameColumn:
        return TextPair{u"Name", u"name"}.in(languageIndex);
    case PassPasswordColumn:
        return TextPair{u"Kennwort", u"password"}.in(languageIndex);
    }
    throw std::out_of_range("password page column out of range");
}

PassCellError::PassCellError(int column, int slot, PassCellProblem problem)
    : KladdoError(cellErrorText(column, slot, problem, Languages::English))
    , m_column(column)
    , m_slot(slot)
    , m_problem(problem)
{
}

QString PassCellError::textIn(int languageIndex) const
{
    return cellErrorText(m_column, m_slot, m_problem, languageIndex);
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
