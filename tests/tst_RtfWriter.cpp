#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include "support/RichTextDump.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <functional>

using Recipe = std::function<void(QTextCursor &)>;
Q_DECLARE_METATYPE(Recipe)

namespace {

const QFont kDefaultFont(QStringLiteral("Arial"), 10);

QTextCharFormat format(const std::function<void(QTextCharFormat &)> &set)
{
    QTextCharFormat f;
    set(f);
    return f;
}

QTextBlockFormat block(const std::function<void(QTextBlockFormat &)> &set)
{
    QTextBlockFormat f;
    set(f);
    return f;
}

void addImage(QTextCursor &cursor, const QString &name, QColor color, QSizeF size = {})
{
    QImage image(6, 4, QImage::Format_ARGB32);
    image.fill(color);
    cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    if (size.isValid()) {
        f.setWidth(size.width());
        f.setHeight(size.height());
    }
    cursor.insertImage(f);
}

QTextDocument *makeDocument(const Recipe &recipe, QObject *parent)
{
    auto *doc = new QTextDocument(parent);
    doc->setDefaultFont(kDefaultFont);
    QTextCursor cursor(doc);
    recipe(cursor);
    return doc;
}

QByteArray writeText(const QString &text)
{
    QTextDocument doc;
    doc.setDefaultFont(kDefaultFont);
    doc.setPlainText(text);
    return RtfWriter::write(&doc);
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void compactDialect()
    {
        QTextDocument doc;
        doc.setDefaultFont(kDefaultFont);
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("Grüße "));
        cursor.insertText(QStringLiteral("fett"), format([](auto &f) { f.setFontWeight(QFont::Bold); }));
        cursor.insertText(QStringLiteral(" Ω"), QTextCharFormat());
        cursor.insertBlock(block([](auto &f) { f.setAlignment(Qt::AlignHCenter); }));
        cursor.insertText(QStringLiteral("rot"), format([](auto &f) { f.setForeground(QColor(255, 0, 0)); }));

        QCOMPARE(RtfWriter::write(&doc),
                 QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031"
                            "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                            "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                            "{\\*\\generator Kladdo;}\\viewkind4\\uc1 \r\n"
                            "\\pard\\fs20 Gr\\'fc\\'dfe \\b fett\\b0  \\u937?\\par\r\n"
                            "\\pard\\qc\\cf1 rot\\par\r\n"
                            "}\r\n"));
    }

    void tablesHoldOnlyWhatIsUsed()
    {
        QTextDocument doc;
        doc.setDefaultFont(kDefaultFont);
        QTextCursor cursor(&doc);
        const auto courier = format([](auto &f) { f.setFontFamilies({QStringLiteral("Courier New")}); });
        cursor.insertText(QStringLiteral("a"), courier);
        cursor.insertText(QStringLiteral("b"), format([](auto &f) { f.setBackground(QColor(0, 0, 255)); }));
        cursor.insertText(QStringLiteral("c"), courier);
        const QByteArray rtf = RtfWriter::write(&doc);
        QVERIFY2(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Courier New;}}"), rtf);
        QVERIFY2(rtf.contains("{\\colortbl ;\\red0\\green0\\blue255;}"), rtf);
        QVERIFY2(rtf.contains("\\pard\\f1\\fs20 a\\f0\\highlight1 b\\f1\\highlight0 c\\par"), rtf);
        QVERIFY2(!writeText("x").contains("colortbl"), "a document without colours has no colour table");
    }

    void characterEscapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("rtf");

        QTest::newRow("braces and backslash") << u"{a}\\"_qs << QByteArray("\\{a\\}\\\\");
        QTest::newRow("1252 as hex") << u"äÖ€“"_qs << QByteArray("\\'e4\\'d6\\'80\\'93");
        QTest::newRow("beyond 1252 as \\u") << u"Ωб"_qs << QByteArray("\\u937?\\u1073?");
        QTest::newRow("above 32767 negative") << u"\uF0B7\uFFFD"_qs << QByteArray("\\u-3913?\\u-3?");
        QTest::newRow("surrogate pair as two") << u"\U0001F600"_qs << QByteArray("\\u-10179?\\u-8704?");
        QTest::newRow("tab") << u"a\tb"_qs << QByteArray(" a\\tab b");
        QTest::newRow("line break") << u"a\u2028b"_qs << QByteArray(" a\\line b");
        QTest::newRow("space after a word is doubled") << u"\t x"_qs << QByteArray("\\tab  x");
        QTest::newRow("nbsp and hyphens") << u"a\u00A0b\u00ADc\u2011d"_qs << QByteArray(" a\\~b\\-c\\_d");
        QTest::newRow("control characters dropped") << u"a\u0001b"_qs << QByteArray(" ab");
    }

    void characterEscapes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, rtf);
        const QByteArray written = writeText(text);
        // The text follows the paragraph's words, after a space when it starts plain.
        const QByteArray body = written.mid(written.indexOf("\\pard\\fs20") + 10);
        QCOMPARE(body.left(body.indexOf("\\par\r\n")), rtf);
    }

    void outputIsAsciiWithCrLf()
    {
        const QByteArray rtf = writeText(QStringLiteral("Grüße\nΩ 日本\n"));
        QVERIFY(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        QCOMPARE(rtf.count("\\par\r\n"), 3);
        QCOMPARE(rtf.count('\n'), rtf.count("\r\n"));
    }

    void qtListsStayLists()
    {
        QTextDocument doc;
        doc.setDefaultFont(kDefaultFont);
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("intro"));
        const auto item = [&cursor](QTextListFormat::Style style, int indent, const QString &text) {
            QTextListFormat format;
            format.setStyle(style);
            format.setIndent(indent);
            cursor.insertBlock(QTextBlockFormat());
            cursor.createList(format);
            cursor.insertText(text);
        };
        item(QTextListFormat::ListDecimal, 1, QStringLiteral("one"));
        item(QTextListFormat::ListLowerAlpha, 2, QStringLiteral("sub"));
        item(QTextListFormat::ListSquare, 1, QStringLiteral("dot"));
        const QByteArray rtf = RtfWriter::write(&doc);
        // Readers without lists see the markers.
        QVERIFY2(rtf.contains("{\\listtext 1.\\tab}") && rtf.contains("{\\listtext a.\\tab}"), rtf);

        QTextDocument back;
        RtfReader::read(rtf, &back);
        QStringList items;
        for (QTextBlock block = back.begin(); block.isValid(); block = block.next()) {
            const QTextList *list = block.textList();
            items << (list ? QStringLiteral("%1 %2 %3 ").arg(list->format().style()).arg(list->format().indent()).arg(list->itemText(block))
                           : QString())
                         + block.text();
        }
        QCOMPARE(items, QStringList({"intro", "-4 1 1. one", "-5 2 a. sub", "-3 1  dot"}));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Recipe>("recipe");

        const auto text = [](const QString &t, const std::function<void(QTextCharFormat &)> &set) {
            return Recipe([=](QTextCursor &c) {
                c.insertText(QStringLiteral("plain "));
                c.insertText(t, format(set));
                c.insertText(QStringLiteral(" after"));
            });
        };
        QTest::newRow("empty document") << Recipe([](QTextCursor &) {});
        QTest::newRow("plain") << Recipe([](QTextCursor &c) { c.insertText(QStringLiteral("Hallo Welt")); });
        QTest::newRow("bold") << text("b", [](auto &f) { f.setFontWeight(QFont::Bold); });
        QTest::newRow("italic") << text("i", [](auto &f) { f.setFontItalic(true); });
        QTest::newRow("underline") << text("u", [](auto &f) { f.setFontUnderline(true); });
        QTest::newRow("dash underline") << text("u", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::DashUnderline); });
        QTest::newRow("dot underline") << text("u", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::DotLine); });
        QTest::newRow("dash dot underline") << text("u", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::DashDotLine); });
        QTest::newRow("dash dot dot underline")
            << text("u", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::DashDotDotLine); });
        QTest::newRow("wave underline") << text("u", [](auto &f) { f.setUnderlineStyle(QTextCharFormat::WaveUnderline); });
        QTest::newRow("strike") << text("s", [](auto &f) { f.setFontStrikeOut(true); });
        QTest::newRow("superscript") << text("2", [](auto &f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });
        QTest::newRow("subscript") << text("2", [](auto &f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); });
        QTest::newRow("font") << text("f", [](auto &f) { f.setFontFamilies({QStringLiteral("Comic Sans MS")}); });
        QTest::newRow("font beyond ascii") << text("f", [](auto &f) { f.setFontFamilies({u"Schöne Ω"_qs}); });
        QTest::newRow("size") << text("s", [](auto &f) { f.setFontPointSize(8.5); });
        QTest::newRow("large size") << text("s", [](auto &f) { f.setFontPointSize(72); });
        QTest::newRow("colour") << text("c", [](auto &f) { f.setForeground(QColor(0x12, 0x34, 0x56)); });
        QTest::newRow("highlight") << text("h", [](auto &f) { f.setBackground(QColor(Qt::yellow)); });
        QTest::newRow("everything at once") << text("all", [](auto &f) {
            f.setFontWeight(QFont::Bold);
            f.setFontItalic(true);
            f.setFontUnderline(true);
            f.setFontStrikeOut(true);
            f.setFontFamilies({QStringLiteral("Courier New")});
            f.setFontPointSize(15);
            f.setForeground(QColor(Qt::red));
            f.setBackground(QColor(Qt::green));
        });
        QTest::newRow("mixed runs") << Recipe([](QTextCursor &c) {
            const auto bold = format([](auto &f) { f.setFontWeight(QFont::Bold); });
            const auto red = format([](auto &f) { f.setForeground(QColor(Qt::red)); });
            const auto both = format([](auto &f) {
                f.setFontWeight(QFont::Bold);
                f.setForeground(QColor(Qt::red));
            });
            c.insertText(QStringLiteral("a"), bold);
            c.insertText(QStringLiteral("b"), both);
            c.insertText(QStringLiteral("c"), red);
            c.insertText(QStringLiteral("d"));
            c.insertText(QStringLiteral("e"), both);
        });
        QTest::newRow("non-ascii in 1252") << Recipe([](QTextCursor &c) { c.insertText(u"Grüße aus Köln – „zitiert“ 5 € ÿ"_qs); });
        QTest::newRow("non-ascii beyond 1252")
            << Recipe([](QTextCursor &c) { c.insertText(u"Ωμέγα Привет 日本語 \uF0B7 \U0001F600 ✓"_qs); });
        QTest::newRow("escapes and breaks")
            << Recipe([](QTextCursor &c) { c.insertText(u"{x}\\y\tz\u2028line a\u00A0b\u00ADc\u2011d"_qs); });
        QTest::newRow("alignments") << Recipe([](QTextCursor &c) {
            c.setBlockFormat(block([](auto &f) { f.setAlignment(Qt::AlignHCenter); }));
            c.insertText(QStringLiteral("c"));
            c.insertBlock(block([](auto &f) { f.setAlignment(Qt::AlignRight); }));
            c.insertText(QStringLiteral("r"));
            c.insertBlock(block([](auto &f) { f.setAlignment(Qt::AlignJustify); }));
            c.insertText(QStringLiteral("j"));
            c.insertBlock(QTextBlockFormat());
            c.insertText(QStringLiteral("l"));
        });
        QTest::newRow("indents") << Recipe([](QTextCursor &c) {
            c.setBlockFormat(block([](auto &f) {
                f.setLeftMargin(48);
                f.setRightMargin(24);
                f.setTextIndent(-24);
            }));
            c.insertText(QStringLiteral("hanging"));
            c.insertBlock(block([](auto &f) { f.setTextIndent(10); }));
            c.insertText(QStringLiteral("first line"));
            c.insertBlock(QTextBlockFormat());
            c.insertText(QStringLiteral("back"));
        });
        QTest::newRow("empty paragraphs keep their size") << Recipe([](QTextCursor &c) {
            c.insertText(QStringLiteral("a"));
            c.insertBlock(QTextBlockFormat(), format([](auto &f) { f.setFontPointSize(20); }));
            c.insertBlock(QTextBlockFormat(), QTextCharFormat());
            c.insertText(QStringLiteral("b"));
        });
        QTest::newRow("ends with an empty paragraph") << Recipe([](QTextCursor &c) {
            c.insertText(QStringLiteral("a"));
            c.insertBlock();
        });
        QTest::newRow("only empty paragraphs") << Recipe([](QTextCursor &c) {
            c.insertBlock();
            c.insertBlock();
        });
        QTest::newRow("images") << Recipe([](QTextCursor &c) {
            c.insertText(QStringLiteral("before "));
            addImage(c, QStringLiteral("red"), Qt::red);
            addImage(c, QStringLiteral("blue"), Qt::blue, QSizeF(30, 20));
            addImage(c, QStringLiteral("blue"), Qt::blue, QSizeF(30, 20)); // one fragment, two images
            c.insertText(QStringLiteral(" after"));
        });
    }

    void roundTrip()
    {
        QFETCH(Recipe, recipe);
        const QTextDocument *original = makeDocument(recipe, this);
        const QByteArray rtf = RtfWriter::write(original);
        QTextDocument back;
        back.setDefaultFont(kDefaultFont);
        const RtfReadResult result = RtfReader::read(rtf, &back);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QCOMPARE(RichTextDump::document(back), RichTextDump::document(*original));
        // A second pass changes nothing.
        QCOMPARE(RtfWriter::write(&back), rtf);
    }

    void endsWithoutFinalParagraphMark()
    {
        QTextDocument doc;
        doc.setDefaultFont(kDefaultFont);
        doc.setPlainText(QStringLiteral("first\nsecond"));
        QByteArray rtf = RtfWriter::write(&doc);
        QVERIFY(rtf.endsWith("second\\par\r\n}\r\n"));
        rtf.replace("second\\par\r\n}", "second}");
        QTextDocument back;
        back.setDefaultFont(kDefaultFont);
        QVERIFY(RtfReader::read(rtf, &back).isClean());
        QCOMPARE(RichTextDump::document(back), RichTextDump::document(doc));
    }

    void imageWithoutResourceIsLeftOut()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("a"));
        QTextImageFormat missing;
        missing.setName(QStringLiteral("nowhere.png"));
        cursor.insertImage(missing);
        cursor.insertText(QStringLiteral("b"));
        const QByteArray rtf = RtfWriter::write(&doc);
        QVERIFY(!rtf.contains("\\pict"));
        QTextDocument back;
        RtfReader::read(rtf, &back);
        QCOMPARE(RichTextDump::text(back), "ab");
    }
};

QTEST_MAIN(TestRtfWriter)
#include "tst_RtfWriter.moc"
