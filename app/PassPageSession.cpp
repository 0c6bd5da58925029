#include "app/PassPageSession.h"

#include "vault/VaultPages.h"

#include <QFileInfo>

namespace {

// Null when a cell cannot be stored; the grid refuses such text, so this
// is not expected to happen.
QByteArray bytesOf(const PassPageCells &cells)
{
    try {
        return cells.toRecord().bytes();
    } catch (const PassCellError &) {
        return {};
    }
}

} // namespace

PassPageSession::PassPageSession(QString dataFolder, RecoveryWriter &writer, RecoveryNotices &notices,
                                 std::function<const PassPageCells &()> shown,
                                 const Environment &environment)
    : PageSession(LanguageTables::PageKind::Password, writer, notices,
                  [shown = std::move(shown)] { return bytesOf(shown()); }, environment),
      m_dataFolder(std::move(dataFolder))
{
}

PassPageLoad PassPageSession::read(int page) const
{
    return PassPageFile(PassPageFile::pathFor(m_dataFolder, page)).load();
}

// The program does not open a vault yet: beside one, writing the pass files
// would put the passwords back where anyone with the files reads them.
QString PassPageSession::readOnlyReason(int languageIndex) const
{
    if (!QFileInfo::exists(VaultPages::pathFor(m_dataFolder)))
        return m_protection.readOnlyReason(languageIndex);
    return languageIndex == LanguageTables::German
               ? QStringLiteral("Diese Seite ist schreibgeschützt: die Kennwörter liegen im Tresor passwords.kdbx, "
                                "den diese Version nicht öffnet (kladdo-data vault export).")
               : QStringLiteral("This page is read-only: the passwords are in the vault passwords.kdbx, which this "
                                "version does not open (kladdo-data vault export).");
}

PassPageSession::Opened PassPageSession::open(int page, const PassPageLoad &load, int languageIndex)
{
    const QString path = PassPageFile::pathFor(m_dataFolder, page);
    m_protection = PassPageProtection(path, load);
    const std::optional<QByteArray> recovered =
        take(page, path, load.stamp, PassPageFile::recordDamage, languageIndex);
    Opened opened;
    opened.recovered = recovered.has_value();
    opened.cells = recovered ? PassPageFile::fromBytes(*recovered).cells : load.cells;
    opened.readOnlyReason = readOnlyReason(languageIndex);
    opened.notice = m_protection.notice(languageIndex);
    return opened;
}

bool PassPageSession::needsConsent(bool changed) const
{
    return m_protection.saveFor(changed) == PassPageProtection::Save::AskFirst;
}

void PassPageSession::save(const PassPageCells &cells, bool changed,
                           const std::function<bool(const QString &)> &confirm, int languageIndex)
{
    switch (m_protection.saveFor(changed)) {
    case PassPageProtection::Save::Skip:
        return;
    case PassPageProtection::Save::AskFirst:
        if (!confirm(m_protection.question(languageIndex))) {
            changes().discard();
            return;
        }
        m_protection.consent();
        break;
    case PassPageProtection::Save::Write:
        break;
    }
    if (!readyToWrite(changed, languageIndex))
        return;
    try {
        saved(PassPageFile(path()).save(cells));
    } catch (const PassCellError &error) {
        // Its own message is English, for the data tool.
        throw KladdoError(error.textIn(languageIndex));
    }
}
