#include "tools/Commands.h"

#include "notes/HtmlImport.h"
#include "notes/NotePage.h"
#include "notes/PlainText.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"
#include "platform/KladdoError.h"
#include "tools/PageNumber.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <optional>

namespace {

constexpr const char *kUsage =
    "usage: kladdo-data notes export DATA_DIR PAGE --format text|html|rtf\n"
    "       kladdo-data notes import DATA_DIR PAGE FILE\n";

// A document as the note editor holds it. Pictures are loaded as images:
// the document's own loader makes pixmaps, which a command-line program
// without a display cannot have.
class NoteDocument : public QTextDocument
{
public:
    NoteDocument() { setDefaultFont(NotePage::defaultFont()); }

protected:
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type != QTextDocument::ImageResource)
            return QTextDocument::loadResource(type, name);
        const QUrl url = baseUrl().resolved(name);
        const QImage image(url.isLocalFile() ? url.toLocalFile() : QString());
        if (image.isNull())
            return {};
        addResource(type, name, image);
        return image;
    }
};

// The document's text with paragraphs and line breaks as '\n'; images,
// which plain text cannot hold, are left out.
QString plainText(const QTextDocument &document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    return text + QLatin1Char('\n');
}

// HTML whose images are inside it: the names the reader gives images mean
// nothing outside the document.
QString selfContainedHtml(const QTextDocument &document)
{
    QString html = document.toHtml();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            const QImage image = document.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
            if (image.isNull())
                continue;
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            html.replace(QStringLiteral("src=\"%1\"").arg(name),
                         QStringLiteral("src=\"data:image/png;base64,%1\"").arg(QLatin1StringView(png.toBase64())));
        }
    }
    return html;
}

// Fills document from a .txt, .html or .rtf file; an error text when it
// cannot. What was read but left out is told as a warning.
QString readImport(const QString &file, QTextDocument *document, CommandIo io)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(file), input.errorString());
    const QByteArray bytes = input.readAll();
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == u"txt") {
        document->setPlainText(PlainText::decode(bytes));
    } else if (suffix == u"html" || suffix == u"htm") {
        // Pictures beside the page are found relative to it.
        document->setBaseUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath() + QLatin1Char('/')));
        HtmlImport::read(bytes, document);
    } else {
        const RtfReadResult result = RtfReader::read(bytes, document);
        if (!result.isClean())
            return QStringLiteral("%1 was not imported: %2")
                .arg(QDir::toNativeSeparators(file), result.problems.join(QStringLiteral("; ")));
        for (const QString &warning : result.warnings)
            io.err << "kladdo-data: warning: " << QDir::toNativeSeparators(file) << ": " << warning << '\n';
    }
    return {};
}

int importPage(const QString &dataDir, int page, const QString &file, CommandIo io)
{
    if (!QFileInfo(dataDir).isDir()) {
        io.err << "kladdo-data: " << dataDir << " is not a folder\n";
        return ExitFailure;
    }
    NoteDocument document;
    if (const QString error = readImport(file, &document, io); !error.isEmpty()) {
        io.err << "kladdo-data: " << error << '\n';
        return ExitFailure;
    }
    try {
        NotePage::save(QDir(dataDir).filePath(NotePage::fileName(page)), &document);
    } catch (const KladdoError &error) {
        io.err << "kladdo-data: " << error.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace

int exportNoteFile(const QString &path, const QString &format, CommandIo io)
{
    const QString name = QFileInfo(path).fileName();
    if (!QFileInfo::exists(path)) {
        io.err << "kladdo-data: " << QDir::toNativeSeparators(path) << " does not exist\n";
        return ExitFailure;
    }
    NoteDocument document;
    RtfReadResult result;
    try {
        result = NotePage::load(path, &document);
    } catch (const KladdoError &error) {
        io.err << "kladdo-data: " << error.message() << '\n';
        return ExitFailure;
    }
    if (format == u"text")
        io.out << plainText(document);
    else if (format == u"html")
        io.out << selfContainedHtml(document);
    else
        io.out << QString::fromLatin1(RtfWriter::write(&document));
    for (const QString &problem : result.problems)
        io.err << "kladdo-data: " << name << ": " << problem << '\n';
    for (const QString &warning : result.warnings)
        io.err << "kladdo-data: warning: " << name << ": " << warning << '\n';
    return result.isClean() ? ExitOk : ExitFailure;
}

QList<CheckLine> checkNotePages(const QString &dataDir)
{
    QList<CheckLine> lines;
    for (int page = 0; page < NotePage::kPageCount; ++page) {
        const QString name = NotePage::fileName(page);
        const QString path = QDir(dataDir).filePath(name);
        if (!QFileInfo::exists(path))
            continue;
        CheckLine line{name, CheckLine::Status::Ok, {}};
        NoteDocument document;
        try {
            const RtfReadResult result = NotePage::load(path, &document);
            if (!result.isClean()) {
                line.status = CheckLine::Status::Damaged;
                line.detail = result.problems.join(QStringLiteral("; "));
            } else if (!result.warnings.isEmpty()) {
                line.status = CheckLine::Status::Notice;
                line.detail = QStringLiteral("ok; ") + result.warnings.join(QStringLiteral("; "));
            }
        } catch (const KladdoError &error) {
            line.status = CheckLine::Status::Damaged;
            line.detail = error.message();
        }
        lines << line;
    }
    return lines;
}

int notesCommand(const QStringList &args, CommandIo io)
{
    if (args.size() < 4)
        return usageError(io, kUsage);
    const std::optional<int> page = pageArgument(args[2], io);
    if (!page)
        return ExitUsage;
    if (args[0] == u"export") {
        static const QStringList formats{QStringLiteral("text"), QStringLiteral("html"), QStringLiteral("rtf")};
        if (args.size() != 5 || args[3] != u"--format" || !formats.contains(args[4]))
            return usageError(io, kUsage);
        return exportNoteFile(QDir(args[1]).filePath(NotePage::fileName(*page)), args[4], io);
    }
    if (args[0] == u"import" && args.size() == 4) {
        static const QStringList suffixes{QStringLiteral("txt"), QStringLiteral("html"), QStringLiteral("htm"),
                                          QStringLiteral("rtf")};
        if (!suffixes.contains(QFileInfo(args[3]).suffix().toLower())) {
            io.err << "kladdo-data: FILE must end in .txt, .html or .rtf, not '" << args[3] << "'\n";
            return ExitUsage;
        }
        return importPage(args[1], *page, args[3], io);
    }
    return usageError(io, kUsage);
}
