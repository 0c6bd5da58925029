#include "app/OtherVersion.h"

#include "app/ConflictNotices.h"
#include "app/Environment.h"
#include "notes/NoteClipboard.h"
#include "notes/NotePage.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

namespace OtherVersion {

void tell(Environment &environment, QWidget *window, const PageSession::OtherVersion &other, bool notePage,
          int languageIndex, ConflictNotices &notices)
{
    notices.toldOf(QFileInfo(other.path).fileName());
    if (!notePage) {
        environment.showError(window, other.notice);
        return;
    }
    const QString question = LanguageTables::copyOtherVersionQuestion(languageIndex);
    if (!environment.confirm(window, other.notice + QStringLiteral("\n\n") + question))
        return;
    const std::unique_ptr<QTextDocument> document = NotePage::read(other.path).document;
    if (!document)
        return;
    QTextCursor all(document.get());
    all.select(QTextCursor::Document);
    environment.setClipboardMimeData(NoteClipboard::mimeDataFor(NoteClipboard::fragmentOf(all)));
}

} // namespace OtherVersion
