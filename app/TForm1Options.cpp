// The options dialog as the main window opens it, and what the dialog may
// do to the window.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "app/MainWindowLayout.h"
#include "app/VaultDialog.h"
#include "options/KladdoDlg.h"

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
