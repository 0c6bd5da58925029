#include "notes/RtfReader.h"
#include "passwords/PassPageFile.h"

#include "support/FaultConditions.h"
#include "support/KladdoDataRun.h"
#include "support/RichTextDump.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace {

constexpr const char *kNoteCopy = "note3.sync-conflict-20261209-154840-T4RZMUF.rtf";
constexpr const char *kPassCopy = "pass2 (Anna's conflicted copy 2026-12-09).dat";
const QByteArray kNoteCopyRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Gr\\'fc\\'dfe\\par zwei}";
const QByteArray kPassCopyCsv = "text,name,password\r\nBank,Anna,geheim\r\n" + QByteArray(",,\r\n").repeated(13);

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
    // Each copy shows and extracts as the export of its kind; nothing but a
    // copy in the data folder is taken, and nothing of Kladdo's written over.
    void conflictCopies_data()
    {
        QTest::addColumn<QStringList>("args"); // after "conflicts"; D the data folder, O another
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out"); // printed, or what OUT_FILE holds
        QTest::addColumn<QString>("err");
        QTest::newRow("list") << QStringList{"D"} << 0
                              << QByteArray("note-LAPTOP.ini  note.ini  OneDrive\n") + kNoteCopy + "  note3.rtf  Syncthing\n"
                                     + kPassCopy + "  pass2.dat  Dropbox\n"
                              << "";
        QTest::newRow("show note") << QStringList{"show", "D", kNoteCopy} << 0 << QByteArray("Grüße\nzwei\n") << "";
        QTest::newRow("show password page") << QStringList{"show", "D", kPassCopy} << 0 << kPassCopyCsv << "";
        QTest::newRow("show note.ini by path")
            << QStringList{"show", "D", "D/note-LAPTOP.ini"} << 0 << QByteArray("[WINDOW]\r\nTitel=Köln\r\n") << "";
        QTest::newRow("extract text") << QStringList{"extract", "D", kNoteCopy, "O/merge.txt"} << 0
                                      << QByteArray("Grüße\nzwei\n") << "";
        QTest::newRow("extract rich text") << QStringList{"extract", "D", kNoteCopy, "O/merge.RTF"} << 0 << kNoteCopyRtf << "";
        QTest::newRow("extract password page") << QStringList{"extract", "D", kPassCopy, "O/p.csv"} << 0 << kPassCopyCsv << "";
        QTest::newRow("extract note.ini") << QStringList{"extract", "D", "note-LAPTOP.ini", "O/n.ini"} << 0
                                          << QByteArray("[WINDOW]\r\nTitel=K\xf6ln\r\n") << "";
        QTest::newRow("the page itself") << QStringList{"show", "D", "note3.rtf"} << 1 << QByteArray()
                                         << "note3.rtf is not a conflict copy of a file of ";
        QTest::newRow("a copy elsewhere") << QStringList{"show", "D", "O/note3-LAPTOP.rtf"} << 1 << QByteArray()
                                          << "/note3-LAPTOP.rtf is not a conflict copy";
        QTest::newRow("no such copy") << QStringList{"show", "D", "note5-LAPTOP.rtf"} << 1 << QByteArray()
                                      << "note5-LAPTOP.rtf does not exist";
        QTest::newRow("over the page") << QStringList{"extract", "D", kNoteCopy, "D/Note3.rtf"} << 1 << QByteArray()
                                       << "Note3.rtf would be written over";
        QTest::newRow("note as csv") << QStringList{"extract", "D", kNoteCopy, "O/n.csv"} << 2 << QByteArray()
                                     << "must end in .rtf or .txt";
    }

    void conflictCopies()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        const QTemporaryDir other;
        QVERIFY(writeFile(data(kNoteCopy), kNoteCopyRtf));
        QVERIFY(writeFile(data("note-LAPTOP.ini"), "[WINDOW]\r\nTitel=K\xf6ln\r\n"));
        QVERIFY(writeFile(other.filePath("note3-LAPTOP.rtf"), "x"));
        PassPageCells cells;
        cells.setCell(PassTextColumn, 0, "Bank");
        cells.setCell(PassNameColumn, 0, "Anna");
        cells.setCell(PassPasswordColumn, 0, "geheim");
        PassPageFile(data(kPassCopy)).save(cells);
        const QByteArray page = readFile(data("note3.rtf"));
        for (QString &arg : args)
            arg.replace(QRegularExpression("^D"), m_dir->path()).replace(QRegularExpression("^O"), other.path());
        const KladdoDataRun r = KladdoDataRun::run(QStringList{"conflicts"} + args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
        const bool extracted = args[0] == "extract" && exitCode == 0;
        const QByteArray given = extracted ? readFile(args.last()) : r.out;
        if (args.last().endsWith(".RTF"))
            QCOMPARE(dumpOf(given), dumpOf(out));
        else
            QCOMPARE(given, out);
        QCOMPARE(readFile(data("note3.rtf")), page);
    }

    // A conflict copy is named but, unlike damage, does not fail the check.
    void checkNamesConflictCopies()
    {
        QVERIFY(writeFile(data(kNoteCopy), kNoteCopyRtf));
        const KladdoDataRun r = KladdoDataRun::run({"check", m_dir->path()});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QByteArray(kNoteCopy) + ": conflict copy of note3.rtf made by Syncthing, to merge by hand\n"),
                 r.out.constData());
    }
};

QTEST_MAIN(TestKladdoDataNotes)
#include "tst_KladdoDataNotes.moc"
