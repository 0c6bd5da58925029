#include "notes/RtfReader.h"

#include "support/FaultConditions.h"
#include "support/KladdoDataRun.h"
#include "support/RichTextDump.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace {

QString dumpOf(const QByteArray &rtf)
{
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    return RichTextDump::document(doc);
}

} // namespace

class TestKladdoDataNotes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString data(const QString &name) const { return m_dir->filePath(name); }

    KladdoDataRun exportPage(const char *page, const char *format) const
    {
        return KladdoDataRun::run({"notes", "export", m_dir->path(), page, "--format", format});
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(writeFile(data("note3.rtf"), rtfSample("richedit-german.rtf")));
    }

    void wrongCalls_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("notes alone") << QStringList{"notes"};
        QTest::newRow("unknown verb") << QStringList{"notes", "print", "d", "1", "--format", "text"};
        QTest::newRow("page too large") << QStringList{"notes", "export", "d", "10", "--format", "text"};
        QTest::newRow("page not a number") << QStringList{"notes", "export", "d", "x", "--format", "text"};
        QTest::newRow("page in another script") << QStringList{"notes", "export", "d", "\u0663", "--format", "text"};
        QTest::newRow("format missing") << QStringList{"notes", "export", "d", "1"};
        QTest::newRow("unknown format") << QStringList{"notes", "export", "d", "1", "--format", "pdf"};
        QTest::newRow("import without file") << QStringList{"notes", "import", "d", "1"};
        QTest::newRow("import of a .doc") << QStringList{"notes", "import", "d", "1", "letter.doc"};
    }

    void wrongCalls()
    {
        QFETCH(QStringList, args);
        const KladdoDataRun r = KladdoDataRun::run(args);
        QVERIFY2(r.isWrongCall(), qPrintable(QString::number(r.exitCode) + ": " + r.err));
    }

    void helpListsNotes()
    {
        const KladdoDataRun r = KladdoDataRun::run({"--help"});
        QVERIFY(r.out.contains("notes export DATA_DIR PAGE --format text|html|rtf"));
        QVERIFY(r.out.contains("notes import DATA_DIR PAGE FILE"));
    }

    void exportText()
    {
        const KladdoDataRun r = exportPage("3", "text");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out),
                 u"Grüße aus Köln: fett, kursiv, unterstrichen, durch.\n"
                 "Rot und gelb markiert kosten 5 € Arial 14\n"
                 "Alles zusammen\n"
                 "Zażółć gęślą jaźń\n"
                 "\n"
                 "Tab\tZeile\nzwei\n"_qs);
    }

    void exportHtmlKeepsFormats()
    {
        const KladdoDataRun r = exportPage("3", "html");
        QCOMPARE(r.exitCode, 0);
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(r.out));
        QCOMPARE(RichTextDump::formatOf(doc, "fett"), "Comic Sans MS 10 b");
        QCOMPARE(RichTextDump::formatOf(doc, "Rot"), "Comic Sans MS 10 fg=#ff0000");
        QCOMPARE(RichTextDump::blockFormat(doc.findBlockByNumber(2).blockFormat()), "center");
    }

    void exportHtmlEmbedsPictures()
    {
        QVERIFY(writeFile(data("note4.rtf"), rtfSample("wordprocessor.rtf")));
        const KladdoDataRun r = exportPage("4", "html");
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("<img src=\"data:image/png;base64,iVBOR"), r.out.right(600).constData());
    }

    void exportRtfReadsTheSame()
    {
        const KladdoDataRun r = exportPage("3", "rtf");
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
        QCOMPARE(dumpOf(r.out), dumpOf(rtfSample("richedit-german.rtf")));
    }

    void exportOfMissingPage()
    {
        const KladdoDataRun r = exportPage("6", "text");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("note6.rtf does not exist"), qPrintable(r.err));
    }

    void exportOfDamagedPageSaysWhat()
    {
        QVERIFY(writeFile(data("note5.rtf"), "{\\rtf1 Anfang {\\b fett"));
        const KladdoDataRun r = exportPage("5", "text");
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray("Anfang fett\n"));
        QVERIFY2(r.err.contains("note5.rtf: the file ends with 2 group(s) still open"), qPrintable(r.err));
    }

    void import_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("dump");

        QTest::newRow("utf-8 text") << "in.txt" << QByteArray("Gr\xc3\xbc\xc3\x9f\x65\r\nzwei\r\n")
                                    << "[left] {MS Sans Serif 8}Grüße\n[left] {MS Sans Serif 8}zwei\n[left] {MS Sans Serif 8}";
        QTest::newRow("1252 text") << "in.TXT" << QByteArray("Gr\xfc\xdf\x65 \x80")
                                   << "[left] {MS Sans Serif 8}Grüße €";
        QTest::newRow("html") << "in.html"
                              << QByteArray("<p align=center>a <b>fett</b> <span style='color:#ff0000'>rot</span></p>")
                              << "[center] {MS Sans Serif 8}a  {MS Sans Serif 8 b}fett {MS Sans Serif 8}  "
                                 "{MS Sans Serif 8 fg=#ff0000}rot";
        QTest::newRow("rtf") << "in.rtf" << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 x \\i y}")
                             << "[left] {Arial 10}x  {Arial 10 i}y";
    }

    void import()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, dump);
        QVERIFY(writeFile(data(name), content));
        const KladdoDataRun r = KladdoDataRun::run({"notes", "import", m_dir->path(), "2", data(name)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());
        const QByteArray written = readFile(data("note2.rtf"));
        QVERIFY(written.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031"));
        QCOMPARE(dumpOf(written), dump);
    }

    void importHtmlWithPictureBesideIt()
    {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(data("green.png")));
        QVERIFY(writeFile(data("page.html"), "<p>see <img src=\"green.png\"></p>"));
        const KladdoDataRun r = KladdoDataRun::run({"notes", "import", m_dir->path(), "2", data("page.html")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(dumpOf(readFile(data("note2.rtf"))), "[left] {MS Sans Serif 8}see  {image 4x4 #00ff00}");
    }

    // Qt's HTML reader asks the font database for the fixed-pitch font of
    // <pre>, <code>, <tt>, <kbd> and <samp>; the tool must give it one
    // without a display, whatever platform the caller's environment names.
    void importManualPageWithoutDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1StringView(name));
        const QString manual = QStringLiteral(TEST_DATA_DIR "/html/manual.html");
        const KladdoDataRun imported = KladdoDataRun::run({"notes", "import", m_dir->path(), "2", manual}, environment);
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.exitCode, 0);
        const KladdoDataRun r = exportPage("2", "text");
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("$ kladdo-data notes export ~/Kladdo 3 --format text > page3.txt\n"
                                "$ wc -l page3.txt\n12 page3.txt\n"),
                 r.out.constData());
        QVERIFY(r.out.contains("Stop Kladdo first with Alt+F4; the option --format is required."));
    }

    void damagedRtfIsRefused()
    {
        QVERIFY(writeFile(data("broken.rtf"), "{\\rtf1 cut {\\b off"));
        const QByteArray before = readFile(data("note3.rtf"));
        const KladdoDataRun r = KladdoDataRun::run({"notes", "import", m_dir->path(), "3", data("broken.rtf")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("was not imported: the file ends with 2 group(s) still open"), qPrintable(r.err));
        QCOMPARE(readFile(data("note3.rtf")), before);
    }

    void textAfterTheEndIsAWarning()
    {
        QVERIFY(writeFile(data("tail.rtf"), "{\\rtf1 kept}\r\nstray text"));
        const KladdoDataRun r = KladdoDataRun::run({"notes", "import", m_dir->path(), "3", data("tail.rtf")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("warning: ") && r.err.contains("tail.rtf: text after the document's closing brace was left out"),
                 qPrintable(r.err));
        QCOMPARE(dumpOf(readFile(data("note3.rtf"))), "[left] {MS Sans Serif 12}kept");
    }

    void importFailures_data()
    {
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing data folder") << "nowhere" << "in.txt" << "is not a folder";
        QTest::newRow("missing file") << "." << "absent.txt" << "absent.txt cannot be read";
    }

    void importFailures()
    {
        QFETCH(QString, dataDir);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QVERIFY(writeFile(data("in.txt"), "x"));
        const KladdoDataRun r = KladdoDataRun::run({"notes", "import", data(dataDir), "1", data(file)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(data("note1.rtf")));
    }

    void fullDiskKeepsTheOldPage()
    {
        SKIP_UNLESS_AVAILABLE(FileSizeLimit);
        QVERIFY(writeFile(data("big.txt"), QByteArray(200000, 'x')));
        const QByteArray before = readFile(data("note3.rtf"));
        KladdoDataRun r;
        {
            const FileSizeLimit limit(100000); // the child process inherits it
            r = KladdoDataRun::run({"notes", "import", m_dir->path(), "3", data("big.txt")});
        }
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("note3.rtf cannot be created"), qPrintable(r.err));
        QCOMPARE(readFile(data("note3.rtf")), before);
    }

    // The tool's own fdatasync() and fsync() fail: the disk did not take the page.
    void failedSyncKeepsTheOldPage()
    {
        SKIP_UNLESS_AVAILABLE(SyncFailure);
        QVERIFY(writeFile(data("in.txt"), "new"));
        const QByteArray before = readFile(data("note3.rtf"));
        const KladdoDataRun r = KladdoDataRun::run({"notes", "import", m_dir->path(), "3", data("in.txt")},
                                                   withFailingSyncs(QProcessEnvironment::systemEnvironment()));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("note3.rtf cannot be created: it did not reach the disk: Input/output error"),
                 qPrintable(r.err));
        QCOMPARE(readFile(data("note3.rtf")), before);
    }

    void checkReadsEveryPage()
    {
        QVERIFY(writeFile(data("note0.rtf"), "plain text is a valid page"));
        QVERIFY(writeFile(data("note7.rtf"), "{\\rtf1 {\\b unclosed}"));
        const KladdoDataRun r = KladdoDataRun::run({"check", m_dir->path()});
        QCOMPARE(r.exitCode, 1);
        const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[1], "note0.rtf: ok");
        QCOMPARE(lines[2], "note3.rtf: ok");
        QCOMPARE(lines[3], "note7.rtf: damaged: the file ends with 1 group(s) still open "
                           "(truncated or unbalanced braces) (at byte 20)");
    }
};

QTEST_MAIN(TestKladdoDataNotes)
#include "tst_KladdoDataNotes.moc"
