// Find and replace over the note page shown.
#include "app/TForm1.h"

#include "app/MainWindowLayout.h"
#include "notes/FindReplace.h"
#include "notes/FindReplaceDialog.h"
#include "options/ControlTexts.h"

#include <QShortcut>

// The buttons never take the focus, so their commands have keys of their
// own, wherever the focus is in the window. Find and replace keep to the
// note view, as their buttons do.
void TForm1::createShortcuts()
{
    struct Shortcut
    {
        QKeyCombination key;
        void (TForm1::*command)();
    };
    static constexpr Shortcut kShortcuts[] = {
        {Qt::CTRL | Qt::Key_F, &TForm1::FindKeyPressed},
        {Qt::CTRL | Qt::Key_H, &TForm1::ReplaceKeyPressed},
        {QKeyCombination(Qt::Key_F3), &TForm1::FindAgainKeyPressed},
        {Qt::CTRL | Qt::Key_PageDown, &TForm1::FarbButton4Click},
        {Qt::CTRL | Qt::Key_PageUp, &TForm1::FarbButton3Click},
    };
    for (const Shortcut &shortcut : kShortcuts)
        connectGuarded(new QShortcut(QKeySequence(shortcut.key), this), &QShortcut::activated, shortcut.command);
}

void TForm1::FindKeyPressed()
{
    if (m_settings.DisplayNP == 0)
        FarbButton10Click();
}

void TForm1::ReplaceKeyPressed()
{
    if (m_settings.DisplayNP == 0)
        FarbButton8Click();
}

// Nothing was searched yet: there is nothing to find again.
void TForm1::FindAgainKeyPressed()
{
    if (m_lastSearch)
        findWith(*m_lastSearch);
}

// The dialogs open left of the editor's right edge by their offset, at the
// window's top. The x is a screen coordinate as it stands: the window's own
// place is not added.
void TForm1::FarbButton10Click()
{
    showSearchDialog(findDialog(), 119);
}

void TForm1::FarbButton8Click()
{
    showSearchDialog(replaceDialog(), 110);
}

void TForm1::showSearchDialog(FindReplaceDialog *dialog, int offset)
{
    const QRect editor = MainWindowLayout::placeOf(u"RichEdit1");
    dialog->showAt(QPoint(editor.x() + editor.width() - offset, y()));
}

// Created at first use, each once for the run, so they keep their fields.
FindReplaceDialog *TForm1::findDialog()
{
    if (!FindDialog1) {
        FindDialog1 = new FindReplaceDialog(FindReplaceDialog::Kind::Find, this);
        connectGuarded(FindDialog1, &FindReplaceDialog::findNextRequested, &TForm1::FindDialog1Find);
        setSearchDialogTexts();
    }
    return FindDialog1;
}

FindReplaceDialog *TForm1::replaceDialog()
{
    if (!ReplaceDialog1) {
        ReplaceDialog1 = new FindReplaceDialog(FindReplaceDialog::Kind::Replace, this);
        connectGuarded(ReplaceDialog1, &FindReplaceDialog::findNextRequested, &TForm1::ReplaceDialog1Find);
        connectGuarded(ReplaceDialog1, &FindReplaceDialog::replaceRequested, &TForm1::ReplaceDialog1Replace);
        setSearchDialogTexts();
    }
    return ReplaceDialog1;
}

void TForm1::setSearchDialogTexts()
{
    if (FindDialog1)
        ControlTexts::applyCaptions(FindDialog1, LanguageTables::findDialogTexts(), LanguageIndex);
    if (ReplaceDialog1)
        ControlTexts::applyCaptions(ReplaceDialog1, LanguageTables::replaceDialogTexts(), LanguageIndex);
}

void TForm1::FindDialog1Find()
{
    findWith(*FindDialog1);
}

// The replace dialog's Find Next searches as the find dialog does.
void TForm1::ReplaceDialog1Find()
{
    findWith(*ReplaceDialog1);
}

// The dialogs stay open in the password view, but the page they would
// search is hidden there and not saved: they do nothing until it shows.
void TForm1::findWith(FindReplaceDialog &dialog)
{
    m_lastSearch = &dialog;
    if (m_settings.DisplayNP == 0 && FindReplace::findNext(*RichEdit1, dialog.findText(), dialog.options()))
        showHit();
}

void TForm1::ReplaceDialog1Replace()
{
    if (m_settings.DisplayNP != 0)
        return;
    FindReplaceDialog &dialog = *ReplaceDialog1;
    m_lastSearch = &dialog;
    const bool replaced =
        dialog.replaceAllAsked()
            ? FindReplace::replaceAll(*RichEdit1, dialog.findText(), dialog.replaceText(), dialog.options()) > 0
            : FindReplace::replaceNext(*RichEdit1, dialog.findText(), dialog.replaceText(), dialog.options());
    if (replaced)
        showHit();
}

// The style pictures follow the new selection too, so that a click on one
// applies the styles the hit has.
void TForm1::showHit()
{
    activateWindow();
    RichEdit1->setFocus();
    RichEditFontBitOk();
    refreshPosition();
}
