#include "passwords/PassPageProtection.h"

#include <QFileInfo>

PassPageProtection::PassPageProtection(const QString &path, const PassPageLoad &load)
    : m_path(QFileInfo(path).fileName())
    , m_damage(load.damageText())
{
    if (load.fileState == PassPageLoad::FileState::Unreadable)
        m_state = State::Unreadable;
    else if (load.isDamaged())
        m_state = State::Damaged;
}

QString PassPageProtection::readOnlyReason() const
{
    if (m_state != State::Unreadable)
        return {};
    return QStringLiteral("This page is read-only: %1 %2.").arg(m_path, m_damage);
}

QString PassPageProtection::notice() const
{
    switch (m_state) {
    case State::Sound:
        break;
    case State::Unreadable:
        return QStringLiteral("%1 %2. The page is shown empty and read-only, and the file is "
                              "left as it is.")
            .arg(m_path, m_damage);
    case State::Damaged:
        return QStringLiteral("%1 is damaged: %2. The page shows what could be read; the file is "
                              "written over only if you agree when the changed page is saved.")
            .arg(m_path, m_damage);
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

QString PassPageProtection::question() const
{
    return QStringLiteral("%1 is damaged: %2.\n\nSave this page over it? No leaves the file as it "
                          "is, without the changes made to this page.")
        .arg(m_path, m_damage);
}
