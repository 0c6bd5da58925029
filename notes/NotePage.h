#pragma once

#include "notes/RtfReader.h"

#include <QFont>
#include <QString>

#include <memory>

class QTextDocument;

// The note page files: DATA/note<N>.rtf, N = 0-9.
namespace NotePage {

constexpr int kPageCount = 10;

QString fileName(int page);

// The editor's font, which text without a font of its own is shown and
// saved in.
QFont defaultFont();

// Reads a page file into document; a file that is not rich text is read as
// plain text. Throws KladdoError when the file cannot be read at all.
RtfReadResult load(const QString &path, QTextDocument *document);

// A page as read, and the stamp of the file it was read from.
struct ReadPage
{
    std::unique_ptr<QTextDocument> document;
    QByteArray stamp; // empty when there was no file
};

// The page file as a document of its own; a page without a file is an
// empty page. Throws KladdoError when the file is there but cannot be read.
ReadPage read(const QString &path);

// The bytes a page file holding document has.
QByteArray bytesOf(const QTextDocument *document);
// A document of its own from the bytes of a page file.
std::unique_ptr<QTextDocument> fromBytes(const QByteArray &bytes);

// Writes document whole and atomically as a page file, keeping the version
// it replaces among the backups; the stamp of the file written. Throws
// KladdoError naming the file and the system's reason.
QByteArray save(const QString &path, const QTextDocument *document);

} // namespace NotePage
