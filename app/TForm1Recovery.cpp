// What keeps typing from being lost between the described saves: the
// recovery files of the pages shown, what is done with those a run left
// behind, and the save when the program ends without the user.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "notes/NotePage.h"
#include "options/LanguageTables.h"
#include "passwords/PassGrid.h"
#include "passwords/PassPageFile.h"
#include "platform/RecoveryFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

#include <cstdio>

namespace {

using LanguageTables::KeptReason;
using LanguageTables::PageKind;
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

void tellOnStandardError(const QString &text)
{
    std::fprintf(stderr, "kladdo: %s\n", qUtf8Printable(text));
    std::fflush(stderr);
}

} // namespace

// The timers only start once the user has changed something. The changes
// are the connections' context: they go before the window's controls do.
void TForm1::trackChanges()
{
    for (UnsavedChanges *changes : {&m_noteChanges, &m_passChanges})
        changes->setDelays(m_environment.recoveryDelays());
    connect(RichEdit1, &QTextEdit::textChanged, &m_noteChanges, [this] {
        if (!m_replacingPage)
            m_noteChanges.changed();
    });
    connect(StringGrid1, &PassGrid::edited, &m_passChanges, &UnsavedChanges::changed);
}

// Null when a cell cannot be stored; the grid refuses such text, so
// this is not expected to happen.
QByteArray TForm1::passPageBytes() const
{
    try {
        return StringGrid1->page().toRecord().bytes();
    } catch (const PassCellError &) {
        return {};
    }
}

std::optional<QByteArray> TForm1::takeRecovery(UnsavedChanges &changes, const QString &pagePath,
                                               const QByteArray &stamp, int page, PageKind kind)
{
    changes.track(pagePath, stamp);
    const RecoveryFile::Finding found = RecoveryFile::examine(
        pagePath, kind == PageKind::Note ? RecoveryFile::ContentCheck() : PassPageFile::recordDamage);
    switch (found.verdict) {
    case Verdict::None:
        return std::nullopt;
    case Verdict::Redundant:
        RecoveryFile::remove(pagePath);
        return std::nullopt;
    case Verdict::Load:
        if (!m_toldRecoveries.contains(found.path)) {
            m_toldRecoveries.insert(found.path);
            m_recoveryNotice = LanguageTables::recoveredPageText(kind, page, whenText(found.written), LanguageIndex);
        }
        return found.content;
    case Verdict::Damaged:
    case Verdict::Older:
    case Verdict::PageChanged:
        break;
    }
    const RecoveryFile::Aside aside = RecoveryFile::keepAside(found);
    if (!aside.failure.isEmpty())
        changes.leaveRecoveryAlone();
    if (!m_toldRecoveries.contains(aside.path)) {
        m_toldRecoveries.insert(aside.path);
        const QString pageFile = QFileInfo(pagePath).fileName();
        const QString path = QDir::toNativeSeparators(aside.path);
        m_recoveryNotice = aside.failure.isEmpty()
            ? LanguageTables::keptChangesText(kind, page, pageFile, keptReason(found.verdict),
                                              whenText(found.written), path, LanguageIndex)
            : LanguageTables::unmovedChangesText(kind, page, pageFile, keptReason(found.verdict),
                                                 whenText(found.written), path, aside.failure, LanguageIndex);
    }
    return std::nullopt;
}

void TForm1::tellOfRecovery()
{
    if (const QString notice = std::exchange(m_recoveryNotice, QString()); !notice.isEmpty())
        m_environment.showError(this, notice);
}

void TForm1::keepUnsaved(UnsavedChanges &changes, const QString &why)
{
    const AtomicFile::Result kept = changes.keepNow();
    const QString recovery = QDir::toNativeSeparators(RecoveryFile::pathFor(changes.pagePath()));
    tellOnStandardError(kept.ok ? QStringLiteral("%1; the changes are kept in %2").arg(why, recovery)
                                : QStringLiteral("%1, and the changes are lost: %2 cannot be written: %3")
                                      .arg(why, recovery, kept.reason));
}

void TForm1::saveUnattended()
{
    // Before the start has finished the user cannot have changed anything,
    // and what a page not yet read would hold must not be written.
    if (!hasStarted())
        return;
    const bool notes = DisplayNP == 0;
    // The page of the other view was saved, or given up, when it was left.
    UnsavedChanges &shown = notes ? m_noteChanges : m_passChanges;
    try {
        if (notes)
            SpeichernOk();
        else if (m_passProtection.saveFor(StringGrid1->isModified()) == PassPageProtection::Save::AskFirst)
            keepUnsaved(shown, QStringLiteral("%1 is damaged and is written over only when you agree")
                                   .arg(QDir::toNativeSeparators(passPagePath(Pass))));
        else
            savePassPage();
    } catch (const KladdoError &error) {
        keepUnsaved(shown, error.message());
    } catch (const std::exception &error) {
        keepUnsaved(shown, QString::fromUtf8(error.what()));
    }
}

void TForm1::endSession()
{
    if (std::exchange(m_ended, true))
        return;
    saveUnattended();
    // A dialog may be open: its handler goes on once its loop has ended,
    // and must not take away what was just kept.
    m_noteChanges.freeze();
    m_passChanges.freeze();
    try {
        clearPasswordFromClipboard();
    } catch (const std::exception &error) {
        tellOnStandardError(QString::fromUtf8(error.what()));
    }
    emit closed();
}
