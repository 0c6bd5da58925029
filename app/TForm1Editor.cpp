// The note editor's companions: the style pictures, copy and paste, and
// what the editor's keys and mouse do besides editing.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "notes/NoteClipboard.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>

void TForm1::RichEditFontBitOk()
{
    m_style = RichEdit1->selectionStyle();
    showStyle(m_style);
}

void TForm1::RichEditFontOk()
{
    RichEdit1->applyStyle(m_style);
}

// All three flags are applied, not just the one clicked: the selection
// ends up in exactly the style the pictures show.
void TForm1::toggleStyle(bool CharStyle::*flag)
{
    m_style.*flag = !(m_style.*flag);
    showStyle(m_style);
    RichEditFontOk();
}

void TForm1::Image4Click()
{
    toggleStyle(&CharStyle::bold);
}

void TForm1::Image5Click()
{
    toggleStyle(&CharStyle::italic);
}

void TForm1::Image6Click()
{
    toggleStyle(&CharStyle::underline);
}

// Without a selection the clipboard keeps what it held.
void TForm1::FarbButton14Click()
{
    if (m_settings.DisplayNP != 0)
        m_passClipboard->copy();
    else if (QMimeData *selection = RichEdit1->selectionMimeData())
        m_environment.setClipboardMimeData(selection);
}

void TForm1::FarbButton15Click()
{
    if (m_settings.DisplayNP != 0)
        m_passClipboard->paste();
    else
        normalisingPaste();
}

// Whatever the clipboard holds goes in in the note font and size, its
// other attributes kept; the clipboard then holds that converted form. An
// empty clipboard inserts nothing and stays empty.
void TForm1::normalisingPaste()
{
    std::unique_ptr<QMimeData> converted(NoteClipboard::normalised(m_environment.clipboardMimeData()));
    if (converted && RichEdit1->insertMimeData(converted.get()))
        m_environment.setClipboardMimeData(converted.release());
    refreshPosition();
}

// Insert with Shift, whatever else is held, is the normalising paste and
// not the editor's own.
bool TForm1::RichEdit1KeyDown(const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Insert || !(key.modifiers() & Qt::ShiftModifier))
        return false;
    normalisingPaste();
    return true;
}

void TForm1::RichEdit1KeyUp()
{
    RichEditFontBitOk();
    refreshPosition();
}

void TForm1::RichEdit1MouseUp()
{
    RichEditFontBitOk();
    refreshPosition();
}
