#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a document as rich text in the compact dialect of the rich-edit
// control: a font table and a colour table of what is used, \pard with the
// paragraph's alignment and indents, character runs with \b \i \ul \strike
// \f \fs \cf \highlight, one \par and CR LF per paragraph, ASCII only
// (Windows-1252 characters as \'hh, the rest as \uN?), images as PNG,
// Qt's lists as a list table with each item's marker in \listtext.
// The reader reads it back as the same document.
class RtfWriter
{
public:
    static QByteArray write(const QTextDocument *document);
};
