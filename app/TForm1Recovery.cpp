// What keeps typing from being lost between the described saves: the
// recovery files of the pages shown, and the save when the program ends
// without the user.
#include "app/TForm1.h"

#include "app/Environment.h"
#include "passwords/PassGrid.h"

#include <QDir>
#include <QScopedValueRollback>
#include <QTextEdit>

#include <cstdio>

namespace {

void tellOnStandardError(const QString &text)
{
    if (text.isEmpty())
        return;
    std::fprintf(stderr, "kladdo: %s\n", qUtf8Printable(text));
    std::fflush(stderr);
}

} // namespace

// The timers only start once the user has changed something. The changes
// are the connections' context: they go before the window's controls do.
void TForm1::trackChanges()
{
    for (PageSession *pages : std::initializer_list<PageSession *>{&m_notePages, &m_passPages})
        pages->changes().setDelays(m_environment.recoveryDelays());
    connect(RichEdit1, &QTextEdit::textChanged, &m_notePages.changes(), [this] {
        if (!m_replacingPage)
            m_notePages.changes().changed();
    });
    connect(StringGrid1, &PassGrid::edited, &m_passPages.changes(), &UnsavedChanges::changed);
}

void TForm1::tellOfRecovery()
{
    if (const QString notice = m_recoveryNotices.take(); !notice.isEmpty())
        m_environment.showError(this, notice);
}

void TForm1::saveUnattended()
{
    // Before the start has finished the user cannot have changed anything,
    // and what a page not yet read would hold must not be written.
    if (!hasStarted())
        return;
    const QScopedValueRollback unattended(m_savingUnattended, true);
    const bool notes = m_settings.DisplayNP == 0;
    // The page of the other view was saved, or given up, when it was left.
    PageSession &shown = notes ? static_cast<PageSession &>(m_notePages) : m_passPages;
    tellOnStandardError(shown.saveOrKeep([&] {
        if (!notes && m_passPages.needsConsent(StringGrid1->isModified()))
            throw KladdoError(QStringLiteral("%1 is damaged and is written over only when you agree")
                                  .arg(QDir::toNativeSeparators(shown.path())));
        SpeichernOk();
    }));
}

void TForm1::endSession()
{
    if (std::exchange(m_ended, true))
        return;
    saveUnattended();
    // A dialog may be open: its handler goes on once its loop has ended,
    // and must not take away what was just kept.
    m_notePages.changes().freeze();
    m_passPages.changes().freeze();
    try {
        if (m_passClipboard)
            m_passClipboard->clearPassword();
    } catch (const std::exception &error) {
        tellOnStandardError(QString::fromUtf8(error.what()));
    }
    emit closed();
}
