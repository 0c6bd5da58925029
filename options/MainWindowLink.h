#pragma once

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

    virtual void SpracheOk() = 0;
    virtual void HintOk() = 0;
    virtual void FarbeOk() = 0;

    // Throws KladdoError when note.ini cannot be written.
    virtual void SaveSettings() = 0;

protected:
    ~MainWindowLink() = default;
};
