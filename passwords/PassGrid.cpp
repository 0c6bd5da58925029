#include "passwords/PassGrid.h"

#include "passwords/PassCellField.h"
#include "passwords/PassCellRules.h"

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <functional>

// One page as the grid shows it: row 0 the headings, row r slot r - 1.
// The display text of a masked password is its asterisks, so that neither
// a copy of the shown text nor a screen reader can reach the password.
class PassGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    PassPageCells cells;
    QStringList headings;
    bool masked = true;
    bool modified = false;
    std::function<void()> edited;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : PassGrid::RowCount;
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : PassColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        if (index.row() == 0)
            return headings.value(index.column());
        const QString &text = clearText(index.row(), index.column());
        return masked && index.column() == PassPasswordColumn ? PassCellRules::masked(text) : text;
    }

    // The heading row can never be the current cell.
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.row() == 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled;
    }

    const QString &clearText(int row, int column) const { return cells.cell(column, row - 1); }

    void setText(int row, int column, const QString &text)
    {
        if (clearText(row, column) == text)
            return;
        cells.setCell(column, row - 1, text);
        modified = true;
        emit dataChanged(index(row, column), index(row, column));
        edited();
    }

    void showAgain(int firstRow, int lastRow, int firstColumn, int lastColumn)
    {
        emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn));
    }
};

namespace {

// Paints the cells: the headings bold and centred on the bar colour, the
// current cell on the bar colour, the others on the page colour, and a
// black line after every cell.
class PassCellPainter : public QStyledItemDelegate
{
public:
    explicit PassCellPainter(PassGrid *grid)
        : QStyledItemDelegate(grid), m_grid(grid)
    {
    }

    QColor cellColor = Qt::white;
    QColor barColor = Qt::lightGray;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        // The last column and row of pixels of a section are its grid line.
        const QRect cell = option.rect.adjusted(0, 0, -1, -1);
        const QString text = index.data().toString();
        painter->save();
        painter->setClipRect(cell);
        painter->setPen(Qt::black);
        if (index.row() == 0) {
            QFont bold = option.font;
            bold.setBold(true);
            painter->setFont(bold);
            painter->fillRect(cell, barColor);
            const int width = QFontMetrics(bold).horizontalAdvance(text);
            const int left = cell.left() + (cell.width() - width - 2) / 2;
            painter->drawText(QRect(left, cell.top() + 4, cell.right() + 1 - left, cell.height()),
                              Qt::AlignLeft | Qt::AlignTop, text);
        } else {
            painter->fillRect(cell, index == m_grid->currentIndex() ? barColor : cellColor);
            painter->drawText(cell.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        }
        painter->restore();
        painter->fillRect(option.rect.right(), option.rect.top(), 1, option.rect.height(), Qt::black);
        painter->fillRect(option.rect.left(), option.rect.bottom(), option.rect.width(), 1, Qt::black);
    }

private:
    PassGrid *m_grid;
};

} // namespace

PassGrid::PassGrid(PassCellField *field, QWidget *parent)
    : QTableView(parent)
    , m_model(new PassGridModel(this))
    , m_field(field)
{
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    verticalHeader()->setDefaultSectionSize(RowHeight + 1);
    horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth + 1);
    m_model->edited = [this] { emit edited(); };
    setModel(m_model);
    setItemDelegate(new PassCellPainter(this));
    setShowGrid(false);
    setFrameShape(NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setTabKeyNavigation(false);
    setAutoScroll(false);
    setWordWrap(false);
    QFont gridFont(QStringLiteral("MS Sans Serif"));
    gridFont.setPixelSize(11);
    setFont(gridFont);

    connect(m_field, &QLineEdit::textEdited, this, &PassGrid::takeFieldText);
    connect(m_field, &PassCellField::rowStepRequested, this, &PassGrid::stepRow);
    connect(m_field, &PassCellField::gridRequested, this, [this] { setFocus(); });
    connect(m_field, &PassCellField::refused, this, &PassGrid::entryRefused);
    setCurrentCell(1, 0);
}

void PassGrid::setPage(const PassPageCells &cells, const QString &readOnlyReason)
{
    m_model->cells = cells;
    m_model->modified = false;
    m_model->showAgain(1, RowCount - 1, 0, PassColumnCount - 1);
    setReadOnlyReason(readOnlyReason);
    setCurrentCell(1, 0);
    fillField();
}

void PassGrid::setChangedPage(const PassPageCells &cells, const QString &readOnlyReason)
{
    setPage(cells, readOnlyReason);
    m_model->modified = true;
}

void PassGrid::setReadOnlyReason(const QString &readOnlyReason)
{
    m_readOnlyReason = readOnlyReason;
    m_field->setReadOnly(!readOnlyReason.isEmpty());
}

const PassPageCells &PassGrid::page() const
{
    return m_model->cells;
}

bool PassGrid::isModified() const
{
    return m_model->modified;
}

void PassGrid::setHeadings(const QStringList &headings)
{
    m_model->headings = headings;
    m_model->showAgain(0, 0, 0, PassColumnCount - 1);
}

void PassGrid::setLanguage(int languageIndex)
{
    m_field->setLanguage(languageIndex);
}

void PassGrid::setMasked(bool masked)
{
    m_model->masked = masked;
    m_model->showAgain(1, RowCount - 1, PassPasswordColumn, PassPasswordColumn);
    m_field->setMasked(masked);
}

void PassGrid::setColors(const QColor &cells, const QColor &bar)
{
    auto *painter = static_cast<PassCellPainter *>(itemDelegate());
    painter->cellColor = cells;
    painter->barColor = bar;
    viewport()->update();
}

void PassGrid::setColumnWidths(const std::array<int, PassColumnCount> &widths)
{
    for (int column = 0; column < PassColumnCount; ++column)
        setColumnWidth(column, widths[std::size_t(column)] + 1);
}

std::array<int, PassColumnCount> PassGrid::columnWidths() const
{
    std::array<int, PassColumnCount> widths{};
    for (int column = 0; column < PassColumnCount; ++column)
        widths[std::size_t(column)] = columnWidth(column) - 1;
    return widths;
}

void PassGrid::setCurrentCell(int row, int column)
{
    setCurrentIndex(m_model->index(row, column));
}

QString PassGrid::currentText() const
{
    return currentIndex().isValid() ? m_model->clearText(currentRow(), currentColumn()) : QString();
}

// A paste that finds no text leaves the cell: an empty clipboard must not
// wipe a password that Delete would only remove on purpose.
void PassGrid::paste(const QString &clipboardText)
{
    const QString text = PassCellRules::withoutControls(clipboardText);
    if (text.isEmpty())
        return;
    if (!fieldHasFocus())
        replaceCurrentText(text);
    else if (!refuseWhenReadOnly())
        m_field->insert(text);
}

std::optional<PassCellCopy> PassGrid::textToCopy() const
{
    const QString text = fieldHasFocus() ? m_field->markedText() : currentText();
    if (text.isEmpty())
        return std::nullopt;
    return PassCellCopy{text, currentColumn() == PassPasswordColumn};
}

// Insert with Shift pastes, Delete empties, Insert with Ctrl copies, in
// that order; printable characters continue the cell in the field. The
// view's own Ctrl+C would copy what is shown, asterisks and all.
void PassGrid::keyPressEvent(QKeyEvent *event)
{
    const bool insert = event->key() == Qt::Key_Insert;
    if (insert && (event->modifiers() & Qt::ShiftModifier))
        emit pasteKeyPressed();
    else if (event->key() == Qt::Key_Delete)
        replaceCurrentText({});
    else if (insert && (event->modifiers() & Qt::ControlModifier))
        emit copyKeyPressed();
    else if (event->matches(QKeySequence::Copy))
        return;
    else if (PassCellRules::isTypedText(event->text()))
        appendTyped(event->text());
    else
        QTableView::keyPressEvent(event);
}

// A character the input method composed (a dead key and its letter)
// continues the cell like a typed one; the view would search rows with it.
void PassGrid::inputMethodEvent(QInputMethodEvent *event)
{
    if (PassCellRules::isTypedText(event->commitString()))
        appendTyped(event->commitString());
    event->accept();
}

void PassGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    fillField();
    emit currentCellChanged();
}

void PassGrid::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    // Filled, not drawn with a pen: a pen's line lands half a pixel up and
    // left at a device pixel ratio of 2.
    QPainter painter(viewport());
    const QRect r = viewport()->rect();
    for (const QRect &edge : {QRect(r.left(), r.top(), r.width(), 1), QRect(r.left(), r.top(), 1, r.height()),
                              QRect(r.right(), r.top(), 1, r.height()), QRect(r.left(), r.bottom(), r.width(), 1)})
        painter.fillRect(edge, Qt::black);
}

// The window's focus child, whether or not the window is active.
bool PassGrid::fieldHasFocus() const
{
    return m_field->window()->focusWidget() == m_field;
}

bool PassGrid::refuseWhenReadOnly()
{
    if (m_readOnlyReason.isEmpty())
        return false;
    emit entryRefused(m_readOnlyReason);
    return true;
}

// As the field would take it: control characters cut, at most the field's
// length, and refused whole when the cell cannot store it.
bool PassGrid::replaceCurrentText(const QString &text)
{
    if (refuseWhenReadOnly())
        return false;
    const QString entered = PassCellRules::withoutControls(text).left(PassCellRules::FieldLength);
    const QString why = PassCellRules::refusal(currentColumn(), entered, m_field->languageIndex());
    if (!why.isEmpty()) {
        emit entryRefused(why);
        return false;
    }
    m_model->setText(currentRow(), currentColumn(), entered);
    m_field->setText(entered);
    return true;
}

void PassGrid::appendTyped(const QString &typed)
{
    if (!replaceCurrentText(m_field->text() + typed))
        return;
    m_field->setFocus();
    m_field->end(false);
}

void PassGrid::stepRow(int step)
{
    setFocus();
    const int row = currentRow() + step;
    if (row >= 1 && row < RowCount)
        setCurrentCell(row, currentColumn());
}

void PassGrid::takeFieldText(const QString &text)
{
    if (currentIndex().isValid())
        m_model->setText(currentRow(), currentColumn(), text);
}

void PassGrid::fillField()
{
    m_field->showCell(currentText(), std::max(currentColumn(), 0), m_model->masked);
}
