#include "notes/NotePage.h"

#include "notes/RtfWriter.h"
#include "platform/KladdoError.h"
#include "platform/PageBackups.h"
#include "platform/RecoveryFile.h"

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

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KladdoError(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    // A read that breaks off must not pass for a short page.
    if (file.error() != QFileDevice::NoError)
        throw KladdoError(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return bytes;
}

std::unique_ptr<QTextDocument> emptyPage()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(defaultFont());
    return document;
}

} // namespace

RtfReadResult load(const QString &path, QTextDocument *document)
{
    return RtfReader::read(readBytes(path), document);
}

ReadPage read(const QString &path)
{
    ReadPage page{emptyPage(), {}};
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        const QByteArray bytes = readBytes(path);
        RtfReader::read(bytes, page.document.get());
        page.stamp = RecoveryFile::stampOf(bytes);
    }
    return page;
}

QByteArray bytesOf(const QTextDocument *document)
{
    return RtfWriter::write(document);
}

std::unique_ptr<QTextDocument> fromBytes(const QByteArray &bytes)
{
    auto document = emptyPage();
    RtfReader::read(bytes, document.get());
    return document;
}

QByteArray save(const QString &path, const QTextDocument *document)
{
    const QByteArray bytes = bytesOf(document);
    const AtomicFile::Result result = PageBackups::writePage(path, bytes);
    if (!result.ok)
        throw KladdoError(QStringLiteral("%1 cannot be created: %2").arg(QDir::toNativeSeparators(path), result.reason));
    return RecoveryFile::stampOf(bytes);
}

} // namespace NotePage
