#include "app/PageSession.h"

#include "platform/KladdoError.h"

#include <QDir>
#include <QFileInfo>

namespace {

using LanguageTables::KeptReason;
using Verdict = RecoveryFile::Finding::Verdict;

QString whenText(const QDateTime &written)
{
    return written.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

KeptReason keptReason(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Older:
        return KeptReason::Older;
    case Verdict::PageChanged:
        return KeptReason::PageChanged;
    default:
        return KeptReason::Damaged;
    }
}

} // namespace

void RecoveryNotices::tell(const QString &path, QString notice)
{
    if (!m_told.contains(path)) {
        m_told.insert(path);
        m_notice = std::move(notice);
    }
}

PageSession::PageSession(LanguageTables::PageKind kind, RecoveryWriter &writer, RecoveryNotices &notices,
                         std::function<QByteArray()> content)
    : m_kind(kind), m_notices(notices), m_changes(writer, std::move(content))
{
}

std::optional<QByteArray> PageSession::take(int page, const QString &path, const QByteArray &version,
                                            const RecoveryFile::ContentCheck &contentCheck, int languageIndex)
{
    m_page = page;
    m_path = path;
    m_version = version;
    m_changes.track(path, version);
    RecoveryFile::Finding found = RecoveryFile::examine(path, contentCheck);
    switch (found.verdict) {
    case Verdict::None:
        return std::nullopt;
    case Verdict::Redundant:
        RecoveryFile::remove(path);
        return std::nullopt;
    case Verdict::Load:
        m_notices.tell(found.path, LanguageTables::recoveredPageText(m_kind, page, whenText(found.written),
                                                                     languageIndex));
        return std::move(found.content);
    case Verdict::Damaged:
    case Verdict::Older:
    case Verdict::PageChanged:
        keepAside(page, found, languageIndex);
        return std::nullopt;
    }
    return std::nullopt;
}

void PageSession::keepAside(int page, const RecoveryFile::Finding &found, int languageIndex)
{
    const RecoveryFile::Aside aside = RecoveryFile::keepAside(found);
    if (!aside.failure.isEmpty())
        m_changes.leaveRecoveryAlone();
    const QString pageFile = QFileInfo(m_path).fileName();
    const QString path = QDir::toNativeSeparators(aside.path);
    m_notices.tell(aside.path,
                   aside.failure.isEmpty()
                       ? LanguageTables::keptChangesText(m_kind, page, pageFile, keptReason(found.verdict),
                                                         whenText(found.written), path, languageIndex)
                       : LanguageTables::unmovedChangesText(m_kind, page, pageFile, keptReason(found.verdict),
                                                            whenText(found.written), path, aside.failure,
                                                            languageIndex));
}

void PageSession::saved(const QByteArray &version)
{
    m_version = version;
    m_changes.saved(version);
}

QString PageSession::saveOrKeep(const std::function<void()> &save)
{
    QString why;
    try {
        save();
        return {};
    } catch (const KladdoError &error) {
        why = error.message();
    } catch (const std::exception &error) {
        why = QString::fromUtf8(error.what());
    }
    const AtomicFile::Result kept = m_changes.keepNow();
    const QString recovery = QDir::toNativeSeparators(RecoveryFile::pathFor(m_path));
    return kept.ok ? QStringLiteral("%1; the changes are kept in %2").arg(why, recovery)
                   : QStringLiteral("%1, and the changes are lost: %2 cannot be written: %3")
                         .arg(why, recovery, kept.reason);
}
