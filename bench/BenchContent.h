#pragma once

// Formatted text for the benchmarks, the same on every run: words in runs
// of one style, eight runs to a paragraph.

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <random>

namespace BenchContent {

constexpr int kRunLength = 45; // about one format change every 45 characters
constexpr int kRunsPerParagraph = 8;

struct Run
{
    QString text;
    int style;
    bool endsParagraph;
};

// Eight styles: bold, italic, underline, colour, two fonts, two sizes, and plain text.
inline QList<QTextCharFormat> makeStyles()
{
    QList<QTextCharFormat> styles;
    const auto base = [](const QString &family, double points) {
        QTextCharFormat f;
        f.setFontFamilies({family});
        f.setFontPointSize(points);
        return f;
    };
    styles << base("Arial", 10);
    QTextCharFormat bold = base("Arial", 10);
    bold.setFontWeight(QFont::Bold);
    styles << bold;
    QTextCharFormat italic = base("Arial", 10);
    italic.setFontItalic(true);
    styles << italic;
    QTextCharFormat underline = base("Arial", 10);
    underline.setFontUnderline(true);
    styles << underline;
    QTextCharFormat red = base("Arial", 10);
    red.setForeground(QColor(200, 0, 0));
    styles << red;
    styles << base("Courier New", 10);
    styles << base("Arial", 14);
    QTextCharFormat mixed = base("Courier New", 14);
    mixed.setFontWeight(QFont::Bold);
    mixed.setForeground(QColor(0, 0, 180));
    styles << mixed;
    return styles;
}

inline QList<Run> makeRuns(int characters)
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

inline void insertRuns(QTextDocument *document, const QList<Run> &runs, const QList<QTextCharFormat> &styles)
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

} // namespace BenchContent
