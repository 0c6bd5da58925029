// The options dialog as the main window opens it, and what the dialog may
// do to the window.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "app/MainWindowLayout.h"
#include "app/VaultDialog.h"
#include "options/AtHandTexts.h"
#include "options/KladdoDlg.h"
#include "platform/KladdoError.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>

namespace {

constexpr int kOptionsOffset = 145;

} // namespace

// The x is a screen coordinate as it stands, like the search dialogs'; the
// window's own place is not added.
void TForm1::FarbButton11Click()
{
    SpeichernOk();
    KladdoDlg->KeepOnTop();
    const QRect editor = MainWindowLayout::placeOf(u"RichEdit1");
    const QPoint wanted(editor.x() + editor.width() - kOptionsOffset, y());
    KladdoDlg->move(m_place.fittedOnScreen(QRect(wanted, KladdoDlg->frameGeometry().size())));
    // Held, the key could not be recorded in the dialog's key field.
    m_windowKey.release();
    const auto retaken = qScopeGuard([this] { takeGlobalKey(false); });
    KladdoDlg->exec();
    SpracheOk();
    HintOk();
}

std::optional<TColor> TForm1::pickColor(QWidget *parent, TColor initial)
{
    const std::optional<QColor> picked = m_environment.pickColor(parent, WinColor::toQColor(initial));
    if (!picked)
        return std::nullopt;
    return WinColor::fromQColor(*picked);
}

// What the dialog did shows at once: a vault made or opened there, or the
// pass files back.
void TForm1::manageVault(QWidget *parent)
{
    savePassPage();
    VaultDialog dialog(m_passPages.vault(), dataPath({}), LanguageIndex, m_environment, parent);
    dialog.exec();
    if (m_passPages.vault().isUnlocked())
        m_vaultGuard->opened(m_passPages.vault().lockMinutes(), winId());
    else
        m_vaultGuard->closed();
    openPassPage(m_settings.Pass, m_passPages.read(m_settings.Pass));
    showView(m_settings.DisplayNP == 0, passwordsLocked());
}

// Told once for each key, at the start: the dialog shows it anyway.
void TForm1::takeGlobalKey(bool tellIfTaken)
{
    m_windowKey.take(m_settings.GlobalKey, winId());
    if (m_windowKey.isNewlyTaken() && tellIfTaken)
        m_environment.showError(this, AtHandTexts::keyTakenText(WindowKey::shownText(m_settings.GlobalKey), LanguageIndex));
}

GlobalKey::State TForm1::tryGlobalKey(const QString &key)
{
    return m_windowKey.tryOut(key, winId());
}

// This very program on this very data folder.
LoginStart::Command TForm1::loginCommand() const
{
    return {QCoreApplication::applicationFilePath(), QDir::cleanPath(dataPath({}))};
}

LoginStart::Found TForm1::loginStart() const
{
    return LoginStart::find(loginCommand());
}

void TForm1::setLoginStart(bool on)
{
    const AtomicFile::Result done = on ? LoginStart::add(loginCommand()) : LoginStart::remove();
    if (!done.ok)
        throw KladdoError(AtHandTexts::loginEntryFailedText(on, LoginStart::location(), done.reason, LanguageIndex));
}
