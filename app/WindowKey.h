#pragma once

#include "platform/GlobalKey.h"

#include <QString>

// The global key as the main window holds it: named by Qt's portable text
// as note.ini stores it, given up while the options dialog records another,
// and found taken by another program told only once for each key.
class WindowKey
{
public:
    explicit WindowKey(GlobalKey &key) : m_key(key) {}

    // Takes the key named by text for the window with native handle window.
    GlobalKey::State take(const QString &text, quintptr window);
    // What taking text would give, the key given up again at once.
    GlobalKey::State tryOut(const QString &text, quintptr window);
    // Gives the key up for a while; state() stays as it was taken.
    void release();
    GlobalKey::State state() const { return m_state; }

    // True the first time the key taken last was found taken.
    bool isNewlyTaken();

    // The key as the user's keyboard names it ("Strg+Alt+K"); text as it
    // stands if it names no key.
    static QString shownText(const QString &text);

private:
    GlobalKey &m_key;
    GlobalKey::State m_state = GlobalKey::State::Off;
    QString m_text;
    QString m_toldTaken;
};
