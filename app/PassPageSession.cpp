#include "app/PassPageSession.h"

#include "app/Environment.h"

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
                  [this, shown = std::move(shown)] { return recoveryContent(shown()); }, environment),
      m_dataFolder(dataFolder), m_vault(VaultPages::pathFor(dataFolder))
{
}

QByteArray PassPageSession::recoveryContent(const PassPageCells &cells) const
{
    if (!hasVault())
        return bytesOf(cells);
    return m_vault.isUnlocked() ? m_vault.withPage(page(), cells, environment().now().toUTC()) : QByteArray();
}

// A damaged vault leaves the version held shown; its save keeps the
// damaged file aside.
PassPageLoad PassPageSession::read(int page)
{
    if (!hasVault())
        return PassPageFile(PassPageFile::pathFor(m_dataFolder, page)).load();
    PassPageLoad load;
    if (m_vault.isUnlocked()) {
        try {
            m_vault.follow();
        } catch (const KladdoError &) {
        }
    }
    if (m_vault.isUnlocked()) {
        load.cells = m_vault.cells(page);
        load.fileState = PassPageLoad::FileState::Complete;
        load.stamp = m_vault.stamp();
    }
    return load;
}

QString PassPageSession::readOnlyReason(int languageIndex) const
{
    return m_protection.readOnlyReason(languageIndex);
}

// Beside a vault the recovery file holds the vault, which only the key
// held opens.
PassPageSession::Opened PassPageSession::open(int page, const PassPageLoad &load, int languageIndex)
{
    const bool vault = hasVault();
    const QString path = vault ? m_vault.path() : PassPageFile::pathFor(m_dataFolder, page);
    m_protection = vault ? PassPageProtection() : PassPageProtection(path, load);
    const RecoveryFile::ContentCheck check = [this, vault, page](const QByteArray &bytes) {
        if (!vault)
            return PassPageFile::recordDamage(bytes);
        return m_vault.cellsIn(bytes, page) ? QString() : QStringLiteral("the vault's key does not open it");
    };
    const std::optional<QByteArray> recovered = take(page, path, load.stamp, check, languageIndex);
    Opened opened;
    opened.recovered = recovered.has_value();
    if (!recovered)
        opened.cells = load.cells;
    else
        opened.cells = vault ? *m_vault.cellsIn(*recovered, page) : PassPageFile::fromBytes(*recovered).cells;
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
    if (hasVault()) {
        saveInVault(cells, changed, languageIndex);
        return;
    }
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

// A locked vault holds no page the user could have changed.
void PassPageSession::saveInVault(const PassPageCells &cells, bool changed, int languageIndex)
{
    if (!m_vault.isUnlocked() || path() != m_vault.path() || !readyToWrite(changed, languageIndex))
        return;
    m_vault.save(page(), cells, environment().now().toUTC());
    saved(m_vault.stamp());
}
