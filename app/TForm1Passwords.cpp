// The password view: its page load and save, the mask, and the grid's keys.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "app/VaultLockPanel.h"
#include "controls/ControlAccessibility.h"
#include "controls/FarbButton.h"
#include "passwords/PassCellField.h"
#include "passwords/PassGrid.h"
#include "platform/CoreDumps.h"

#include <QScopeGuard>

void TForm1::connectPassGrid()
{
    m_passClipboard = std::make_unique<PassGridClipboard>(*StringGrid1, m_environment);
    m_passClipboard->followKeys(*this,
                                [this](std::function<void()> work) { runGuardedWhenIdle(std::move(work)); });
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

// The derivation takes about a second, which the panel says.
void TForm1::unlockVault(const QString &password)
{
    VaultLock->reset(VaultLockPanel::openingText(LanguageIndex));
    VaultLock->repaint();
    try {
        if (!m_passPages.vault().unlock(password)) {
            VaultLock->reset(VaultLockPanel::wrongPasswordText(LanguageIndex));
            return;
        }
    } catch (const KladdoError &error) {
        VaultLock->reset(VaultLockPanel::unopenedText(error.message(), LanguageIndex));
        return;
    }
    unlockedVault();
    showView(m_settings.DisplayNP == 0);
    openPassPage(m_settings.Pass, m_passPages.read(m_settings.Pass));
}

// From the first opening on, the process keeps its memory to itself, and
// the session's lock or the computer's sleep lock the vault.
void TForm1::unlockedVault()
{
    if (!m_sessionLock) {
        CoreDumps::forbid();
        m_sessionLock = std::make_unique<SessionLockWatch>(winId());
        connect(m_sessionLock.get(), &SessionLockWatch::locking, this,
                [this] { runGuardedWhenIdle([this] { lockVault(); }); });
    }
    const SecretDelays delays = m_environment.secretDelays();
    m_vaultIdle.start(delays.minute * m_passPages.vault().lockMinutes());
    m_passClipboard->clearAfter(delays.clipboard);
}

// The page is saved first; when that fails the vault stays open, and
// locks at the next idle time.
void TForm1::lockVault()
{
    if (!m_passPages.vault().isUnlocked())
        return;
    m_vaultIdle.stop();
    auto retry = qScopeGuard([this] { unlockedVault(); });
    savePassPage();
    retry.dismiss();
    m_passClipboard->clearPassword();
    m_passClipboard->clearAfter(std::nullopt);
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
