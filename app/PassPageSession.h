#pragma once

#include "app/PageSession.h"

class Environment;
#include "passwords/PassPageFile.h"
#include "passwords/PassPageProtection.h"
#include "vault/VaultStore.h"

// The password page shown: DATA/pass<N>.dat, with what guards a damaged
// or unreadable file from being written over; or, once the folder has a
// vault, the page in DATA/passwords.kdbx while it is unlocked.
class PassPageSession : public PageSession
{
public:
    // shown gives the cells the user sees, and environment the clock for
    // the name of a version someone else saved.
    PassPageSession(QString dataFolder, RecoveryWriter &writer, RecoveryNotices &notices,
                    std::function<const PassPageCells &()> shown,
                    const Environment &environment);

    // Beside a vault the pass files are never read or written.
    bool hasVault() const { return m_vault.isUnlocked() || m_vault.exists(); }
    VaultStore &vault() { return m_vault; }
    const VaultStore &vault() const { return m_vault; }

    // Never throws: a file that cannot be read gives an empty page. A
    // vault is read again when it changed; a locked one gives an empty
    // page, which is not to be shown.
    PassPageLoad read(int page);

    // What to show of a page that is now the one held; the texts are in
    // the language of languageIndex.
    struct Opened
    {
        PassPageCells cells;
        // Changes the last run left unsaved: the next save writes them.
        bool recovered = false;
        QString readOnlyReason;
        // The file's own damage, still told with recovered changes.
        QString notice;
    };
    Opened open(int page, const PassPageLoad &load, int languageIndex);

    QString readOnlyReason(int languageIndex) const;

    // Whether saving the page, changed as said, needs the user's consent.
    bool needsConsent(bool changed) const;
    // Writes cells over the page's file unless that file must be kept, or
    // someone else saved it since and the page is unchanged; confirm asks
    // the user the question about a damaged file. A failed
    // write of a changed page throws KladdoError and stops whatever asked
    // for the save; an unchanged page already stands in its file as shown,
    // so its failed rewrite loses nothing and must not hold the user up.
    void save(const PassPageCells &cells, bool changed, const std::function<bool(const QString &)> &confirm,
              int languageIndex);

private:
    // What a recovery file may hold of the page shown: beside a vault only
    // the vault, enciphered.
    QByteArray recoveryContent(const PassPageCells &cells) const;
    void saveInVault(const PassPageCells &cells, bool changed, int languageIndex);

    QString m_dataFolder;
    PassPageProtection m_protection;
    VaultStore m_vault;
};
