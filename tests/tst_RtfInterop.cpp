#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include "support/FlatOdtRuns.h"
#include "support/RichTextDump.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

// Our codec against a real word processor: LibreOffice writes rich text
// from documents the test makes, and reads what our writer emits. Each
// direction converts all its files in one run of soffice, whose start is
// the slow part.
namespace {

// The pages LibreOffice turns into rich text, by file name.
const QList<QPair<QString, QString>> kHtmlSources = {
    {"formats.html",
     "<p>plain <b>bold</b> <i>italic</i> <u>under</u> <s>struck</s> <span style=\"color:#ff0000\">red</span> "
     "<span style=\"background:#ffff00\">marked</span> <span style=\"font-family:'Courier New'; font-size:15pt\">"
     "courier</span> x<sup>raised</sup> H<sub>lowered</sub></p>"},
    {"text.html",
     "<p>Grüße aus Köln kosten 5 € – „zitiert“</p><p>Ωμέγα Привет 日本語 {braces} back\\slash</p>"
     "<p>line<br>break</p>"},
    {"paragraphs.html",
     "<p align=\"center\">centred</p><p align=\"right\">right</p><p align=\"justify\">justified</p>"
     "<p style=\"margin-left:1in; text-indent:-0.5in\">indented</p>"},
    {"structure.html",
     "<table><tr><td>a1</td><td>b1</td></tr><tr><td>a2</td><td>b2</td></tr></table>"
     "<ul><li>first</li><li>second</li></ul>"
     "<p><a href=\"http://example.org/\">link text</a> and <img src=\"data:image/png;base64,"
         + QString::fromLatin1(RichTextDump::redPicture("PNG").toBase64()) + "\" width=\"8\" height=\"6\"></p>"},
};

// Each paragraph as "[marker]text", the marker as Qt's list shows it.
QStringList listItems(const QTextDocument &doc)
{
    QStringList items;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        items << (list ? '[' + list->itemText(block) + ']' : QString()) + block.text();
    }
    return items;
}

// The lines of a text file LibreOffice wrote, without its byte order mark
// and the indents of list items.
QStringList textLines(const QByteArray &utf8)
{
    QStringList lines = QString::fromUtf8(utf8).remove(QChar::ByteOrderMark).split('\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    return lines;
}

const QStringList kMultiLevelList = {"Steps", "1. Prepare", "1.1 Gather", "1.2 Sort", "a) by size", "2. Cook", "2.1 Serve",
                                     "Done"};

} // namespace

class TestRtfInterop : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_soffice;

    // Converts files with one run of soffice; the results land in outDir.
    void convert(const QStringList &files, const QStringList &options, const QString &outDir)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", m_dir.path()); // LibreOffice writes there even with its own profile
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        const QString profile = QUrl::fromLocalFile(m_dir.filePath("profile")).toString();
        process.start(m_soffice, QStringList{"-env:UserInstallation=" + profile, "--headless", "--norestore",
                                             "--nolockcheck", "--nodefault"}
                                     + options + QStringList{"--outdir", outDir} + files);
        QVERIFY2(process.waitForFinished(240000), "soffice did not finish within four minutes");
        const QByteArray output = process.readAll();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, output.constData());
    }

    // Our writer's document for LibreOffice to read.
    QTextDocument *documentForLibreOffice()
    {
        auto *doc = new QTextDocument(this);
        doc->setDefaultFont(QFont(QStringLiteral("Arial"), 10));
        QTextCursor c(doc);
        const auto word = [&c](const QString &text, const std::function<void(QTextCharFormat &)> &set) {
            QTextCharFormat format;
            set(format);
            c.insertText(text, format);
            c.insertText(QStringLiteral(" "), QTextCharFormat());
        };
        word("bold", [](auto &f) { f.setFontWeight(QFont::Bold); });
        word("italic", [](auto &f) { f.setFontItalic(true); });
        word("under", [](auto &f) { f.setFontUnderline(true); });
        word("dashed", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::DashUnderline); });
        word("dotted", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::DotLine); });
        word("wavy", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::WaveUnderline); });
        word("struck", [](auto &f) { f.setFontStrikeOut(true); });
        word("red", [](auto &f) { f.setForeground(QColor(255, 0, 0)); });
        word("marked", [](auto &f) { f.setBackground(QColor(255, 255, 0)); });
        word("courier", [](auto &f) { f.setFontFamilies({QStringLiteral("Courier New")}); });
        word("big", [](auto &f) { f.setFontPointSize(15); });
        word("raised", [](auto &f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });
        word("lowered", [](auto &f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); });
        c.insertText(u"end"_qs);
        c.insertBlock();
        c.insertText(u"Grüße aus Köln kosten 5 € – „zitiert“ Ωμέγα Привет 日本語 \U0001F600 {braces} back\\slash"_qs);
        c.insertBlock();
        c.insertText(u"tab\there line\u2028break no\u00A0break"_qs);
        const auto paragraph = [&c](const QString &text, const std::function<void(QTextBlockFormat &)> &set) {
            QTextBlockFormat format;
            set(format);
            c.insertBlock(format);
            c.insertText(text);
        };
        paragraph("centred", [](auto &f) { f.setAlignment(Qt::AlignHCenter); });
        paragraph("right", [](auto &f) { f.setAlignment(Qt::AlignRight); });
        paragraph("justified", [](auto &f) { f.setAlignment(Qt::AlignJustify); });
        paragraph("indented", [](auto &f) {
            f.setLeftMargin(48);
            f.setRightMargin(24);
            f.setTextIndent(-24);
        });
        c.insertBlock(QTextBlockFormat());
        QImage image(6, 4, QImage::Format_RGB32);
        image.fill(Qt::blue);
        doc->addResource(QTextDocument::ImageResource, QUrl("blue"), image);
        QTextImageFormat picture;
        picture.setName("blue");
        picture.setWidth(96);
        picture.setHeight(64);
        c.insertText("picture ");
        c.insertImage(picture);
        return doc;
    }

    QList<FlatOdtRuns::Paragraph> m_seenByLibreOffice;
    QString m_textSeenByLibreOffice;
    QHash<QString, QByteArray> m_writtenByLibreOffice;

private slots:
    void initTestCase()
    {
        m_soffice = QStandardPaths::findExecutable("soffice");
        QVERIFY2(!m_soffice.isEmpty(), "soffice not found; scripts/test.sh installs libreoffice-writer-nogui");
        QVERIFY(m_dir.isValid());

        // LibreOffice writes rich text from pages we made.
        QStringList sources;
        for (const auto &[name, html] : kHtmlSources) {
            const QString path = m_dir.filePath(name);
            QVERIFY(writeFile(path, "<html><head><meta charset=\"utf-8\"></head><body>" + html.toUtf8() + "</body></html>"));
            sources << path;
        }
        convert(sources, {"--infilter=HTML (StarWriter)", "--convert-to", "rtf"}, m_dir.filePath("fromHtml"));
        for (const auto &[name, html] : kHtmlSources) {
            const QByteArray rtf = readFile(m_dir.filePath("fromHtml/" + QString(name).replace(".html", ".rtf")));
            QVERIFY2(rtf.startsWith("{\\rtf1"), qPrintable(name));
            m_writtenByLibreOffice.insert(name, rtf);
        }

        // LibreOffice reads what our writer emits, and a file of code page 932.
        const QString ours = m_dir.filePath("ours.rtf");
        QVERIFY(writeFile(ours, RtfWriter::write(documentForLibreOffice())));
        const QString list = m_dir.filePath("list.rtf");
        QTextDocument listDocument;
        RtfReader::read(rtfSample("multilevel-list.rtf"), &listDocument);
        QVERIFY(writeFile(list, RtfWriter::write(&listDocument)));
        const QString japanese = m_dir.filePath("cp932.rtf");
        QVERIFY(writeFile(japanese, rtfSample("cp932.rtf")));
        convert({ours}, {"--convert-to", "fodt"}, m_dir.filePath("toOdt"));
        convert({ours, list, japanese}, {"--convert-to", "txt:Text (encoded):UTF8"}, m_dir.filePath("toText"));
        convert({list}, {"--convert-to", "rtf"}, m_dir.filePath("listBack"));
        m_seenByLibreOffice = FlatOdtRuns::read(readFile(m_dir.filePath("toOdt/ours.fodt")));
        QVERIFY(!m_seenByLibreOffice.isEmpty());
        m_textSeenByLibreOffice = QString::fromUtf8(readFile(m_dir.filePath("toText/ours.txt")));
    }

    void readsLibreOfficeFormats_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("value");

        QTest::newRow("bold") << "bold" << "bold" << "true";
        QTest::newRow("plain is not bold") << "plain" << "bold" << "false";
        QTest::newRow("italic") << "italic" << "italic" << "true";
        QTest::newRow("underline") << "under" << "underline" << "1";
        QTest::newRow("strike") << "struck" << "strike" << "true";
        QTest::newRow("colour") << "red" << "color" << "#ff0000";
        QTest::newRow("background") << "marked" << "background" << "#ffff00";
        QTest::newRow("font") << "courier" << "family" << "Courier New";
        QTest::newRow("size") << "courier" << "size" << "15";
        QTest::newRow("superscript") << "raised" << "vertical" << "1";
        QTest::newRow("subscript") << "lowered" << "vertical" << "2";
    }

    void readsLibreOfficeFormats()
    {
        QFETCH(QString, word);
        QFETCH(QString, property);
        QFETCH(QString, value);
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(m_writtenByLibreOffice.value("formats.html"), &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QCOMPARE(RichTextDump::text(doc), "plain bold italic under struck red marked courier xraised Hlowered");
        const QTextCharFormat f = RichTextDump::charFormatAt(doc, word);
        const QHash<QString, QString> seen{
            {"bold", f.fontWeight() > QFont::Medium ? "true" : "false"},
            {"italic", f.fontItalic() ? "true" : "false"},
            {"underline", QString::number(f.underlineStyle())},
            {"strike", f.fontStrikeOut() ? "true" : "false"},
            {"color", RichTextDump::colorName(f.foreground())},
            {"background", RichTextDump::colorName(f.background())},
            {"family", f.fontFamilies().toStringList().value(0)},
            {"size", QString::number(f.fontPointSize())},
            {"vertical", QString::number(f.verticalAlignment())},
        };
        QCOMPARE(seen.value(property), value);
    }

    void readsLibreOfficeText()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read(m_writtenByLibreOffice.value("text.html"), &doc).isClean());
        QCOMPARE(RichTextDump::text(doc),
                 u"Grüße aus Köln kosten 5 € – „zitiert“\nΩμέγα Привет 日本語 {braces} back\\slash\nline\u2028break"_qs);
    }

    void readsLibreOfficeParagraphs()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read(m_writtenByLibreOffice.value("paragraphs.html"), &doc).isClean());
        QCOMPARE(RichTextDump::text(doc), "centred\nright\njustified\nindented");
        QCOMPARE(RichTextDump::blockFormat(doc.findBlockByNumber(0).blockFormat()).section(' ', 0, 0), "center");
        QCOMPARE(RichTextDump::blockFormat(doc.findBlockByNumber(1).blockFormat()).section(' ', 0, 0), "right");
        QCOMPARE(RichTextDump::blockFormat(doc.findBlockByNumber(2).blockFormat()).section(' ', 0, 0), "justify");
        const QTextBlockFormat indented = doc.findBlockByNumber(3).blockFormat();
        QCOMPARE(qRound(indented.leftMargin()), 96); // 1 inch
        QCOMPARE(qRound(indented.textIndent()), -48);
    }

    void readsLibreOfficeStructure()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read(m_writtenByLibreOffice.value("structure.html"), &doc).isClean());
        QCOMPARE(RichTextDump::text(doc), u"a1\tb1\na2\tb2\nfirst\nsecond\nlink text and \uFFFC"_qs);
        const QTextList *bullets = doc.findBlockByNumber(2).textList();
        QVERIFY(bullets);
        QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(bullets->count(), 2);
        QTextCursor cursor(&doc);
        cursor.movePosition(QTextCursor::End);
        const QTextImageFormat image = cursor.charFormat().toImageFormat();
        QVERIFY(image.isValid());
        QCOMPARE(qRound(image.width()), 8); // LibreOffice gives the size in rounded twips
        QCOMPARE(qRound(image.height()), 6);
    }

    void libreOfficeSeesOurText()
    {
        QString text = m_textSeenByLibreOffice;
        text.remove(QChar::ByteOrderMark);
        QCOMPARE(text.split('\n').mid(0, 4),
                 QStringList({"bold italic under dashed dotted wavy struck red marked courier big raised lowered end",
                              u"Grüße aus Köln kosten 5 € – „zitiert“ Ωμέγα Привет 日本語 \U0001F600 {braces} back\\slash"_qs,
                              u"tab\there line"_qs, u"break no\u00A0break"_qs}));
        QCOMPARE(text.split('\n').mid(4, 4), QStringList({"centred", "right", "justified", "indented"}));
    }

    void multiLevelListBothWays()
    {
        QCOMPARE(textLines(readFile(m_dir.filePath("toText/list.txt"))), kMultiLevelList);

        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(readFile(m_dir.filePath("listBack/list.rtf")), &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QStringList items = listItems(doc);
        // "[1.]Prepare" as LibreOffice's text has it.
        items.replaceInStrings(QRegularExpression("^\\[(.*)\\]"), "\\1 ");
        QCOMPARE(items, kMultiLevelList);
    }

    void codePage932ReadsAlike()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read(rtfSample("cp932.rtf"), &doc).isClean());
        QCOMPARE(RichTextDump::text(doc).split('\n'), textLines(readFile(m_dir.filePath("toText/cp932.txt"))));
        QCOMPARE(RichTextDump::text(doc), u"日本語のメモ\nソフト ｱｲｳ Latin"_qs);
    }

    void libreOfficeSeesOurFormats_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("value");

        QTest::newRow("bold") << "bold" << "fo:font-weight" << "bold";
        QTest::newRow("italic") << "italic" << "fo:font-style" << "italic";
        QTest::newRow("underline") << "under" << "style:text-underline-style" << "solid";
        QTest::newRow("dashed underline") << "dashed" << "style:text-underline-style" << "dash";
        QTest::newRow("dotted underline") << "dotted" << "style:text-underline-style" << "dotted";
        QTest::newRow("wave underline") << "wavy" << "style:text-underline-style" << "wave";
        QTest::newRow("strike") << "struck" << "style:text-line-through-style" << "solid";
        QTest::newRow("colour") << "red" << "fo:color" << "#ff0000";
        QTest::newRow("highlight") << "marked" << "fo:background-color" << "#ffff00";
        QTest::newRow("default font") << "bold" << "font-family" << "Arial";
        QTest::newRow("font") << "courier" << "font-family" << "Courier New";
        QTest::newRow("default size") << "bold" << "fo:font-size" << "10pt";
        QTest::newRow("size") << "big" << "fo:font-size" << "15pt";
        QTest::newRow("superscript") << "raised" << "style:text-position" << "super";
        QTest::newRow("subscript") << "lowered" << "style:text-position" << "sub";
        QTest::newRow("centred") << "centred" << "fo:text-align" << "center";
        QTest::newRow("right") << "right" << "fo:text-align" << "end";
        QTest::newRow("justified") << "justified" << "fo:text-align" << "justify";
        QTest::newRow("left indent") << "indented" << "fo:margin-left" << "720";
        QTest::newRow("right indent") << "indented" << "fo:margin-right" << "360";
        QTest::newRow("first line indent") << "indented" << "fo:text-indent" << "-360";
        QTest::newRow("picture width") << "[image" << "image-width" << "1440";
    }

    void libreOfficeSeesOurFormats()
    {
        QFETCH(QString, word);
        QFETCH(QString, attribute);
        QFETCH(QString, value);
        const FlatOdtRuns::Run run = FlatOdtRuns::runWith(m_seenByLibreOffice, word);
        QVERIFY2(!run.attributes.contains("missing"), qPrintable(word + " is not in LibreOffice's document"));
        QString seen = run.attributes.value(attribute);
        if (attribute.contains("margin") || attribute.contains("indent"))
            seen = QString::number(qRound(FlatOdtRuns::twips(seen)));
        if (attribute == "style:text-position")
            seen = seen.section(' ', 0, 0);
        if (attribute == "image-width") // 96 pixels at 15 twips each
            seen = QString::number(qRound(FlatOdtRuns::twips(run.text.section(' ', 1, 1))));
        QCOMPARE(seen, value);
    }
};

QTEST_MAIN(TestRtfInterop)
#include "tst_RtfInterop.moc"
