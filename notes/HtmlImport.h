#pragma once

#include <QByteArray>

class QTextDocument;

// A web page made a note page, as kladdo-data imports one.
namespace HtmlImport {

// Reads bytes of HTML into document, replacing what it held. A page in
// UTF-16 or UTF-32 says so; any other is read like a text file, UTF-8 when
// valid and Windows-1252 otherwise. Pictures are looked up relative to the
// document's base URL. Needs a QGuiApplication: Qt's reader asks the font
// database for the fixed-pitch font of <pre>, <code> and the like.
void read(const QByteArray &bytes, QTextDocument *document);

} // namespace HtmlImport
