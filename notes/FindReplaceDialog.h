#pragma once

#include "notes/FindReplace.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The modeless find dialog, or with a replace field the replace dialog. It
// only asks; its owner searches. The fields keep their contents while the
// program runs. Its texts come from its owner, found by these object names:
// the dialog itself, FindWhatLabel, ReplaceWithLabel, MatchWholeWord,
// MatchCase, FindNextButton, ReplaceButton, ReplaceAllButton, CancelButton.
class FindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Kind { Find, Replace };

    FindReplaceDialog(Kind kind, QWidget *parent);

    QString findText() const;
    QString replaceText() const;
    SearchOptions options() const;
    // Whether the last replace request was Replace All.
    bool replaceAllAsked() const { return m_replaceAll; }

    // Shows the dialog at position on the screen, or brings it to the front,
    // with the find text ready to be typed over.
    void showAt(QPoint position);

signals:
    void findNextRequested();
    void replaceRequested();

private:
    void createFields(Kind kind);
    void createButtons(Kind kind);
    void enableButtons();

    QLineEdit *m_findWhat = nullptr;
    QLineEdit *m_replaceWith = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QList<QPushButton *> m_searchButtons;
    bool m_replaceAll = false;
};
