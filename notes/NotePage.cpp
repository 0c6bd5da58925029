#include "notes/NotePage.h"

#include "notes/RtfWriter.h"
#include "platform/KladdoError.h"
#include "platform/PageBackups.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTextDocument>

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
    const QByteArray bytes = file.readAll();
    // A read that breaks off must not pass for a short page.
    if (file.error() != QFileDevice::NoError)
        throw KladdoError(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return RtfReader::read(bytes, document);
}

std::unique_ptr<QTextDocument> read(const QString &path)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(defaultFont());
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        load(path, document.get());
    return document;
}

void save(const QString &path, const QTextDocument *document)
{
    const AtomicFile::Result result = PageBackups::writePage(path, RtfWriter::write(document));
    if (!result.ok)
        throw KladdoError(QStringLiteral("%1 cannot be created: %2").arg(QDir::toNativeSeparators(path), result.reason));
}

} // namespace NotePage
