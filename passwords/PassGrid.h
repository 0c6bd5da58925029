#pragma once

#include "passwords/PassPageCells.h"

#include <QColor>
#include <QTableView>

#include <array>
#include <optional>

class PassCellField;
class PassGridModel;

// What the copy button or Ctrl+Insert puts on the clipboard.
struct PassCellCopy
{
    QString text;
    bool secret = false; // from the password column
};

// The password grid (StringGrid1): a heading row over the 13 visible rows
// of one page, exactly one current cell and no other selection. The
// processing field is the current cell's editor: the grid fills it when
// the current cell changes and sends typed characters into it, and every
// change of it reaches the cell. The password column is painted as
// asterisks while masked; what the grid shows, reads out or copies never
// gives a masked password away.
class PassGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int RowCount = 14; // the heading and 13 data rows
    static constexpr int RowHeight = 20;
    static constexpr int DefaultColumnWidth = 165;

    PassGrid(PassCellField *field, QWidget *parent = nullptr);

    // Shows a page with its first data cell current. A page with a
    // read-only reason refuses every change, naming the reason.
    void setPage(const PassPageCells &cells, const QString &readOnlyReason = {});
    // The same, with the page counting as changed: its cells are not
    // those of its file.
    void setChangedPage(const PassPageCells &cells, const QString &readOnlyReason = {});
    // The same reason in another language, or none.
    void setReadOnlyReason(const QString &readOnlyReason);
    const PassPageCells &page() const;
    // A cell got another text since the page was set.
    bool isModified() const;

    void setHeadings(const QStringList &headings);
    // The language of the refusals of the grid and its field.
    void setLanguage(int languageIndex);
    void setMasked(bool masked);
    void setColors(const QColor &cells, const QColor &bar);
    // Widths of the cells, without the grid line after each.
    void setColumnWidths(const std::array<int, PassColumnCount> &widths);
    std::array<int, PassColumnCount> columnWidths() const;

    int currentRow() const { return currentIndex().row(); }
    int currentColumn() const { return currentIndex().column(); }
    void setCurrentCell(int row, int column);
    QString currentText() const;

    // Clipboard text in the field at its caret while the field has the
    // focus, else in place of the current cell's whole text. Control
    // characters are cut; no text at all changes nothing.
    void paste(const QString &clipboardText);
    // The field's selection while it has the focus (none while masked),
    // else the current cell's whole clear text; nothing when empty.
    std::optional<PassCellCopy> textToCopy() const;

signals:
    void pasteKeyPressed(); // Shift+Insert
    void copyKeyPressed();  // Ctrl+Insert
    void entryRefused(const QString &why);
    void currentCellChanged();
    // A cell got another text.
    void edited();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    // Tab does nothing here, and typing does not search for a row.
    bool focusNextPrevChild(bool) override { return true; }
    void keyboardSearch(const QString &) override {}
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool fieldHasFocus() const;
    bool refuseWhenReadOnly();
    bool replaceCurrentText(const QString &text);
    void appendTyped(const QString &typed);
    void stepRow(int step);
    void takeFieldText(const QString &text);
    void fillField();

    PassGridModel *m_model;
    PassCellField *m_field;
    QString m_readOnlyReason;
};
