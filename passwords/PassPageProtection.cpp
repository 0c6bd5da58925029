#include "passwords/PassPageProtection.h"

#include <QFileInfo>

using Languages::TextPair;

PassPageProtection::PassPageProtection(const QString &path, const PassPageLoad &load)
    : m_path(QFileInfo(path).fileName())
    , m_germanDamage(load.damageText(Languages::German))
    , m_englishDamage(load.damageText(Languages::English))
{
    if (load.fileState == PassPageLoad::FileState::Unreadable)
        m_state = State::Unreadable;
    else if (load.isDamaged())
        m_state = State::Damaged;
}

QString PassPageProtection::readOnlyReason(int languageIndex) const
{
    if (m_state != State::Unreadable)
        return {};
    return withPathAndDamage(
        {u"Diese Seite ist schreibgeschützt: %1 %2.", u"This page is read-only: %1 %2."},
        languageIndex);
}

QString PassPageProtection::notice(int languageIndex) const
{
    switch (m_state) {
    case State::Sound:
        break;
    case State::Unreadable:
        return withPathAndDamage(
            {u"%1 %2. Die Seite wird leer und schreibgeschützt gezeigt, die Datei bleibt "
             u"unverändert.",
             u"%1 %2. The page is shown empty and read-only, and the file is left as it is."},
            languageIndex);
    case State::Damaged:
        return withPathAndDamage(
            {u"%1 ist beschädigt: %2. Die Seite zeigt, was gelesen werden konnte; die Datei wird "
             u"nur überschrieben, wenn Sie beim Speichern der geänderten Seite zustimmen.",
             u"%1 is damaged: %2. The page shows what could be read; the file is written over "
             u"only if you agree when the changed page is saved."},
            languageIndex);
    }
    return {};
}

PassPageProtection::Save PassPageProtection::saveFor(bool pageChanged) const
{
    if (m_state == State::Unreadable)
        return Save::Skip;
    if (m_state == State::Sound || m_consented)
        return Save::Write;
    return pageChanged ? Save::AskFirst : Save::Skip;
}

// The German text names no button: the buttons are the system's.
QString PassPageProtection::question(int languageIndex) const
{
    return withPathAndDamage(
        {u"%1 ist beschädigt: %2.\n\nSoll diese Seite darüber gespeichert werden? Sonst bleibt die "
         u"Datei, wie sie ist, ohne die Änderungen an dieser Seite.",
         u"%1 is damaged: %2.\n\nSave this page over it? No leaves the file as it is, without the "
         u"changes made to this page."},
        languageIndex);
}

// The text with the file name for %1 and what is damaged for %2.
QString PassPageProtection::withPathAndDamage(const TextPair &text, int languageIndex) const
{
    const QString &damage = languageIndex == Languages::German ? m_germanDamage : m_englishDamage;
    return text.in(languageIndex).arg(m_path, damage);
}
