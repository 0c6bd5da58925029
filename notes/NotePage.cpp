#include "notes/NotePage.h"

#include "notes/RtfWriter.h"
#include "platform/AtomicFile.h"
#include "platform/KladdoError.h"

#include <QDir>
#include <QFile>

namespace NotePage {

QString fileName(int page)
{
    return QStringLiteral("note%1.rtf").arg(page);
}

QFont defaultFont()
{
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

RtfReadResult load(const QString &path, QTextDocument *document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KladdoError(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return RtfReader::read(file.readAll(), document);
}

void save(const QString &path, const QTextDocument *document)
{
    const AtomicFile::Result result = AtomicFile::write(path, RtfWriter::write(document));
    if (!result.ok)
        throw KladdoError(QStringLiteral("%1 cannot be created: %2").arg(QDir::toNativeSeparators(path), result.reason));
}

} // namespace NotePage
