#pragma once

#include "passwords/PassPageFile.h"
#include "platform/Languages.h"

#include <QString>

// Whether a page may be written over the file it was loaded from. A file
// that exists but cannot be read is never written: its page is shown empty
// and read-only. A damaged file is written over only with the user's
// consent, and only once the page has changed; until then nothing of it is
// lost.
class PassPageProtection
{
public:
    enum class Save { Write, Skip, AskFirst };

    // A page whose file was sound or missing: written at every save.
    PassPageProtection() = default;
    PassPageProtection(const QString &path, const PassPageLoad &load);

    // The texts are in the language of languageIndex.
    // Why the page cannot be edited; empty when it can.
    QString readOnlyReason(int languageIndex) const;
    // What to tell the user when the page is shown; empty for a sound file.
    QString notice(int languageIndex) const;

    Save saveFor(bool pageChanged) const;
    QString question(int languageIndex) const;
    // The user agreed: the page is written from now on.
    void consent() { m_consented = true; }

private:
    enum class State { Sound, Damaged, Unreadable };

    QString withPathAndDamage(const Languages::TextPair &text, int languageIndex) const;

    State m_state = State::Sound;
    QString m_path;
    // Both kept, since the language may change while the page is shown.
    QString m_germanDamage;
    QString m_englishDamage;
    bool m_consented = false;
};
