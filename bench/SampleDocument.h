#pragma once

#include <QList>
#include <QString>
#include <QTextCharFormat>

class QTextDocument;

// Generated note content for the benchmarks: runs of words with a format
// change about every 45 characters (bold, italic, underline, colour, two
// fonts, two sizes) and a paragraph every 8 runs. The same seed every time,
// so every program that makes it measures the same content.
namespace SampleDocument {

struct Run
{
    QString text;
    int style; // index into styles()
    bool endsParagraph;
};

QList<QTextCharFormat> styles();

// Runs of at least characters characters in all.
QList<Run> runs(int characters);

// Appends the runs through one cursor, without undo history: the cheapest
// way to fill a document with formatted text.
void insertRuns(QTextDocument *document, const QList<Run> &runs, const QList<QTextCharFormat> &styles);

} // namespace SampleDocument
