#pragma once

#include <QBuffer>
#include <QImage>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

// Documents as readable text, so that tests compare whole documents and a
// failure shows where they differ. Values are the effective ones: a run
// without a font of its own shows the document's default font.
namespace RichTextDump {

// The text with paragraphs as '\n' and nothing else changed (toPlainText()
// turns no-break spaces and line separators into other characters).
inline QString text(const QTextDocument &document)
{
    return document.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

inline QString colorName(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
}

// "Arial 10 b i u s ^ fg=#ff0000 bg=#ffff00"; ^ is superscript, _ subscript,
// and an underline other than single is "u<style number>".
inline QString charFormat(const QTextDocument &document, const QTextCharFormat &format)
{
    QString family = format.fontFamilies().toStringList().value(0);
    if (family.isEmpty())
        family = document.defaultFont().family();
    const double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                          : document.defaultFont().pointSizeF();
    QStringList parts{family, QString::number(points)};
    if (format.fontWeight() > QFont::Medium)
        parts << QStringLiteral("b");
    if (format.fontItalic())
        parts << QStringLiteral("i");
    if (format.underlineStyle() == QTextCharFormat::SingleUnderline)
        parts << QStringLiteral("u");
    else if (format.underlineStyle() != QTextCharFormat::NoUnderline)
        parts << QStringLiteral("u%1").arg(int(format.underlineStyle()));
    if (format.fontStrikeOut())
        parts << QStringLiteral("s");
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        parts << QStringLiteral("^");
    if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        parts << QStringLiteral("_");
    if (const QString fg = colorName(format.foreground()); !fg.isEmpty())
        parts << QStringLiteral("fg=") + fg;
    if (const QString bg = colorName(format.background()); !bg.isEmpty())
        parts << QStringLiteral("bg=") + bg;
    return parts.join(QLatin1Char(' '));
}

// "center li=10 ri=0 fi=-5" in pixels; "left" alone when nothing is set.
inline QString blockFormat(const QTextBlockFormat &format)
{
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    QString text = horizontal & Qt::AlignHCenter ? QStringLiteral("center")
                   : horizontal & Qt::AlignRight ? QStringLiteral("right")
                   : horizontal & Qt::AlignJustify ? QStringLiteral("justify")
                                                   : QStringLiteral("left");
    if (format.leftMargin() != 0 || format.rightMargin() != 0 || format.textIndent() != 0) {
        text += QStringLiteral(" li=%1 ri=%2 fi=%3")
                    .arg(format.leftMargin())
                    .arg(format.rightMargin())
                    .arg(format.textIndent());
    }
    return text;
}

inline QString visible(QString text)
{
    text.replace(QChar::LineSeparator, QStringLiteral("<br>"));
    text.replace(QLatin1Char('\t'), QStringLiteral("<tab>"));
    return text;
}

// One line per paragraph: "[left] {Arial 10 b}bold{Arial 10} rest"; an
// empty paragraph shows the format of its mark, an image the size it is
// shown at and the colour of its top left pixel.
inline QString document(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line = QLatin1Char('[') + blockFormat(block.blockFormat()) + QLatin1Char(']');
        if (block.length() == 1)
            line += QStringLiteral(" {%1}").arg(charFormat(document, block.charFormat()));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                const QImage pixels = document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
                const double width = image.width() > 0 ? image.width() : pixels.width();
                const double height = image.height() > 0 ? image.height() : pixels.height();
                for (int i = 0; i < fragment.length(); ++i) {
                    line += QStringLiteral(" {image %1x%2 %3}")
                                .arg(width)
                                .arg(height)
                                .arg(pixels.isNull() ? QStringLiteral("missing") : pixels.pixelColor(0, 0).name());
                }
            } else {
                line += QStringLiteral(" {%1}%2").arg(charFormat(document, format), visible(fragment.text()));
            }
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

// The format of the first character of needle's first occurrence; an
// invalid format when needle is not there.
inline QTextCharFormat charFormatAt(const QTextDocument &doc, const QString &needle)
{
    const QTextCursor found = doc.find(needle);
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument *>(&doc));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

inline QString formatOf(const QTextDocument &doc, const QString &needle)
{
    if (doc.find(needle).isNull())
        return QStringLiteral("<%1 not found>").arg(needle);
    return charFormat(doc, charFormatAt(doc, needle));
}

// A 4x3 red picture as the bytes of an image file in that format ("PNG",
// "JPEG"), for documents that embed one.
inline QByteArray redPicture(const char *format)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace RichTextDump
