#pragma once

#include <QPoint>

#include <functional>

class FindReplaceDialog;
class NoteEditor;
class QWidget;

// The find and replace dialogs over the note editor. Each is made at its
// first use and kept for the run, so that it keeps its fields.
class SearchDialogs
{
public:
    struct Hooks
    {
        // Runs a dialog's request as the window runs its own handlers.
        std::function<void(std::function<void()>)> guarded;
        // Whether the page may be searched now: the dialogs stay open in the
        // password view, where the page is hidden and not saved.
        std::function<bool()> pageShown;
        // After a hit, or a replacement, was selected.
        std::function<void()> showHit;
    };
    SearchDialogs(QWidget &window, NoteEditor &editor, Hooks hooks);

    // Opens a dialog at its place, or brings it to the front.
    void showFind();
    void showReplace();
    // Runs the search that ran last again; nothing before the first.
    void findAgain();
    void setTexts(int languageIndex);
    // The dialogs that are open, raised above the window.
    void raiseOpen();

    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();

private:
    QPoint placeAt(int offset) const;
    FindReplaceDialog *findDialog();
    FindReplaceDialog *replaceDialog();
    void findWith(FindReplaceDialog &dialog);

    QWidget &m_window;
    NoteEditor &m_editor;
    Hooks m_hooks;
    int m_languageIndex = 1;
    FindReplaceDialog *FindDialog1 = nullptr;
    FindReplaceDialog *ReplaceDialog1 = nullptr;
    // The dialog whose search ran last, which F3 runs again.
    FindReplaceDialog *m_lastSearch = nullptr;
};
