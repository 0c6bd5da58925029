#include "bench/SampleDocument.h"

#include <QColor>
#include <QFont>
#include <QTextCursor>
#include <QTextDocument>

#include <random>

namespace SampleDocument {

namespace {

constexpr int kRunLength = 45;
constexpr int kRunsPerParagraph = 8;

QTextCharFormat baseFormat(const QString &family, double points)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(points);
    return format;
}

} // namespace

QList<QTextCharFormat> styles()
{
    QList<QTextCharFormat> styles;
    styles << baseFormat("Arial", 10);
    QTextCharFormat bold = baseFormat("Arial", 10);
    bold.setFontWeight(QFont::Bold);
    styles << bold;
    QTextCharFormat italic = baseFormat("Arial", 10);
    italic.setFontItalic(true);
    styles << italic;
    QTextCharFormat underline = baseFormat("Arial", 10);
    underline.setFontUnderline(true);
    styles << underline;
    QTextCharFormat red = baseFormat("Arial", 10);
    red.setForeground(QColor(200, 0, 0));
    styles << red;
    styles << baseFormat("Courier New", 10);
    styles << baseFormat("Arial", 14);
    QTextCharFormat mixed = baseFormat("Courier New", 14);
    mixed.setFontWeight(QFont::Bold);
    mixed.setForeground(QColor(0, 0, 180));
    styles << mixed;
    return styles;
}

QList<Run> runs(int characters)
{
    static const QStringList words{"Notiz", "Termin", "morgen", "Einkauf", "Grüße", "Straße", "note", "page",
                                   "alarm", "colour", "window", "text", "rich", "format", "the", "and"};
    std::mt19937 random(42);
    QList<Run> runs;
    int total = 0;
    while (total < characters) {
        QString text;
        while (text.size() < kRunLength)
            text += words[random() % words.size()] + QLatin1Char(' ');
        total += text.size();
        runs.append(Run{text, int(random() % 8), runs.size() % kRunsPerParagraph == kRunsPerParagraph - 1});
    }
    return runs;
}

void insertRuns(QTextDocument *document, const QList<Run> &runs, const QList<QTextCharFormat> &styles)
{
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Run &run : runs) {
        cursor.insertText(run.text, styles[run.style]);
        if (run.endsParagraph)
            cursor.insertBlock();
    }
    cursor.endEditBlock();
}

} // namespace SampleDocument
