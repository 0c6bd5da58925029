#pragma once

#include "notes/CodePages.h"
#include "notes/RtfLists.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <memory>
#include <optional>

class QTextDocument;
class QTextList;

// The character formatting in force while reading, as plain values: cheap
// to save and restore per group, and the key under which the built
// QTextCharFormat is kept.
struct RtfCharState
{
    int font = -1;       // font table number; -1 is the document's default font
    int halfPoints = 24; // \fs, 12 pt unless the file says otherwise
    int color = 0;       // colour table index; 0 is the automatic colour
    int background = 0;  // colour table index; 0 is none
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    QTextCharFormat::VerticalAlignment verticalAlignment = QTextCharFormat::AlignNormal;
    bool bold = false;
    bool italic = false;
    bool strike = false;

    bool operator==(const RtfCharState &) const = default;
};

size_t qHash(const RtfCharState &state, size_t seed = 0);

// Paragraph formatting; indents in twips.
struct RtfParagraphState
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
    int listOverride = 0; // \ls; 0 is none
    int listLevel = 0;    // \ilvl

    bool operator==(const RtfParagraphState &) const = default;
};

// Fills a document with what the reader finds, through a cursor. Text is
// gathered into runs of one format and inserted a run at a time, and each
// distinct format is built once; that keeps reading close to the cost of
// the insertions themselves.
//
// A paragraph mark ends the paragraph it closes but opens the next one only
// when something follows, so a file's final \par adds no empty paragraph.
//
// The paragraphs of text boxes are gathered aside and placed after the
// paragraph that anchors them.
class RtfDocumentBuilder
{
public:
    explicit RtfDocumentBuilder(QTextDocument *document);
    ~RtfDocumentBuilder();

    void setFontFamily(int number, const QString &family);
    void setDefaultFont(int number);
    void setColors(const QList<QColor> &colors);

    // Printable ASCII only.
    void appendAscii(QByteArrayView bytes, const RtfCharState &state);
    // Bytes decoded with the code page's upper half; control
    // characters other than tab are dropped.
    void appendBytes(QByteArrayView bytes, const CodePages::UpperHalf &upper, const RtfCharState &state);
    void appendChar(char16_t c, const RtfCharState &state);
    void appendImage(const QImage &image, QSizeF size, const RtfCharState &state);
    // item: the paragraph's place in a list, if it has one.
    void endParagraph(const RtfParagraphState &paragraph, const RtfCharState &state,
                      const std::optional<RtfListItem> &item = std::nullopt);
    void finish(const RtfParagraphState &paragraph, const RtfCharState &state,
                const std::optional<RtfListItem> &item = std::nullopt);
    // Whether a paragraph has begun that no paragraph mark has ended yet.
    bool hasOpenParagraph() const { return !m_at->pendingBlock; }

    // The marker a writer put before a list item for readers without lists;
    // left out when the item's marker comes from the list table.
    void beginListText();
    void endListText();

    void beginTextBox();
    void endTextBox();

private:
    // A document being filled, and where in it.
    struct Target
    {
        explicit Target(QTextDocument *document) : document(document), cursor(document) {}

        QTextDocument *document;
        QTextCursor cursor;
        // The format of the last paragraph and whether it was in a Qt
        // list; unknown after text boxes were placed.
        std::optional<std::pair<RtfParagraphState, bool>> blockState;
        bool pendingBlock = false;
        bool blockEmpty = true;
        int listTextStart = -1;
        int listTextEnd = -1;
        QHash<QString, QTextList *> lists; // by RtfListItem::key
    };

    void prepareRun(const RtfCharState &state);
    void flushRun();
    void startBlock();
    bool fitsQtList(const std::optional<RtfListItem> &item) const;
    void applyParagraph(const RtfParagraphState &paragraph, bool inQtList);
    void applyListItem(const std::optional<RtfListItem> &item, bool inQtList, const RtfCharState &state);
    void removeListText();
    void placeTextBoxes();
    const QTextCharFormat &charFormat(const RtfCharState &state);
    QTextCharFormat buildCharFormat(const RtfCharState &state) const;
    QColor color(int index) const;

    QTextDocument *m_document;
    Target m_main;
    std::unique_ptr<QTextDocument> m_boxDocument;
    std::unique_ptr<Target> m_box;
    Target *m_at = &m_main;
    QString m_run;
    RtfCharState m_runState;
    int m_imageCount = 0;

    QHash<int, QString> m_families;
    int m_defaultFont = 0;
    QList<QColor> m_colors;
    QHash<RtfCharState, QTextCharFormat> m_formats;
};
