#include "notes/RtfLists.h"
#include "notes/RtfReader.h"
#include "notes/RtfWriter.h"

#include "support/RichTextDump.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
#include <QTextList>

namespace {

// A minimal rich-edit file around body, with the fonts and colours the
// rows below use.
QByteArray richEdit(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031"
           "{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Courier New;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\viewkind4\\uc1 \\pard\\f0\\fs20 "
           + body + "\\par\r\n}\r\n";
}

// A document whose list table holds one list, override 3, of levels.
QByteArray withList(const QByteArray &levels, const QByteArray &body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list\\listtemplateid1" + levels
           + "{\\listname ;}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls3}}\r\n" + body + "}";
}

QByteArray level(int numberFormat, const QByteArray &text, const QByteArray &numbers, int startAt = 1)
{
    return "{\\listlevel\\levelnfc" + QByteArray::number(numberFormat) + "\\levelnfcn" + QByteArray::number(numberFormat)
           + "\\levelstartat" + QByteArray::number(startAt) + "{\\leveltext\\leveltemplateid5" + text + ";}"
           + (numbers.isNull() ? QByteArray() : "{\\levelnumbers" + numbers + ";}") + "\\fi-360\\li720}";
}

QByteArray item(int level, const QByteArray &text)
{
    return "\\pard\\ls3\\ilvl" + QByteArray::number(level) + "\\fi-360\\li720 " + text + "\\par\r\n";
}

// Each paragraph as "[marker]text", the marker as Qt's list shows it.
QString listDump(const QTextDocument &doc)
{
    QStringList lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        QString marker = list ? list->itemText(block) : QString();
        if (list && list->format().style() >= QTextListFormat::ListSquare)
            marker = QStringList{"disc", "circle", "square"}.value(-1 - list->format().style());
        lines << (list ? '[' + marker + ']' : QString()) + block.text();
    }
    return lines.join('\n');
}

QByteArray pictureHex(const char *format)
{
    return RichTextDump::redPicture(format).toHex();
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void richEditSample()
    {
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(rtfSample("richedit-german.rtf"), &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QVERIFY(result.wasRtf);
        const QString cs = QStringLiteral("Comic Sans MS 10");
        QCOMPARE(RichTextDump::document(doc),
                 QStringLiteral("[left] {%1}Grüße aus Köln:  {%1 b}fett {%1},  {%1 i}kursiv {%1},  {%1 u}unterstrichen"
                                " {%1},  {%1 s}durch {%1}.\n"
                                "[left] {%1 fg=#ff0000}Rot {%1} und  {%1 bg=#ffff00}gelb markiert {%1} kosten 5 € "
                                " {Arial 14}Arial 14\n"
                                "[center] {%1 b i u}Alles zusammen\n"
                                "[left li=48 ri=24 fi=-24] {Calibri 10}Zażółć gęślą jaźń\n"
                                "[left] {%1}\n"
                                "[left] {%1 fg=#00b050}Tab<tab>Zeile<br>zwei")
                     .arg(cs));
    }

    void wordProcessorSample()
    {
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(rtfSample("wordprocessor.rtf"), &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QCOMPARE(RichTextDump::text(doc),
                 QString::fromUtf8("Heading\n"
                                   "Normal text with a link and a 1 field.\n"
                                   "·\tFirst item\n"
                                   "2.\tSecond item\n"
                                   "Cell A1\tCell B1\n"
                                   "Cell A2\t\tCell C2\n"
                                   "Привет and text\n"
                                   "\uFFFC after picture\n"
                                   "End"));
        QCOMPARE(RichTextDump::formatOf(doc, "Heading"), "Arial 16 b");
        QCOMPARE(RichTextDump::formatOf(doc, "link"), "Times New Roman 12 u fg=#0000ff");
        QCOMPARE(RichTextDump::blockFormat(doc.findBlockByNumber(1).blockFormat()), "justify");
        QCOMPARE(RichTextDump::blockFormat(doc.findBlockByNumber(2).blockFormat()), "left li=48 ri=0 fi=-24");
        QCOMPARE(RichTextDump::formatOf(doc, "Привет"), "Arial Cyr 12");
        const QString pictureLine = RichTextDump::document(doc).split('\n').value(7);
        QVERIFY2(pictureLine.startsWith("[left] {image 20x15 #ff0000}"), qPrintable(pictureLine));
    }

    // Bodies of rich-edit files that must read cleanly as exactly this text.
    void text_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");

        QTest::newRow("umlauts as \\'hh") << QByteArray("\\'c4\\'d6\\'dc\\'e4\\'f6\\'fc\\'df") << u"ÄÖÜäöüß"_qs;
        QTest::newRow("1252 beyond Latin-1") << QByteArray("\\'80\\'84\\'93\\'94\\'96\\'85") << u"€„“”–…"_qs;
        QTest::newRow("\\u with fallback") << QByteArray("5 \\u8364? x") << u"5 € x"_qs;
        QTest::newRow("\\u with \\'hh fallback") << QByteArray("\\u8364\\'80!") << u"€!"_qs;
        QTest::newRow("\\u negative") << QByteArray("\\u-3913?") << u"\uF0B7"_qs;
        QTest::newRow("\\uc2 skips two") << QByteArray("\\uc2\\u937\\'4f\\'6d!") << u"Ω!"_qs;
        QTest::newRow("\\uc0 skips none") << QByteArray("\\uc0\\u937 m") << u"Ωm"_qs;
        QTest::newRow("\\uc scoped by group") << QByteArray("{\\uc2\\u937??}\\u937?") << u"ΩΩ"_qs;
        QTest::newRow("skipping ends at a group") << QByteArray("\\uc3\\u937?{x}") << u"Ωx"_qs;
        QTest::newRow("surrogate pair") << QByteArray("\\u-10179?\\u-8704?") << u"\U0001F600"_qs;
        QTest::newRow("lone high surrogate") << QByteArray("\\u-10179?x") << u"\uFFFDx"_qs;
        QTest::newRow("lone low surrogate") << QByteArray("a\\u-8704?") << u"a\uFFFD"_qs;
        QTest::newRow("escaped braces and backslash") << QByteArray("\\{a\\}\\\\") << u"{a}\\"_qs;
        QTest::newRow("nbsp, soft and hard hyphen") << QByteArray("a\\~b\\-c\\_d") << u"a\u00A0b\u00ADc\u2011d"_qs;
        QTest::newRow("quotes and dashes") << QByteArray("\\lquote\\rquote\\ldblquote\\rdblquote\\endash\\emdash\\bullet")
                                           << u"‘’“”–—•"_qs;
        QTest::newRow("tab and line") << QByteArray("a\\tab b\\line c") << u"a\tb\u2028c"_qs;
        QTest::newRow("line ends in the file are not text") << QByteArray("a\r\nb\nc\rd") << u"abcd"_qs;
        QTest::newRow("space ends a control word") << QByteArray("\\b  two") << u" two"_qs;
        QTest::newRow("lang is ignored") << QByteArray("\\lang1031 x\\lang1033y") << u"xy"_qs;
        QTest::newRow("unknown words are ignored") << QByteArray("\\frobnicate42 x\\nouicompat y") << u"xy"_qs;
        QTest::newRow("hidden text is left out") << QByteArray("a{\\v secret\\'e4}b\\v c\\v0 d") << u"abd"_qs;
        QTest::newRow("control characters are dropped") << QByteArray("a\\'00\\'07b\\u10?c") << u"abc"_qs;
        QTest::newRow("frame markers cannot be injected") << QByteArray("\\u-560?") << u"\uFFFD"_qs;
        // Word-processor constructs.
        QTest::newRow("star destination skipped") << QByteArray("a{\\*\\unknown b{c}}d") << "ad";
        QTest::newRow("star before known word skipped") << QByteArray("a{\\*\\b b}c") << "ac";
        QTest::newRow("stylesheet skipped") << QByteArray("{\\stylesheet{\\s1 Heading;}}a") << "a";
        QTest::newRow("info skipped") << QByteArray("{\\info{\\title T}{\\author A}}a") << "a";
        QTest::newRow("header and footer skipped") << QByteArray("{\\header h}{\\footer f}a") << "a";
        QTest::newRow("footnote skipped") << QByteArray("a{\\footnote n}b") << "ab";
        QTest::newRow("field keeps result")
            << QByteArray("{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}") << "shown";
        QTest::newRow("field instruction without star") << QByteArray("{\\field{\\fldinst PAGE}{\\fldrslt 7}}") << "7";
        QTest::newRow("listtext kept") << QByteArray("{\\listtext 1.\\tab}item") << "1.\titem";
        QTest::newRow("pntext kept, pn skipped") << QByteArray("{\\pntext a)\\tab}{\\*\\pn\\pnlvlbody}item") << "a)\titem";
        QTest::newRow("old pn without star skipped") << QByteArray("{\\pn\\pnlvlblt{\\pntxtb x}}item") << "item";
        QTest::newRow("cells to tabs, rows to lines")
            << QByteArray("\\trowd\\cellx1\\cellx2 a\\cell b\\cell\\row\\trowd c\\cell d\\cell\\row") << "a\tb\nc\td\n"; // richEdit() adds a \par after the body
        QTest::newRow("empty cells keep their place") << QByteArray("\\cell b\\cell\\row") << "\tb\n";
        QTest::newRow("nested cells") << QByteArray("a\\nestcell b\\nestcell{\\*\\nesttableprops\\nestrow}\\cell\\row") << "a\tb\n";
        QTest::newRow("bin skipped by its count") << QByteArray("a\\bin3 }{\\b") << "ab";
        QTest::newRow("bin in skipped group") << QByteArray("{\\*\\objdata\\bin2 }}}x") << "x";
        QTest::newRow("metafile skipped") << QByteArray("{\\pict\\wmetafile8 0102ff}x") << "x";
        QTest::newRow("nonshppict skipped") << QByteArray("{\\nonshppict{\\pict\\wmetafile8 00}}x") << "x";
        QTest::newRow("shape result kept") << QByteArray("{\\shp{\\*\\shpinst x}{\\shprslt y}}") << "y";
        // Text boxes follow the paragraph that anchors them.
        const QByteArray shape = "{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv 202}}"
                                 "{\\shptxt \\pard in {\\b box}\\par second\\par}}"
                                 "{\\shprslt{\\*\\do\\dobxcolumn{\\dptxbx{\\dptxbxtext in box\\par second\\par}}}}}";
        QTest::newRow("text box") << "a" + shape + " b\\par next" << "a b\nin box\nsecond\nnext";
        QTest::newRow("text box at the end") << "a" + shape << "a\nin box\nsecond";
        QTest::newRow("two text boxes") << "a" + shape + shape + "b" << "ab\nin box\nsecond\nin box\nsecond";
        QTest::newRow("drawing object's text box") << QByteArray("a{\\*\\do\\dobxcolumn{\\dptxbx{\\dptxbxtext old}}}b")
                                                   << "ab\nold";
        QTest::newRow("shape result without text box") << QByteArray("a{\\shp{\\*\\shpinst{\\sp{\\sn x}}}{\\shprslt r}}b")
                                                       << "arb";
    }

    void text()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(richEdit(body), &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QCOMPARE(RichTextDump::text(doc), text);
    }

    void lists_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("dump");

        const QByteArray decimal = level(0, "\\'02\\'00.", "\\'01");
        QTest::newRow("decimal") << withList(decimal, item(0, "a") + item(0, "b") + item(0, "c")) << "[1.]a\n[2.]b\n[3.]c";
        QTest::newRow("upper letters") << withList(level(3, "\\'02\\'00)", "\\'01"), item(0, "a") + item(0, "b"))
                                       << "[A)]a\n[B)]b";
        QTest::newRow("lower letters") << withList(level(4, "\\'02\\'00.", "\\'01"), item(0, "a")) << "[a.]a";
        QTest::newRow("lower roman") << withList(level(2, "\\'03(\\'00)", "\\'02"), item(0, "a") + item(0, "b") + item(0, "c") + item(0, "d"))
                                     << "[(i)]a\n[(ii)]b\n[(iii)]c\n[(iv)]d";
        QTest::newRow("upper roman") << withList(level(1, "\\'02\\'00.", "\\'01"), item(0, "a")) << "[I.]a";
        QTest::newRow("bullets") << withList(level(23, "\\'01\\u-3913 ?", "") + level(23, "\\'01o", "") + level(23, "\\'01\\u-3929 ?", ""),
                                             item(0, "a") + item(1, "b") + item(2, "c"))
                                 << "[disc]a\n[circle]b\n[square]c";
        const QByteArray threeLevels = decimal + level(0, "\\'03\\'00.\\'01", "\\'01\\'03")
                                       + level(0, "\\'05\\'00.\\'01.\\'02", "\\'01\\'03\\'05");
        QTest::newRow("multi-level")
            << withList(threeLevels, item(0, "a") + item(1, "b") + item(1, "c") + item(2, "d") + item(0, "e") + item(1, "f"))
            << "[1.]a\n[1.1]b\n[1.2]c\n[1.2.1]d\n[2.]e\n[2.1]f";
        QTest::newRow("levels without levelnumbers")
            << withList(decimal + level(4, "\\'02\\'01)", QByteArray()), item(0, "a") + item(1, "b") + item(0, "c") + item(1, "d"))
            << "[1.]a\n[a)]b\n[2.]c\n[a)]d";
        QTest::newRow("interrupted list goes on") << withList(decimal, item(0, "a") + "\\pard x\\par " + item(0, "b"))
                                                  << "[1.]a\nx\n[2.]b";
        QTest::newRow("listtext gives way") << withList(decimal, "{\\listtext\\pard\\plain 9.\\tab}" + item(0, "a"))
                                            << "[1.]a";
        QTest::newRow("level missing from the table") << withList(decimal, item(0, "a") + item(1, "b")) << "[1.]a\n[1.]b";
        QTest::newRow("unknown override keeps listtext")
            << withList(decimal, "{\\listtext 4.\\tab}\\pard\\ls9 a\\par") << "4.\ta";
        QTest::newRow("list in a text box")
            << withList(decimal, "\\pard anchor{\\shp{\\*\\shpinst{\\shptxt " + item(0, "in box") + "}}} tail\\par " + item(0, "b"))
            << "anchor tail\n[1.]in box\n2.\tb";
        QTest::newRow("semicolon in the marker") << withList(level(0, "\\'02\\'00\\'3b", "\\'01"), item(0, "a")) << "[1;]a";
        QTest::newRow("last item without par") << withList(decimal, "\\pard\\ls3 a") << "[1.]a";
        // What Qt's lists cannot show comes as text.
        QTest::newRow("starting at 5") << withList(level(0, "\\'02\\'00.", "\\'01", 5), item(0, "a") + item(0, "b"))
                                       << "5.\ta\n6.\tb";
        QTest::newRow("leading zero") << withList(level(22, "\\'02\\'00.", "\\'01"), item(0, "a")) << "01.\ta";
        QTest::newRow("own number not last") << withList(decimal + level(0, "\\'03\\'01-\\'00", "\\'01\\'03"), item(0, "a") + item(1, "b"))
                                             << "[1.]a\n1-1\tb";
    }

    void lists()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, dump);
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(rtf, &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QCOMPARE(listDump(doc), dump);

        // Our writer keeps them lists.
        const QByteArray written = RtfWriter::write(&doc);
        QTextDocument back;
        QVERIFY(RtfReader::read(written, &back).isClean());
        QCOMPARE(listDump(back), dump);
        QCOMPARE(RtfWriter::write(&back), written);
    }

    void listNumbers_data()
    {
        QTest::addColumn<int>("numberFormat");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("decimal") << int(RtfListLevel::Decimal) << 42 << "42";
        QTest::newRow("other formats as decimal") << 5 << 3 << "3";
        QTest::newRow("roman") << int(RtfListLevel::UpperRoman) << 1994 << "MCMXCIV";
        QTest::newRow("largest roman") << int(RtfListLevel::LowerRoman) << 3999 << "mmmcmxcix";
        QTest::newRow("beyond roman") << int(RtfListLevel::LowerRoman) << 4000 << "4000";
        QTest::newRow("roman zero") << int(RtfListLevel::UpperRoman) << 0 << "0";
        QTest::newRow("letters") << int(RtfListLevel::LowerLetter) << 26 << "z";
        QTest::newRow("letters after z, as Qt counts") << int(RtfListLevel::UpperLetter) << 28 << "AB";
        QTest::newRow("leading zero") << int(RtfListLevel::LeadingZero) << 7 << "07";
        QTest::newRow("leading zero, two digits") << int(RtfListLevel::LeadingZero) << 12 << "12";
        QTest::newRow("bullet") << int(RtfListLevel::Bullet) << 1 << "";
    }

    void listNumbers()
    {
        QFETCH(int, numberFormat);
        QFETCH(int, number);
        QFETCH(QString, text);
        QCOMPARE(RtfLists::numberText(numberFormat, number), text);
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");

        // The byte's meaning comes from the font's \fcharset, else \ansicpg.
        const auto byFont = [](int charset, const char *bytes) {
            return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset" + QByteArray::number(charset)
                   + " X;}}\\f0 " + QByteArray(bytes) + "}";
        };
        const auto byDocument = [](int codePage, const char *bytes) {
            return "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(codePage) + "\\deff0{\\fonttbl{\\f0\\fnil X;}}\\f0 "
                   + QByteArray(bytes) + "}";
        };
        QTest::newRow("1250 central european") << byFont(238, "\\'b9\\'9c\\'e6") << u"ąść"_qs;
        QTest::newRow("1251 cyrillic") << byFont(204, "\\'c0\\'e1\\'e2") << u"Абв"_qs;
        QTest::newRow("1253 greek") << byFont(161, "\\'c1\\'e2\\'e3") << u"Αβγ"_qs;
        QTest::newRow("1254 turkish") << byFont(162, "\\'d0\\'fd\\'fe") << u"Ğış"_qs;
        QTest::newRow("1255 hebrew") << byFont(177, "\\'e0\\'e1") << u"אב"_qs;
        QTest::newRow("1256 arabic") << byFont(178, "\\'c7\\'e1") << u"ال"_qs;
        QTest::newRow("1257 baltic") << byFont(186, "\\'e0\\'f0") << u"ąš"_qs;
        QTest::newRow("1258 vietnamese") << byFont(163, "\\'d0\\'f5") << u"Đơ"_qs;
        QTest::newRow("874 thai") << byFont(222, "\\'a1\\'e0") << u"กเ"_qs;
        QTest::newRow("charset 0 is 1252") << byFont(0, "\\'e4\\'80") << u"ä€"_qs;
        QTest::newRow("ansicpg 1251") << byDocument(1251, "\\'c0") << u"А"_qs;
        QTest::newRow("ansicpg 1250") << byDocument(1250, "\\'8a") << u"Š"_qs;
        QTest::newRow("raw high bytes too") << byDocument(1251, "\xc0\xe1") << u"Аб"_qs;
        // Double-byte code pages: a lead byte and the byte after it, however written.
        QTest::newRow("932 by ansicpg") << byDocument(932, "\\'82\\'a0\\'82\\'a2") << u"あい"_qs;
        QTest::newRow("932 by charset") << byFont(128, "\\'93\\'fa\\'96\\'7b") << u"日本"_qs;
        QTest::newRow("932 trail as plain byte") << byFont(128, "\\'82`\\'82a") << u"ＡＢ"_qs;
        QTest::newRow("932 trail as escaped backslash") << byFont(128, "\\'83\\\\") << u"ソ"_qs;
        QTest::newRow("932 raw bytes") << byFont(128, "\x82\xa0\x82\xa2") << u"あい"_qs;
        QTest::newRow("932 half-width single byte") << byFont(128, "\\'b1a") << u"ｱa"_qs;
        QTest::newRow("932 pair across a line end") << byFont(128, "\\'82\r\n\\'a0") << u"あ"_qs;
        QTest::newRow("932 lead without trail") << byFont(128, "\\'82\\par x") << u"\uFFFD\nx"_qs;
        QTest::newRow("932 trail that does not fit") << byFont(128, "\\'82\\'0d!") << u"\uFFFD!"_qs;
        QTest::newRow("932 \\u with two-byte fallback") << byFont(128, "\\uc2\\u12354\\'82\\'a0!") << u"あ!"_qs;
        QTest::newRow("936 simplified chinese") << byFont(134, "\\'c4\\'e3\\'ba\\'c3") << u"你好"_qs;
        QTest::newRow("949 korean") << byFont(129, "\\'c7\\'d1\\'b1\\'db") << u"한글"_qs;
        QTest::newRow("950 traditional chinese") << byFont(136, "\\'a4\\'a4\\'a4\\'e5") << u"中文"_qs;
        QTest::newRow("font 1252 in a 932 document") << byDocument(932, "\\'e4").replace("\\fnil", "\\fcharset0")
                                                    << u"ä"_qs;
        QTest::newRow("ansicpg0 is the system's, 1252") << byDocument(0, "\\'e4\\'80") << u"ä€"_qs;
    }

    void codePages()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(rtf, &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QCOMPARE(RichTextDump::text(doc), text);
    }

    void fontNameInItsCodePage_data()
    {
        QTest::addColumn<QByteArray>("font");
        QTest::addColumn<QString>("name");
        QTest::newRow("1251") << QByteArray("\\fcharset204 \\'cc\\'ee\\'e9 \\u1060?") << u"Мой Ф"_qs;
        QTest::newRow("932") << QByteArray("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e")
                             << u"ＭＳ ゴシック"_qs;
    }

    void fontNameInItsCodePage()
    {
        QFETCH(QByteArray, font);
        QFETCH(QString, name);
        QTextDocument doc;
        RtfReader::read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0" + font + ";}}\\f0 x}", &doc);
        QCOMPARE(RichTextDump::formatOf(doc, "x"), name + " 12");
    }

    void formats_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("format");

        QTest::newRow("plain") << QByteArray("word") << "word" << "Arial 10";
        QTest::newRow("bold") << QByteArray("\\b word\\b0") << "word" << "Arial 10 b";
        QTest::newRow("bold off") << QByteArray("\\b x\\b0 word") << "word" << "Arial 10";
        QTest::newRow("bold with 1") << QByteArray("\\b1 word") << "word" << "Arial 10 b";
        QTest::newRow("italic") << QByteArray("\\i word") << "word" << "Arial 10 i";
        QTest::newRow("underline") << QByteArray("\\ul word") << "word" << "Arial 10 u";
        QTest::newRow("ulnone") << QByteArray("\\ul x\\ulnone word") << "word" << "Arial 10";
        QTest::newRow("ul0") << QByteArray("\\ul x\\ul0 word") << "word" << "Arial 10";
        QTest::newRow("word underline") << QByteArray("\\ulw word") << "word" << "Arial 10 u";
        QTest::newRow("dotted underline") << QByteArray("\\uld word") << "word" << "Arial 10 u3";
        QTest::newRow("dashed underline") << QByteArray("\\uldash word") << "word" << "Arial 10 u2";
        QTest::newRow("wave underline") << QByteArray("\\ulwave word") << "word" << "Arial 10 u6";
        QTest::newRow("strike") << QByteArray("\\strike word") << "word" << "Arial 10 s";
        QTest::newRow("strike off") << QByteArray("\\strike x\\strike0 word") << "word" << "Arial 10";
        QTest::newRow("superscript") << QByteArray("\\super word") << "word" << "Arial 10 ^";
        QTest::newRow("subscript") << QByteArray("\\sub word") << "word" << "Arial 10 _";
        QTest::newRow("nosupersub") << QByteArray("\\sub x\\nosupersub word") << "word" << "Arial 10";
        QTest::newRow("raised by half points") << QByteArray("\\up6 word") << "word" << "Arial 10 ^";
        QTest::newRow("lowered by half points") << QByteArray("\\dn2 word") << "word" << "Arial 10 _";
        QTest::newRow("up0 is the baseline") << QByteArray("\\up6 x\\up0 word") << "word" << "Arial 10";
        QTest::newRow("size in half points") << QByteArray("\\fs17 word") << "word" << "Arial 8.5";
        QTest::newRow("second font") << QByteArray("\\f1 word") << "word" << "Courier New 10";
        QTest::newRow("colour") << QByteArray("\\cf2 word") << "word" << "Arial 10 fg=#0000ff";
        QTest::newRow("automatic colour") << QByteArray("\\cf2 x\\cf0 word") << "word" << "Arial 10";
        QTest::newRow("colour out of range") << QByteArray("\\cf9 word") << "word" << "Arial 10";
        QTest::newRow("highlight") << QByteArray("\\highlight1 word") << "word" << "Arial 10 bg=#ff0000";
        QTest::newRow("cb background") << QByteArray("\\cb2 word") << "word" << "Arial 10 bg=#0000ff";
        QTest::newRow("group restores") << QByteArray("{\\b\\i\\cf1 x}word") << "word" << "Arial 10";
        QTest::newRow("group inherits") << QByteArray("\\b{\\i word}") << "word" << "Arial 10 b i";
        QTest::newRow("plain resets to 12 pt default font") << QByteArray("\\f1\\b\\fs40\\plain word") << "word" << "Arial 12";
        QTest::newRow("par keeps formats") << QByteArray("\\b x\\par word") << "word" << "Arial 10 b";
        QTest::newRow("pard keeps formats") << QByteArray("\\i x\\par\\pard word") << "word" << "Arial 10 i";
        QTest::newRow("all at once") << QByteArray("\\f1\\fs30\\b\\i\\ul\\strike\\cf1\\highlight2 word")
                                     << "word" << "Courier New 15 b i u s fg=#ff0000 bg=#0000ff";
    }

    void formats()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, word);
        QFETCH(QString, format);
        QTextDocument doc;
        QVERIFY(RtfReader::read(richEdit(body), &doc).isClean());
        QCOMPARE(RichTextDump::formatOf(doc, word), format);
    }

    void paragraphs_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("dump");

        QTest::newRow("final par adds no paragraph") << QByteArray("a") << "[left] {Arial 10}a";
        QTest::newRow("no final par")
            << QByteArray("{\\rtf1 a\\par b}") << "[left] {Helvetica 12}a\n[left] {Helvetica 12}b";
        QTest::newRow("empty paragraph keeps its size")
            << QByteArray("a\\par\\fs40\\par b") << "[left] {Arial 10}a\n[left] {Arial 20}\n[left] {Arial 20}b";
        QTest::newRow("alignments") << QByteArray("\\qc c\\par\\pard\\qr r\\par\\pard\\qj j\\par\\pard\\ql l")
                                    << "[center] {Arial 10}c\n[right] {Arial 10}r\n[justify] {Arial 10}j\n[left] {Arial 10}l";
        QTest::newRow("indents in twips") << QByteArray("\\li1500\\ri300\\fi-150 x")
                                          << "[left li=100 ri=20 fi=-10] {Arial 10}x";
        QTest::newRow("pard resets") << QByteArray("\\qc\\li300 a\\par\\pard b") << "[center li=20 ri=0 fi=0] {Arial 10}a\n[left] {Arial 10}b";
        QTest::newRow("format at the mark counts") << QByteArray("a\\qc\\par b") << "[center] {Arial 10}a\n[center] {Arial 10}b";
        QTest::newRow("backslash line end is a par") << QByteArray("a\\\r\nb") << "[left] {Arial 10}a\n[left] {Arial 10}b";
        QTest::newRow("sect and page") << QByteArray("a\\sect b\\page c") << "[left] {Arial 10}a\n[left] {Arial 10}b\n[left] {Arial 10}c";
        QTest::newRow("paragraph separator from \\u") << QByteArray("a\\u8233?b") << "[left] {Arial 10}a\n[left] {Arial 10}b";
    }

    void paragraphs()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, dump);
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("Helvetica"), 12));
        QVERIFY(RtfReader::read(body.startsWith('{') ? body : richEdit(body), &doc).isClean());
        QCOMPARE(RichTextDump::document(doc), dump);
    }

    void pictures_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("dump");

        QTest::newRow("png at its own size")
            << "a{\\pict\\pngblip\\picw4\\pich3 " + pictureHex("PNG") + "}b"
            << "[left] {Arial 10}a {image 4x3 #ff0000} {Arial 10}b";
        QTest::newRow("jpeg at goal size")
            << "{\\pict\\jpegblip\\picw4\\pich3\\picwgoal150\\pichgoal90 " + pictureHex("JPEG") + "}"
            << "[left] {image 10x6 #fe0000}";
        QTest::newRow("scaled")
            << "{\\pict\\picscalex200\\picscaley50\\picwgoal60\\pichgoal60\\pngblip " + pictureHex("PNG") + "}"
            << "[left] {image 8x2 #ff0000}";
        QTest::newRow("in shppict")
            << "{\\*\\shppict{\\pict{\\*\\picprop x}\\pngblip " + pictureHex("PNG") + "}}"
               "{\\nonshppict{\\pict\\wmetafile8 00}}"
            << "[left] {image 4x3 #ff0000}";
        QTest::newRow("as binary") << "{\\pict\\pngblip\\bin" + QByteArray::number(QByteArray::fromHex(pictureHex("PNG")).size())
                                          + " " + QByteArray::fromHex(pictureHex("PNG")) + "}"
                                   << "[left] {image 4x3 #ff0000}";
    }

    void pictures()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, dump);
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(richEdit(body), &doc);
        QVERIFY2(result.isClean(), qPrintable(result.problems.join('\n')));
        QString actual = RichTextDump::document(doc);
        // JPEG is lossy; only say that red came out.
        actual.replace(QRegularExpression("#f[c-f]0[0-3]0[0-3]"), "#fe0000");
        dump.replace("#ff0000", "#fe0000");
        QCOMPARE(actual, dump);
    }

    void plainText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");

        QTest::newRow("utf-8") << QByteArray("Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac") << u"Grüße €"_qs;
        QTest::newRow("utf-8 with byte order mark") << QByteArray("\xef\xbb\xbfx") << "x";
        QTest::newRow("1252 when not utf-8") << QByteArray("Gr\xfc\xdf\x65 \x80") << u"Grüße €"_qs;
        QTest::newRow("crlf and cr") << QByteArray("a\r\nb\rc\nd") << "a\nb\nc\nd";
        QTest::newRow("control characters dropped") << QByteArray("a\x01\tb\x16\0c", 7) << "a\tbc";
        QTest::newRow("rtf signature elsewhere") << QByteArray(" {\\rtf1 x}") << " {\\rtf1 x}";
        QTest::newRow("empty") << QByteArray() << "";
    }

    void plainText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(bytes, &doc);
        QVERIFY(!result.wasRtf);
        QVERIFY(result.isClean());
        QCOMPARE(RichTextDump::text(doc), text);
    }

    void readingReplacesContent()
    {
        QTextDocument doc;
        doc.setPlainText("old");
        RtfReader::read(richEdit("new"), &doc);
        QCOMPARE(RichTextDump::text(doc), "new");
        QVERIFY(!doc.isUndoAvailable());
    }

    // Every input ends in a document; the sanitizers watch for the rest.
    void damaged_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");

        const QByteArray good = richEdit("Hallo \\b Welt\\b0  \\u8364?");
        QTest::newRow("truncated in the middle") << good.left(good.indexOf("Welt") + 2) << "Hallo We" << "still open";
        QTest::newRow("truncated after the par") << good.left(good.lastIndexOf('}')) << u"Hallo Welt €"_qs << "1 group(s) still open";
        QTest::newRow("truncated in a word") << QByteArray("{\\rtf1 ab\\") << "ab" << "ends inside a control word";
        QTest::newRow("truncated in a hex escape") << QByteArray("{\\rtf1 ab\\'e") << "ab" << "inside a \\' escape";
        QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zzb}") << "azzb" << "without two hex digits";
        QTest::newRow("truncated bin") << QByteArray("{\\rtf1 a\\bin100 xy") << "a" << "inside \\bin data";
        QTest::newRow("truncated picture") << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e") << "a" << "still open";
        QTest::newRow("unbalanced close") << QByteArray("{\\rtf1 a}b}c") << "a" << "after the document's closing brace";
        QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 {{{a") << "a" << "4 group(s) still open";
        QTest::newRow("only the signature") << QByteArray("{\\rtf") << "" << "still open";
        QTest::newRow("deep nesting") << "{\\rtf1 a" + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "b}"
                                      << "ab" << "nested deeper than 200";
        QTest::newRow("huge numbers")
            << QByteArray("{\\rtf1 \\fs99999999999999\\li-99999999999 a\\cf-5\\f-7 b\\uc99999999999\\u99999999999 c}")
            << u"ab\uFFFD"_qs << "";
        QTest::newRow("huge \\u") << QByteArray("{\\rtf1 \\uc0\\u2000000 \\u-40000 a}") << u"\uFFFD\uFFFDa"_qs << "";
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab" << "";
        QTest::newRow("huge picture size")
            << "{\\rtf1 {\\pict\\pngblip\\picwgoal2147483647\\pichgoal-5\\picscalex2147483647 " + pictureHex("PNG") + "}}"
            << u"\uFFFC"_qs << "";
        QTest::newRow("stray bytes") << QByteArray("{\\rtf1 a\x01\xff\x80\0b}", 14) << u"aÿ€b"_qs << "";
        QTest::newRow("colour table without entries") << QByteArray("{\\rtf1{\\colortbl}\\cf3 a}") << "a" << "";
        QTest::newRow("font table garbage") << QByteArray("{\\rtf1{\\fonttbl;;{\\f;}\\f9\\fcharset-1{}}\\f9 a}") << "a" << "";
        QTest::newRow("tables nested in the font table")
            << QByteArray("{\\rtf1{\\fonttbl{\\colortbl\\red1;}{\\pict\\pngblip 00}{\\fonttbl x;}}a}") << "a" << "";
        QTest::newRow("cell without row") << QByteArray("{\\rtf1 a\\cell\\cell}") << "a" << "";
        // What we cannot read is named, and the rest still read.
        QTest::newRow("unknown code page")
            << QByteArray("{\\rtf1\\ansi\\ansicpg777 abc\\'82\\'a0}") << u"abc\u201A\u00A0"_qs << "code page 777";
        QTest::newRow("unknown code page, unused") << QByteArray("{\\rtf1\\ansi\\ansicpg777 abc}") << "abc" << "";
        QTest::newRow("undecodable picture")
            << richEdit("a{\\pict\\pngblip 0102030405}b") << "ab" << "PNG picture could not be decoded";
        // Limits on what a small file could make large.
        QByteArray fonts;
        for (int font = 0; font <= 16384; ++font)
            fonts += "{\\f" + QByteArray::number(font) + " F;}";
        QTest::newRow("too many fonts") << "{\\rtf1{\\fonttbl" + fonts + "}\\f16384 a\\f3 b}" << "ab"
                                        << "more than 16384 fonts";
        QTest::newRow("too many colours") << "{\\rtf1{\\colortbl" + QByteArray(16385, ';') + "}\\cf16384 a}" << "a"
                                          << "more than 16384 colours";
        const auto picture = [](int width, int height) {
            QImage image(width, height, QImage::Format_Mono);
            image.fill(0);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            return "{\\pict\\pngblip " + png.toHex() + "}";
        };
        QTest::newRow("picture too large") << "{\\rtf1 a" + picture(6000, 5000) + "b}" << "ab"
                                           << "a picture of 6000 x 5000 pixels was left out (at most 25 million pixels)";
        QTest::newRow("pictures too large together")
            << "{\\rtf1 a" + picture(5000, 5000).repeated(5) + "b}" << u"a\uFFFC\uFFFC\uFFFC\uFFFCb"_qs
            << "the pictures hold more than 100 million pixels";
    }

    void damaged()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read(rtf, &doc);
        QCOMPARE(RichTextDump::text(doc), text);
        const QString said = (result.problems + result.warnings).join('\n');
        if (problem.isEmpty())
            QVERIFY2(said.isEmpty(), qPrintable(said));
        else
            QVERIFY2(said.contains(problem), qPrintable(said));
    }

    void problemsAreCapped()
    {
        QTextDocument doc;
        const RtfReadResult result = RtfReader::read("{\\rtf1 " + QByteArray("\\'zz").repeated(1000) + "}", &doc);
        QVERIFY(result.problems.size() <= 21);
        QVERIFY(result.problems.last().contains("more problems"));
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_RtfReader.moc"
