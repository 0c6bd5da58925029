// Find and replace over the note page shown, and the window's keys.
#include "app/TForm1.h"

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
        {Qt::CTRL | Qt::Key_F, &TForm1::FarbButton10Click},
        {Qt::CTRL | Qt::Key_H, &TForm1::FarbButton8Click},
        {QKeyCombination(Qt::Key_F3), &TForm1::FindAgainKeyPressed},
        {Qt::CTRL | Qt::Key_PageDown, &TForm1::FarbButton4Click},
        {Qt::CTRL | Qt::Key_PageUp, &TForm1::FarbButton3Click},
    };
    for (const Shortcut &shortcut : kShortcuts)
        connectGuarded(new QShortcut(QKeySequence(shortcut.key), this), &QShortcut::activated, shortcut.command);
}

void TForm1::createSearchDialogs()
{
    m_search = std::make_unique<SearchDialogs>(
        *this, *RichEdit1,
        SearchDialogs::Hooks{[this](std::function<void()> request) { runGuardedWhenIdle(std::move(request)); },
                             [this] { return m_settings.DisplayNP == 0; }, [this] { showHit(); }});
}

void TForm1::FindAgainKeyPressed()
{
    m_search->findAgain();
}

// Their keys do nothing in the password view.
void TForm1::FarbButton10Click()
{
    if (m_settings.DisplayNP == 0)
        m_search->showFind();
}

void TForm1::FarbButton8Click()
{
    if (m_settings.DisplayNP == 0)
        m_search->showReplace();
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
