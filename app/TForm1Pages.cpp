// The two views, their pages, the page loads and the save routine.
#include "app/TForm1.h"

#include "app/Captions.h"
#include "app/Environment.h"
#include "app/OtherVersion.h"
#include "controls/FarbButton.h"
#include "notes/NotePage.h"
#include "notes/NoteTitle.h"
#include "options/HintDisplay.h"
#include "passwords/PassCellField.h"
#include "passwords/PassGrid.h"
#include "resources/Bitmaps.h"

#include <QLabel>
#include <QScopedValueRollback>
#include <QTextDocument>

void TForm1::SpeichernOk()
{
    const bool notes = m_settings.DisplayNP == 0;
    if (notes)
        m_notePages.save(RichEdit1->document(), LanguageIndex);
    else
        savePassPage();
    PageSession &shown = notes ? static_cast<PageSession &>(m_notePages) : m_passPages;
    if (const auto other = m_savingUnattended ? std::nullopt : shown.takeOtherVersion())
        OtherVersion::tell(m_environment, this, *other, notes, LanguageIndex, m_conflictNotices);
}

void TForm1::DisplayOk()
{
    showView(m_settings.DisplayNP == 0, passwordsLocked());
    showCaptions(m_settings);
    refreshPosition();
    AlarmOk();
}

// The button shows the view it leads to.
void TForm1::FarbButton1Click()
{
    SpeichernOk();
    switchView(m_settings.DisplayNP == 0 ? 1 : 0);
}

// The flag is stored before it changes, so that a failed write leaves the
// window as it was.
void TForm1::switchView(int view)
{
    settingsFile().writeInteger(SettingsKeys::Window, u"DisplayNP", view);
    m_settings.DisplayNP = view;
    refreshToggleFace(FarbButton1);
    DisplayOk();
}

void TForm1::FarbButton7Click()
{
    SpeichernOk();
    const int shown = m_settings.DisplayAlarm != 0 ? 0 : 1;
    settingsFile().writeInteger(SettingsKeys::Window, u"DisplayAlarm", shown);
    m_settings.DisplayAlarm = shown;
    refreshToggleFace(FarbButton7);
    ApplyWindowShape();
    KeepOnTop();
}

void TForm1::refreshToggleFace(TFarbButton *button)
{
    const ToolbarFace face = toolbarFace(button->objectName(), toggleState());
    button->setGlyph(Bitmaps::bitmap(face.glyph));
    if (face.stateHint)
        HintDisplay::setHint(button, StateHint(LanguageIndex, *face.stateHint));
}

// The page is reloaded even when the step leads back to it.
void TForm1::turnPage(PageStep step)
{
    SpeichernOk();
    if (m_settings.DisplayNP == 0) {
        RichEditOk(pageAfter(step, m_settings.Note));
        RichEditFontBitOk();
    } else {
        StringGrid1Ok(pageAfter(step, m_settings.Pass));
    }
}

void TForm1::RichEditOk()
{
    RichEditOk(m_settings.Note);
}

// The new page is read and its number stored before anything changes:
// a page that cannot be read, or a number that cannot be stored, leaves
// the old page shown and current, so that no page is ever saved under
// another page's number.
void TForm1::RichEditOk(int page)
{
    NotePageSession::Read read = m_notePages.read(page);
    settingsFile().writeInteger(SettingsKeys::Window, u"Note", page);
    openNotePage(std::move(read));
}

// The page the settings name. One that cannot be read is reported and
// left alone: the editor stays empty and read-only, so that no save can
// overwrite the file, until another page is loaded.
void TForm1::loadStartPage()
{
    try {
        openNotePage(m_notePages.read(m_settings.Note));
    } catch (const KladdoError &error) {
        RichEdit1->setReadOnly(true);
        m_environment.showError(this, error.message());
    }
}

// Someone else's change of the page shown is shown, unless the page is
// edited here: then its save keeps both. A sync tool's copies are told of.
void TForm1::followFolder()
{
    followSettings();
    if (const QString notice = m_conflictNotices.takeNew(LanguageIndex); !notice.isEmpty())
        m_environment.showError(this, notice);
    if (m_settings.DisplayNP == 0 && m_notePages.isStale(RichEdit1->document()->isModified()))
        openNotePage(m_notePages.read(m_settings.Note), true);
    else if (m_settings.DisplayNP != 0 && !passwordsLocked() && m_passPages.isStale(StringGrid1->isModified())) {
        const QModelIndex cell = StringGrid1->currentIndex();
        openPassPage(m_settings.Pass, m_passPages.read(m_settings.Pass));
        StringGrid1->setCurrentCell(cell.row(), cell.column());
    }
}

void TForm1::openNotePage(NotePageSession::Read read, bool keepView)
{
    m_settings.Note = read.page;
    NotePageSession::Opened opened = m_notePages.open(std::move(read), LanguageIndex);
    showNoteCaptions(m_settings);
    AlarmOk();
    RichEdit1->setReadOnly(false);
    putInEditor(std::move(opened.document), opened.recovered, keepView);
    KeepOnTop();
    refreshPosition();
    tellOfRecovery();
}

void TForm1::putInEditor(std::unique_ptr<QTextDocument> document, bool recovered, bool keepView)
{
    const QScopedValueRollback replacing(m_replacingPage, true);
    RichEdit1->replaceDocument(std::move(document), keepView);
    RichEdit1->document()->setModified(recovered);
}

// The marked text of the view shown titles that view's current page.
void TForm1::FarbButton6Click()
{
    // A masked password is refused as a title, and so leaves the one there is.
    if (m_settings.DisplayNP != 0 && Edit2->isMasked() && Edit2->hasSelectedText())
        return;
    const QString marked = m_settings.DisplayNP == 0 ? RichEdit1->selectedText() : Edit2->markedText();
    setCurrentTitle(NoteTitle::fromMarkedText(marked));
}

// Stored first: a title note.ini does not hold is not shown either.
void TForm1::setCurrentTitle(const QString &title)
{
    const bool notes = m_settings.DisplayNP == 0;
    const int page = notes ? m_settings.Note : m_settings.Pass;
    settingsFile().writeString(notes ? SettingsKeys::NoteTitle : SettingsKeys::PassTitle,
                               SettingsKeys::titleKey(page), title);
    (notes ? m_settings.NoteTitle : m_settings.PassTitle)[page] = title;
    Label1->setText(Captions::pageCaption(page, title));
}

void TForm1::ZS(int Line, int Col)
{
    showPosition(Captions::positionText(Line, Col));
}

void TForm1::refreshPosition()
{
    if (m_settings.DisplayNP == 0) {
        const CaretPosition caret = RichEdit1->caretPosition();
        ZS(caret.line, caret.column);
    } else {
        ZS(std::max(StringGrid1->currentRow(), 1) - 1, std::max(StringGrid1->currentColumn(), 0));
    }
}
