#include "notes/NoteClipboard.h"

#include "notes/NotePage.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

// RTF goes out and is looked for under both names: word processors on X11
// use the first, some programs ask for the second.
const QString kRtfTypes[] = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};
// Some word processors offer RTF under this name too. It is read, never
// written: other programs take it for an older, unrelated markup.
const QString kRichTextType = QStringLiteral("text/richtext");

const QString kNormalFamily = QStringLiteral("Comic Sans MS");
constexpr double kNormalPoints = 10;

QByteArray rtfIn(const QMimeData *data)
{
    for (const QString &type : kRtfTypes) {
        if (QByteArray rtf = data->data(type); !rtf.isEmpty())
            return rtf;
    }
    return data->data(kRichTextType);
}

QImage imageOf(const QVariant &resource)
{
    if (resource.typeId() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    return resource.value<QImage>();
}

QString dataUrl(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QLatin1StringView(png.toBase64());
}

struct ImageRun
{
    int position;
    int length;
    QTextImageFormat format;
};

// Renames the images of document that resources (the document they were
// copied from) holds to data URLs, which any document loads by itself.
void embedImages(QTextDocument *document, const QTextDocument *resources)
{
    QList<ImageRun> runs;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            const QTextImageFormat format = fragment.charFormat().toImageFormat();
            if (!format.name().startsWith(QLatin1StringView("data:")))
                runs.append({fragment.position(), fragment.length(), format});
        }
    }
    QTextCursor cursor(document);
    for (ImageRun &run : runs) {
        const QImage image = imageOf(resources->resource(QTextDocument::ImageResource, QUrl(run.format.name())));
        if (image.isNull())
            continue;
        run.format.setName(dataUrl(image));
        cursor.setPosition(run.position);
        cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
}

std::optional<QTextDocumentFragment> fragmentFromRtf(const QByteArray &rtf)
{
    QTextDocument scratch;
    RtfReader::read(rtf, &scratch);
    if (scratch.isEmpty())
        return std::nullopt;
    embedImages(&scratch, &scratch);
    return QTextDocumentFragment(&scratch);
}

QTextDocumentFragment fragmentFromImage(const QImage &image)
{
    QTextDocument scratch;
    QTextImageFormat format;
    format.setName(dataUrl(image));
    QTextCursor(&scratch).insertImage(format);
    return QTextDocumentFragment(&scratch);
}

// Every character and every paragraph mark in the normal font, all other
// attributes as they were.
void setNormalFont(QTextDocument *document)
{
    QTextCharFormat font;
    font.setFontFamilies(QStringList{kNormalFamily});
    font.setProperty(QTextFormat::FontFamily, kNormalFamily); // for readers of the single family
    font.setFontPointSize(kNormalPoints);
    QTextCursor cursor(document);
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(font);
}

} // namespace

namespace NoteClipboard {

QMimeData *mimeDataFor(const QTextDocumentFragment &fragment)
{
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    scratch.setDefaultFont(NotePage::defaultFont());
    QTextCursor(&scratch).insertFragment(fragment);
    const QByteArray rtf = RtfWriter::write(&scratch);

    auto *data = new QMimeData;
    for (const QString &type : kRtfTypes)
        data->setData(type, rtf);
    data->setHtml(fragment.toHtml());
    data->setText(fragment.toPlainText());
    return data;
}

QTextDocumentFragment fragmentOf(const QTextCursor &selection)
{
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    QTextCursor(&scratch).insertFragment(selection.selection());
    embedImages(&scratch, selection.document());
    return QTextDocumentFragment(&scratch);
}

bool canPaste(const QMimeData *data)
{
    if (data == nullptr)
        return false;
    return !rtfIn(data).isEmpty() || (data->hasHtml() && !data->html().isEmpty())
           || (data->hasText() && !data->text().isEmpty()) || data->hasImage();
}

std::optional<QTextDocumentFragment> fragmentFrom(const QMimeData *data)
{
    if (data == nullptr)
        return std::nullopt;
    if (const QByteArray rtf = rtfIn(data); !rtf.isEmpty()) {
        if (auto fragment = fragmentFromRtf(rtf))
            return fragment;
    }
    if (data->hasHtml()) {
        const QTextDocumentFragment fragment = QTextDocumentFragment::fromHtml(data->html());
        if (!fragment.isEmpty())
            return fragment;
    }
    if (data->hasText()) {
        if (const QString text = data->text(); !text.isEmpty())
            return QTextDocumentFragment::fromPlainText(text);
    }
    if (data->hasImage()) {
        if (const QImage image = qvariant_cast<QImage>(data->imageData()); !image.isNull())
            return fragmentFromImage(image);
    }
    return std::nullopt;
}

QMimeData *normalised(const QMimeData *data)
{
    const std::optional<QTextDocumentFragment> fragment = fragmentFrom(data);
    if (!fragment)
        return nullptr;
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    QTextCursor(&scratch).insertFragment(*fragment);
    setNormalFont(&scratch);
    // A fragment of the whole document stops before the document's final
    // paragraph mark, so normalising again adds no empty line.
    return mimeDataFor(QTextDocumentFragment(&scratch));
}

} // namespace NoteClipboard
