#pragma once

#include <QObject>

#include <memory>

// A key combination that reaches this program whichever program has the
// keyboard: on X11 a passive grab on the root window, on Windows a hot key.
class GlobalKey : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Off,         // no key asked for
        On,          // the key is ours
        Taken,       // another program holds it
        Unusable,    // no Ctrl, Alt or Meta with it, or a key the system has no code for
        Unavailable, // not on this desktop
    };

    // The system's; one that is always unavailable where the desktop
    // offers no way (a Wayland session without X).
    static std::unique_ptr<GlobalKey> forSystem(bool desktopOffersIt);

    // Without Ctrl, Alt or Meta only a function key could be spared by
    // every other program.
    static bool isUsable(QKeyCombination key);

    // Gives up the key held, then takes key for the top-level window whose
    // native handle is window; no key (QKeyCombination::fromCombined(0))
    // gives it up only.
    State take(QKeyCombination key, quintptr window);

signals:
    // The key went down; hadKeyboard: the window had the keyboard then.
    // Where the system allows, the keyboard has been moved to the window
    // already, so that what is typed next reaches it.
    void pressed(bool hadKeyboard);

protected:
    // Gives up the key held, if any.
    virtual void release() = 0;
    // Takes a usable key: On, Taken, Unusable for a key the system has no
    // code for, or Unavailable.
    virtual State grab(QKeyCombination key, quintptr window) = 0;
};
