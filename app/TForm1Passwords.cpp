// The password view: its page load and save, the mask, and the grid's keys.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "app/VaultLockPanel.h"
#include "controls/ControlAccessibility.h"
#include "controls/FarbButton.h"
#include "passwords/PassCellField.h"
#include "passwords/PassGrid.h"

#include <QScopeGuard>

void TForm1::connectPassGrid()
{
    m_passClipboard = std::make_unique<PassGridClipboard>(*StringGrid1, m_environment);
    m_passClipboard->followKeys(*this,
                                [this](std::function<void()> work) { runGuardedWhenIdle(std::move(work)); });
    m_vaultGuard = std::make_unique<VaultGuard>(m_environment, *m_passClipboard,
                                                [this] { runGuardedWhenIdle([this] { lockVault(); }); });
    connectGuarded(StringGrid1, &PassGrid::currentCellChanged, &TForm1::refreshPosition);
    // Told once the key or edit that was refused has ended.
    connect(
        StringGrid1, &PassGrid::entryRefused, this,
        [this](const QString &why) {
            runGuardedWhenIdle([this, why] { m_environment.showError(this, why); });
        },
        Qt::QueuedConnection);
    connect(VaultLock, &VaultLockPanel::unlockRequested, this, [this](const QString &password) {
        runGuardedWhenIdle([this, password] { unlockVault(password); });
    });
}

void TForm1::loadStartPassPage()
{
    openPassPage(m_settings.Pass, m_passPages.read(m_settings.Pass));
}

void TForm1::StringGrid1Ok()
{
    StringGrid1Ok(m_settings.Pass);
}

// Read before the number is stored: a number that cannot be stored leaves
// the old page shown and current, so that no page is ever saved under
// another page's number.
void TForm1::StringGrid1Ok(int page)
{
    const PassPageLoad load = m_passPages.read(page);
    settingsFile().writeInteger(SettingsKeys::Window, u"Pass", page);
    openPassPage(page, load);
}

// The file's own damage is told after the page shows, and still guards
// the file.
void TForm1::openPassPage(int page, const PassPageLoad &load)
{
    m_settings.Pass = page;
    showPassCaptions(m_settings);
    KeepOnTop();
    if (passwordsLocked()) {
        showLockedPasswords();
        return;
    }
    StringGrid1->setFocus();
    const PassPageSession::Opened opened = m_passPages.open(page, load, LanguageIndex);
    if (opened.recovered)
        StringGrid1->setChangedPage(opened.cells, opened.readOnlyReason);
    else
        StringGrid1->setPage(opened.cells, opened.readOnlyReason);
    if (!opened.notice.isEmpty())
        m_environment.showError(this, opened.notice);
    refreshPosition();
    tellOfRecovery();
}

void TForm1::savePassPage()
{
    m_passPages.save(
        StringGrid1->page(), StringGrid1->isModified(),
        [this](const QString &question) { return m_environment.confirm(this, question); }, LanguageIndex);
}

bool TForm1::passwordsLocked() const
{
    return m_passPages.hasVault() && !m_passPages.vault().isUnlocked();
}

// The grid lets go of the rows the vault forgot.
void TForm1::showLockedPasswords()
{
    StringGrid1->setPage(PassPageCells(), QString());
    VaultLock->reset();
    if (m_settings.DisplayNP != 0)
        showView(false, true);
}

void TForm1::unlockVault(const QString &password)
{
    if (!VaultLock->unlock(m_passPages.vault(), password, LanguageIndex))
        return;
    m_vaultGuard->opened(m_passPages.vault().lockMinutes(), winId());
    showView(m_settings.DisplayNP == 0);
    openPassPage(m_settings.Pass, m_passPages.read(m_settings.Pass));
}

// The page is saved first; when that fails the vault stays open, and
// locks at the next idle time.
void TForm1::lockVault()
{
    if (!m_passPages.vault().isUnlocked())
        return;
    m_vaultGuard->closed();
    auto retry = qScopeGuard([this] { m_vaultGuard->opened(m_passPages.vault().lockMinutes(), winId()); });
    savePassPage();
    retry.dismiss();
    m_passPages.vault().lock();
    showLockedPasswords();
}

void TForm1::FarbButton16Click()
{
    PasswordsHidden = !PasswordsHidden;
    StringGrid1->setMasked(PasswordsHidden);
    ControlAccessibility::setChecked(FarbButton16, !PasswordsHidden);
    refreshToggleFace(FarbButton16);
}
