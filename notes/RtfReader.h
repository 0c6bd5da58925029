#pragma once

#include <QByteArray>
#include <QStringList>

class QTextDocument;

// How a read went. The document is filled in any case; problems say what
// kept the input from reading cleanly, warnings what was read cleanly but
// left out as the rich-edit control leaves it out.
struct RtfReadResult
{
    bool wasRtf = true; // false: the bytes did not start with {\rtf and were read as plain text
    QStringList problems;
    QStringList warnings;

    bool isClean() const { return problems.isEmpty(); }
};

// Reads rich text into a document, replacing what it held: the rich-edit
// dialect in full and what word processors write (text in any code page,
// lists from the list table as Qt's lists, text boxes after the paragraph
// that anchors them, tables flattened to tab-separated lines, PNG and JPEG
// pictures as images, everything else that is not text skipped). Input that does not start with {\rtf is plain text,
// UTF-8 when valid and Windows-1252 otherwise. Any input at all ends in a
// document: damaged files are read as far as they make sense.
class RtfReader
{
public:
    static RtfReadResult read(const QByteArray &input, QTextDocument *document);
};
