#include "app/PageSession.h"

#include "app/Environment.h"
#include "notes/NotePage.h"
#include "passwords/PassPageFile.h"
#include "platform/ComputerName.h"
#include "platform/KladdoError.h"
#include "sync/ConflictCopies.h"
#include "vault/VaultPages.h"

#include <QDir>
#include <QFile>
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
                         std::function<QByteArray()> content, const Environment &environment)
    : m_kind(kind), m_notices(notices), m_changes(writer, std::move(content)), m_environment(environment)
{
}

QStringList PageSession::pageFileNames()
{
    QStringList names;
    for (int page = 0; page < NotePage::kPageCount; ++page)
        names << NotePage::fileName(page) << QFileInfo(PassPageFile::pathFor({}, page)).fileName();
    return names << VaultPages::fileName();
}

// Not even the version it holds is written over by an unedited page: the
// same bytes again are still a change to a sync tool, one that wins over
// the other computer's change made before the tool passed it on.
PageSession::Save PageSession::saveFor(bool edited, OnDisk onDisk)
{
    if (!edited)
        return Save::Skip;
    switch (onDisk) {
    case OnDisk::AsHeld:
    case OnDisk::Deleted:
        return Save::Write;
    case OnDisk::Changed:
    case OnDisk::Appeared:
        return Save::KeepOtherThenWrite;
    }
    return Save::Skip;
}

PageSession::FileNow PageSession::onDisk() const
{
    QFile file(m_path);
    if (!file.exists())
        return {m_version.isEmpty() ? OnDisk::AsHeld : OnDisk::Deleted, false, {}};
    if (!file.open(QIODevice::ReadOnly))
        return {OnDisk::AsHeld, true, {}};
    FileNow now{OnDisk::AsHeld, false, file.readAll()};
    const QByteArray version = RecoveryFile::stampOf(now.bytes);
    if (version != m_version)
        now.where = m_version.isEmpty() ? OnDisk::Appeared : OnDisk::Changed;
    return now;
}

// A file that cannot be read now is left to the write of an edited page,
// which tells what is wrong with it.
bool PageSession::readyToWrite(bool edited, int languageIndex)
{
    const FileNow now = onDisk();
    switch (now.unreadable && edited ? Save::Write : saveFor(edited, now.where)) {
    case Save::Skip:
        return false;
    case Save::KeepOtherThenWrite:
        keepOtherVersion(now.bytes, languageIndex);
        break;
    case Save::Write:
        break;
    }
    return true;
}

void PageSession::keepOtherVersion(const QByteArray &bytes, int languageIndex)
{
    const QFileInfo page(m_path);
    const QString name =
        ConflictCopies::ownConflictName(page.fileName(), m_environment.now(), ComputerName::shown());
    // A second one within the minute must not replace the first.
    QString kept = page.dir().filePath(name);
    for (int number = 2; QFileInfo::exists(kept); ++number)
        kept = page.dir().filePath(QString(name).insert(name.lastIndexOf(u')'), u' ' + QString::number(number)));
    if (const AtomicFile::Result written = AtomicFile::write(kept, bytes); !written.ok)
        throw KladdoError(LanguageTables::otherVersionUnkeptText(m_kind, m_page, page.fileName(),
                                                                 QDir::toNativeSeparators(kept),
                                                                 written.reason, languageIndex));
    m_otherVersion = OtherVersion{kept, LanguageTables::otherVersionKeptText(m_kind, m_page, page.fileName(),
                                                                             QDir::toNativeSeparators(kept),
                                                                             languageIndex)};
}

std::optional<QByteArray> PageSession::take(int page, const QString &path, const QByteArray &version,
                                            const RecoveryFile::ContentCheck &contentCheck, int languageIndex)
{
    m_page = page;
    m_path = path;
    m_version = version;
    m_changes.track(path, version);
    RecoveryFile::adoptOlderLayout(path);
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
        const std::optional<OtherVersion> other = takeOtherVersion();
        return other ? other->notice : QString();
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
