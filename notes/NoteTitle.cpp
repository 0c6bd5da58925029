#include "notes/NoteTitle.h"

#include "platform/Cp1252.h"

namespace NoteTitle {

void Del(QString &Text, QChar Ch)
{
    Text.remove(Ch);
}

QString fromMarkedText(QString marked)
{
    for (const QChar separator : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator),
                                  QChar(QChar::ParagraphSeparator), QChar(QChar::ObjectReplacementCharacter)})
        Del(marked, separator);
    marked.removeIf([](QChar c) { return !Cp1252::canEncode(c); });
    return marked.left(MaxLength);
}

} // namespace NoteTitle
