#include "notes/HtmlImport.h"

#include "notes/PlainText.h"

#include <QStringDecoder>
#include <QTextDocument>

#include <optional>

namespace HtmlImport {

namespace {

QString decode(const QByteArray &bytes)
{
    const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForHtml(bytes);
    if (encoding && *encoding != QStringConverter::Utf8 && *encoding != QStringConverter::Latin1)
        return QStringDecoder(*encoding).decode(bytes);
    return PlainText::decode(bytes);
}

} // namespace

void read(const QByteArray &bytes, QTextDocument *document)
{
    document->setHtml(decode(bytes));
}

} // namespace HtmlImport
