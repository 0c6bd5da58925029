#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QStack>
#include <QXmlStreamReader>

// What a word processor made of a document, read from the flat OpenDocument
// text it saved: paragraphs of runs, each with the style attributes that
// apply to it (paragraph attributes under the run's own). Fonts are given by
// family name under "font-family".
namespace FlatOdtRuns {

using Attributes = QMap<QString, QString>;

struct Run
{
    QString text;
    Attributes attributes;
};

struct Paragraph
{
    Attributes attributes;
    QList<Run> runs;

    QString text() const
    {
        QString all;
        for (const Run &run : runs)
            all += run.text;
        return all;
    }
};

namespace Detail {

inline void addAttributes(Attributes &into, const QXmlStreamAttributes &attributes)
{
    for (const QXmlStreamAttribute &attribute : attributes)
        into.insert(attribute.qualifiedName().toString(), attribute.value().toString());
}

} // namespace Detail

inline QList<Paragraph> read(const QByteArray &xml)
{
    QHash<QString, Attributes> styles;
    QHash<QString, QString> fontFamilies;
    QList<Paragraph> paragraphs;
    QStack<Attributes> spans;
    QString currentStyle;
    bool inParagraph = false;

    const auto append = [&](const QString &text) {
        if (!inParagraph || text.isEmpty())
            return;
        Attributes attributes = paragraphs.last().attributes;
        for (const Attributes &span : spans) {
            for (auto it = span.begin(); it != span.end(); ++it)
                attributes.insert(it.key(), it.value());
        }
        if (attributes.contains("style:font-name"))
            attributes.insert("font-family", fontFamilies.value(attributes.value("style:font-name")));
        QList<Run> &runs = paragraphs.last().runs;
        if (!runs.isEmpty() && runs.last().attributes == attributes)
            runs.last().text += text;
        else
            runs.append(Run{text, attributes});
    };

    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.qualifiedName().toString();
        if (reader.isStartElement()) {
            const QXmlStreamAttributes attributes = reader.attributes();
            if (name == "style:font-face") {
                QString family = attributes.value("svg:font-family").toString();
                family.remove('\'');
                fontFamilies.insert(attributes.value("style:name").toString(), family);
            } else if (name == "style:style") {
                currentStyle = attributes.value("style:name").toString();
            } else if (name == "style:text-properties" || name == "style:paragraph-properties") {
                Detail::addAttributes(styles[currentStyle], attributes);
            } else if (name == "text:p" || name == "text:h") {
                paragraphs.append(Paragraph{styles.value(attributes.value("text:style-name").toString()), {}});
                inParagraph = true;
            } else if (name == "text:span") {
                spans.push(styles.value(attributes.value("text:style-name").toString()));
            } else if (name == "text:s") {
                append(QString(qMax(1, attributes.value("text:c").toInt()), ' '));
            } else if (name == "text:tab") {
                append(QStringLiteral("\t"));
            } else if (name == "text:line-break") {
                append(QStringLiteral("\n"));
            } else if (name == "draw:frame") {
                append(QStringLiteral("[image %1 x %2]")
                           .arg(attributes.value("svg:width").toString(), attributes.value("svg:height").toString()));
            }
        } else if (reader.isEndElement()) {
            if (name == "text:p" || name == "text:h")
                inParagraph = false;
            else if (name == "text:span")
                spans.pop();
        } else if (reader.isCharacters()) {
            append(reader.text().toString());
        }
    }
    return paragraphs;
}

// The first run whose text contains needle, with attributes; an empty run
// with "missing" set when there is none.
inline Run runWith(const QList<Paragraph> &paragraphs, const QString &needle)
{
    for (const Paragraph &paragraph : paragraphs) {
        for (const Run &run : paragraph.runs) {
            if (run.text.contains(needle))
                return run;
        }
    }
    return Run{QString(), Attributes{{QStringLiteral("missing"), needle}}};
}

// A length such as "0.5in", "1.27cm" or "36pt" in twips.
inline double twips(const QString &length)
{
    static const QList<QPair<QString, double>> units{{"in", 1440}, {"cm", 1440 / 2.54}, {"mm", 144 / 2.54}, {"pt", 20}};
    for (const auto &[unit, factor] : units) {
        if (length.endsWith(unit))
            return length.chopped(unit.size()).toDouble() * factor;
    }
    return length.toDouble();
}

} // namespace FlatOdtRuns
