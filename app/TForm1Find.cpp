// Find and replace over the note page shown.
#include "app/TForm1.h"

#include "app/MainWindowLayout.h"
#include "notes/FindReplace.h"
#include "notes/FindReplaceDialog.h"
#include "options/ControlTexts.h"

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
void TForm1::findWith(const FindReplaceDialog &dialog)
{
    if (DisplayNP == 0 && FindReplace::findNext(*RichEdit1, dialog.findText(), dialog.options()))
        showHit();
}

void TForm1::ReplaceDialog1Replace()
{
    if (DisplayNP != 0)
        return;
    const FindReplaceDialog &dialog = *ReplaceDialog1;
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
