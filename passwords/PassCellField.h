#pragma once

#include "platform/Languages.h"

#include <QLineEdit>

// The processing field (Edit2), the editor of the grid's current cell. It
// takes only what the cell can store, cuts control characters from what is
// pasted or dropped, masks a password with "*" while the grid is masked,
// and hands Up, Down, Enter and Escape back to the grid.
class PassCellField : public QLineEdit
{
    Q_OBJECT

public:
    explicit PassCellField(QWidget *parent = nullptr);

    // Shows a cell of the column; the text is masked when masked is set
    // and the column is the password column.
    void showCell(const QString &text, int column, bool masked);
    void setMasked(bool masked);
    bool isMasked() const { return echoMode() == Password; }
    int column() const { return m_column; }
    // The language of refusals; German until set.
    void setLanguage(int languageIndex) { m_languageIndex = languageIndex; }
    int languageIndex() const { return m_languageIndex; }

    // The selection, or nothing while masked: a masked password must not
    // leave the field through a title.
    QString markedText() const;

signals:
    // Up (-1) or Down (+1): the grid takes the focus and moves a row.
    void rowStepRequested(int step);
    // Enter or Escape: the grid takes the focus, the cell keeps the text.
    void gridRequested();
    // An edit was undone because the cell cannot store it.
    void refused(const QString &why);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int m_column = 0;
    int m_languageIndex = Languages::German;
};
