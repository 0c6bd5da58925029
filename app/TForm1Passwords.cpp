// The password view: its page load and save, the mask, and the clipboard
// of the grid and its processing field.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "controls/ControlAccessibility.h"
#include "controls/FarbButton.h"
#include "passwords/PassCellField.h"
#include "passwords/PassGrid.h"
#include "passwords/PassPageFile.h"
#include "passwords/PasswordClipboard.h"

#include <QMimeData>

void TForm1::connectPassGrid()
{
    connectGuarded(StringGrid1, &PassGrid::pasteKeyPressed, &TForm1::pastePassCell);
    connectGuarded(StringGrid1, &PassGrid::copyKeyPressed, &TForm1::copyPassCell);
    connectGuarded(StringGrid1, &PassGrid::currentCellChanged, &TForm1::refreshPosition);
    // Told once the key or edit that was refused has ended.
    connect(
        StringGrid1, &PassGrid::entryRefused, this,
        [this](const QString &why) {
            runWhenIdle([this, why] { runGuarded([this, why] { m_environment.showError(this, why); }); });
        },
        Qt::QueuedConnection);
}

QString TForm1::passPagePath(int page) const
{
    return PassPageFile::pathFor(dataPath(QString()), page);
}

void TForm1::loadStartPassPage()
{
    showPassPage(Pass, PassPageFile(passPagePath(Pass)).load());
    tellOfRecovery();
}

void TForm1::StringGrid1Ok()
{
    StringGrid1Ok(Pass);
}

// Read before the number is stored: a number that cannot be stored leaves
// the old page shown and current, so that no page is ever saved under
// another page's number.
void TForm1::StringGrid1Ok(int page)
{
    const PassPageLoad load = PassPageFile(passPagePath(page)).load();
    settingsFile().writeInteger(SettingsKeys::Window, u"Pass", page);
    Pass = page;
    showPassCaptions();
    KeepOnTop();
    StringGrid1->setFocus();
    showPassPage(page, load);
    refreshPosition();
    tellOfRecovery();
}

// Recovered changes are unsaved changes: the next save writes them. The
// file's own damage is still told, and still guards the file.
void TForm1::showPassPage(int page, const PassPageLoad &load)
{
    const QString path = passPagePath(page);
    m_passProtection = PassPageProtection(path, load);
    const std::optional<QByteArray> recovered =
        takeRecovery(m_passChanges, path, load.stamp, page, LanguageTables::PageKind::Password);
    const QString readOnlyReason = m_passProtection.readOnlyReason(LanguageIndex);
    if (recovered)
        StringGrid1->setChangedPage(PassPageFile::fromBytes(*recovered).cells, readOnlyReason);
    else
        StringGrid1->setPage(load.cells, readOnlyReason);
    if (const QString notice = m_passProtection.notice(LanguageIndex); !notice.isEmpty())
        m_environment.showError(this, notice);
}

// Every save writes the page, changed or not, unless its file must be kept.
// A failed write of a changed page throws and stops whatever asked for the
// save; an unchanged page already stands in its file as shown, so its
// failed rewrite loses nothing and must not hold the user up.
void TForm1::savePassPage()
{
    switch (m_passProtection.saveFor(StringGrid1->isModified())) {
    case PassPageProtection::Save::Skip:
        return;
    case PassPageProtection::Save::AskFirst:
        if (!m_environment.confirm(this, m_passProtection.question(LanguageIndex))) {
            m_passChanges.discard();
            return;
        }
        m_passProtection.consent();
        break;
    case PassPageProtection::Save::Write:
        break;
    }
    try {
        m_passChanges.saved(PassPageFile(passPagePath(Pass)).save(StringGrid1->page()));
    } catch (const PassPageWriteError &) {
        if (StringGrid1->isModified())
            throw;
    } catch (const PassCellError &error) {
        // Its own message is English, for the data tool.
        throw KladdoError(error.textIn(LanguageIndex));
    }
}

void TForm1::FarbButton16Click()
{
    PasswordsHidden = !PasswordsHidden;
    StringGrid1->setMasked(PasswordsHidden);
    ControlAccessibility::setChecked(FarbButton16, !PasswordsHidden);
    refreshToggleFace(FarbButton16);
}

void TForm1::copyPassCell()
{
    const std::optional<PassCellCopy> copied = StringGrid1->textToCopy();
    if (!copied)
        return;
    m_environment.setClipboardMimeData(PasswordClipboard::mimeData(copied->text, copied->secret));
    m_clipboardPassword = copied->secret ? copied->text : QString();
}

void TForm1::pastePassCell()
{
    const QMimeData *data = m_environment.clipboardMimeData();
    StringGrid1->paste(data && data->hasText() ? data->text() : QString());
}

// A password of ours still on the clipboard does not outlive the program.
void TForm1::clearPasswordFromClipboard()
{
    if (!m_clipboardPassword.isEmpty()
        && PasswordClipboard::holdsSecret(m_environment.clipboardMimeData(), m_clipboardPassword))
        m_environment.clearClipboard();
}
