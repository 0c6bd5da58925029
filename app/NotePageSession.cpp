#include "app/NotePageSession.h"

#include "notes/NotePage.h"

#include <QTextDocument>

NotePageSession::NotePageSession(QString dataFolder, RecoveryWriter &writer, RecoveryNotices &notices,
                                 std::function<const QTextDocument *()> shown,
                                 const Environment &environment)
    : PageSession(LanguageTables::PageKind::Note, writer, notices,
                  [shown = std::move(shown)] { return NotePage::bytesOf(shown()); },
                  environment),
      m_dataFolder(std::move(dataFolder))
{
}

NotePageSession::Read NotePageSession::read(int page) const
{
    Read read;
    read.page = page;
    read.path = m_dataFolder + NotePage::fileName(page);
    NotePage::ReadPage file = NotePage::read(read.path);
    read.document = std::move(file.document);
    read.version = std::move(file.stamp);
    return read;
}

NotePageSession::Opened NotePageSession::open(Read read, int languageIndex)
{
    const std::optional<QByteArray> recovered =
        take(read.page, read.path, read.version, RecoveryFile::ContentCheck(), languageIndex);
    if (recovered)
        return {NotePage::fromBytes(*recovered), true};
    return {std::move(read.document), false};
}

// Before any page was read there is nothing to write: the file named may
// be one that could not be read.
void NotePageSession::save(const QTextDocument *document, int languageIndex)
{
    if (document->isModified() && !path().isEmpty() && readyToWrite(true, languageIndex))
        saved(NotePage::save(path(), document));
}
