#include "app/SearchDialogs.h"

#include "app/MainWindowLayout.h"
#include "notes/FindReplace.h"
#include "notes/FindReplaceDialog.h"
#include "notes/NoteEditor.h"
#include "options/ControlTexts.h"
#include "options/LanguageTables.h"

SearchDialogs::SearchDialogs(QWidget &window, NoteEditor &editor, Hooks hooks)
    : m_window(window), m_editor(editor), m_hooks(std::move(hooks))
{
}

// Left of the editor's right edge by the dialog's offset, at the window's
// top. The x is a screen coordinate as it stands: the window's own place is
// not added.
QPoint SearchDialogs::placeAt(int offset) const
{
    const QRect editor = MainWindowLayout::placeOf(u"RichEdit1");
    return QPoint(editor.x() + editor.width() - offset, m_window.y());
}

void SearchDialogs::showFind()
{
    findDialog()->showAt(placeAt(119));
}

void SearchDialogs::showReplace()
{
    replaceDialog()->showAt(placeAt(110));
}

void SearchDialogs::findAgain()
{
    if (m_lastSearch)
        findWith(*m_lastSearch);
}

FindReplaceDialog *SearchDialogs::findDialog()
{
    if (!FindDialog1) {
        FindDialog1 = new FindReplaceDialog(FindReplaceDialog::Kind::Find, &m_window);
        QObject::connect(FindDialog1, &FindReplaceDialog::findNextRequested, &m_window,
                         [this] { m_hooks.guarded([this] { FindDialog1Find(); }); });
        setTexts(m_languageIndex);
    }
    return FindDialog1;
}

FindReplaceDialog *SearchDialogs::replaceDialog()
{
    if (!ReplaceDialog1) {
        ReplaceDialog1 = new FindReplaceDialog(FindReplaceDialog::Kind::Replace, &m_window);
        QObject::connect(ReplaceDialog1, &FindReplaceDialog::findNextRequested, &m_window,
                         [this] { m_hooks.guarded([this] { ReplaceDialog1Find(); }); });
        QObject::connect(ReplaceDialog1, &FindReplaceDialog::replaceRequested, &m_window,
                         [this] { m_hooks.guarded([this] { ReplaceDialog1Replace(); }); });
        setTexts(m_languageIndex);
    }
    return ReplaceDialog1;
}

void SearchDialogs::setTexts(int languageIndex)
{
    m_languageIndex = languageIndex;
    if (FindDialog1)
        ControlTexts::applyCaptions(FindDialog1, LanguageTables::findDialogTexts(), languageIndex);
    if (ReplaceDialog1)
        ControlTexts::applyCaptions(ReplaceDialog1, LanguageTables::replaceDialogTexts(), languageIndex);
}

void SearchDialogs::raiseOpen()
{
    for (FindReplaceDialog *dialog : {FindDialog1, ReplaceDialog1}) {
        if (dialog && dialog->isVisible())
            dialog->raise();
    }
}

void SearchDialogs::FindDialog1Find()
{
    findWith(*FindDialog1);
}

// The replace dialog's Find Next searches as the find dialog does.
void SearchDialogs::ReplaceDialog1Find()
{
    findWith(*ReplaceDialog1);
}

void SearchDialogs::findWith(FindReplaceDialog &dialog)
{
    m_lastSearch = &dialog;
    if (m_hooks.pageShown() && FindReplace::findNext(m_editor, dialog.findText(), dialog.options()))
        m_hooks.showHit();
}

void SearchDialogs::ReplaceDialog1Replace()
{
    if (!m_hooks.pageShown())
        return;
    FindReplaceDialog &dialog = *ReplaceDialog1;
    m_lastSearch = &dialog;
    const bool replaced =
        dialog.replaceAllAsked()
            ? FindReplace::replaceAll(m_editor, dialog.findText(), dialog.replaceText(), dialog.options()) > 0
            : FindReplace::replaceNext(m_editor, dialog.findText(), dialog.replaceText(), dialog.options());
    if (replaced)
        m_hooks.showHit();
}
