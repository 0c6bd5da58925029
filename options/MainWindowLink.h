#pragma once

#include "controls/WinColor.h"
#include "platform/GlobalKey.h"
#include "platform/LoginStart.h"

#include <array>
#include <functional>
#include <optional>

class QWidget;
struct WindowSettings;

// What the options dialog may do to the main window, so that the dialog
// never depends on the window's own code.
class MainWindowLink
{
public:
    // The settings the dialog shows and changes in place.
    virtual WindowSettings &windowSettings() = 0;

    // The window's opacity, 0 (invisible) to 255 (opaque).
    virtual int opacityAlpha() const = 0;
    virtual void setOpacityAlpha(int alpha) = 0;

    // The widths of the password grid's three columns as it shows them.
    virtual std::array<int, 3> passwordColumnWidths() const = 0;
    virtual void setPasswordColumnWidths(const std::array<int, 3> &widths) = 0;

    virtual void SpracheOk() = 0;
    virtual void HintOk() = 0;
    virtual void FarbeOk() = 0;
    virtual void RichEditOk() = 0;
    virtual void RichEditFontBitOk() = 0;

    // Sets, changes or removes the master password of the password pages
    // in a dialog above parent.
    virtual void manageVault(QWidget *parent) = 0;

    // The key that brings the window out from any program: as it stood
    // when the dialog opened, and what taking key (Qt's portable text)
    // would give. The dialog holds no key while it is open.
    virtual GlobalKey::State globalKeyState() const = 0;
    virtual GlobalKey::State tryGlobalKey(const QString &key) = 0;

    // The entry that starts this program at login, found afresh; setting
    // it throws KladdoError when it cannot be written or removed.
    virtual LoginStart::Found loginStart() const = 0;
    virtual void setLoginStart(bool on) = 0;

    // Throws KladdoError when note.ini cannot be written.
    virtual void SaveSettings() = 0;

    // The colour the user picks in a box above parent, starting from
    // initial; nothing when the user cancels.
    virtual std::optional<TColor> pickColor(QWidget *parent, TColor initial) = 0;

    // Runs the handler of one event as the window runs its own: a failure
    // ends it and is reported to the user.
    virtual void runGuarded(const std::function<void()> &handler) = 0;

protected:
    ~MainWindowLink() = default;
};
