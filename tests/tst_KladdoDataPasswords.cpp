#include "passwords/PassPageFile.h"
#include "support/KladdoDataRun.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray kHeader = "text,name,password\r\n";

// 14 rows, so that the row the grid does not show is exported too.
QByteArray fullPageCsv()
{
    QByteArray csv = kHeader;
    csv += "Bank,M\xc3\xbcller,Stra\xc3\x9f" "e\xe2\x82\xac" "42\r\n";
    csv += "\"Shop, online\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n";
    csv += "\xc3\xa4\xc3\x9f\xe2\x82\xac,,\r\n";
    for (int row = 4; row <= 14; ++row)
        csv += "t" + QByteArray::number(row) + ",n" + QByteArray::number(row) + ",p"
               + QByteArray::number(row) + "\r\n";
    return csv;
}

} // namespace

class TestKladdoDataPasswords : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString data() const { return m_dir->path(); }
    QString page(int number) const { return PassPageFile::pathFor(data(), number); }

    QString csvFile(const QByteArray &content) const
    {
        const QString path = m_dir->filePath(QStringLiteral("in.csv"));
        return writeFile(path, content) ? path : QString();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void importThenExportGivesTheSameCsv()
    {
        const QByteArray csv = fullPageCsv();
        const KladdoDataRun import = KladdoDataRun::run({"passwords", "import", data(), "7", csvFile(csv)});
        QCOMPARE(import.err, QString());
        QCOMPARE(import.exitCode, 0);
        QCOMPARE(readFile(page(7)).size(), 10752);

        const PassPageLoad load = PassPageFile(page(7)).load();
        QCOMPARE(load.cells.cell(PassPasswordColumn, 0), QStringLiteral("Stra\u00dfe\u20ac42"));
        QCOMPARE(load.cells.cell(PassTextColumn, 2), QStringLiteral("\u00e4\u00df\u20ac"));

        const KladdoDataRun exported = KladdoDataRun::run({"passwords", "export", data(), "7"});
        QCOMPARE(exported.err, QString());
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.out, csv);
    }

    void fewerRowsLeaveTheRestEmpty()
    {
        QCOMPARE(KladdoDataRun::run({"passwords", "import", data(), "0", csvFile(fullPageCsv())}).exitCode, 0);
        const QByteArray csv = kHeader + "only,one,row\n";
        QCOMPARE(KladdoDataRun::run({"passwords", "import", data(), "0", csvFile(csv)}).exitCode, 0);
        const KladdoDataRun exported = KladdoDataRun::run({"passwords", "export", data(), "0"});
        QCOMPARE(exported.out, kHeader + "only,one,row\r\n" + QByteArray(",,\r\n").repeated(13));
    }

    void exportOfAMissingPageIsEmpty()
    {
        const KladdoDataRun exported = KladdoDataRun::run({"passwords", "export", data(), "5"});
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.out, kHeader + QByteArray(",,\r\n").repeated(14));
        QVERIFY(!QFile::exists(page(5)));
    }

    void refusedImport_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("error");
        const QByteArray row = "a,b,c\r\n";
        QTest::newRow("text of 256") << kHeader + row + QByteArray(256, 'x') + ",b,c\r\n"
                                     << "Row 2, column text: a cell may hold at most 255";
        QTest::newRow("name of 256") << kHeader + "a," + QByteArray(256, 'x') + ",c\r\n"
                                     << "Row 1, column name: a cell may hold at most 255";
        QTest::newRow("password of 184")
            << kHeader + row + row + "a,b," + QByteArray(184, 'p') + "\r\n"
            << "Row 3, column password: a password may hold at most 183";
        QTest::newRow("outside Windows-1252")
            << kHeader + "a,\xe6\x97\xa5,c\r\n"
            << "Row 1, column name: holds characters that Windows-1252";
        QTest::newRow("15 rows") << kHeader + row.repeated(15) << "has 15 rows; a page holds at most 14";
        QTest::newRow("no header") << row << "must start with the line text,name,password";
        QTest::newRow("empty file") << QByteArray() << "must start with the line text,name,password";
        QTest::newRow("two fields") << kHeader + "a,b\r\n" << "Row 1: 2 fields, not 3";
        QTest::newRow("bad quoting") << kHeader + "a,b\"c,d\r\n" << "Line 2: a quote inside a field";
        QTest::newRow("not UTF-8") << kHeader + "K\xe4se,b,c\r\n" << "is not UTF-8 text";
        QTest::newRow("over 1 MiB") << kHeader + QByteArray(1024 * 1024, ',') << "is larger than 1024 KiB";
    }

    // Nothing is written: the page on disk stays as it was.
    void refusedImport()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, error);
        QCOMPARE(KladdoDataRun::run({"passwords", "import", data(), "2", csvFile(fullPageCsv())}).exitCode, 0);
        const QByteArray before = readFile(page(2));
        const KladdoDataRun import = KladdoDataRun::run({"passwords", "import", data(), "2", csvFile(csv)});
        QCOMPARE(import.exitCode, 1);
        QVERIFY2(import.err.contains(error), qPrintable(import.err));
        QCOMPARE(readFile(page(2)), before);
    }

    void wrongCalls_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no action") << QStringList{"passwords"};
        QTest::newRow("unknown action") << QStringList{"passwords", "show", "/tmp", "1"};
        QTest::newRow("page 10") << QStringList{"passwords", "export", "/tmp", "10"};
        QTest::newRow("page letter") << QStringList{"passwords", "export", "/tmp", "a"};
        QTest::newRow("page fullwidth") << QStringList{"passwords", "export", "/tmp", "\uFF13"};
        QTest::newRow("import without file") << QStringList{"passwords", "import", "/tmp", "1"};
        QTest::newRow("export with file") << QStringList{"passwords", "export", "/tmp", "1", "x"};
    }

    void wrongCalls()
    {
        QFETCH(QStringList, args);
        const KladdoDataRun r = KladdoDataRun::run(args);
        QVERIFY2(r.isWrongCall(), qPrintable(QString::number(r.exitCode) + ": " + r.err));
    }

    void exportOfADamagedPage()
    {
        QCOMPARE(KladdoDataRun::run({"passwords", "import", data(), "4", csvFile(fullPageCsv())}).exitCode, 0);
        QByteArray file = readFile(page(4));
        file[PassPageRecord::slotOffset(PassPasswordColumn, 3) + 1] = '!';
        QVERIFY(writeFile(page(4), file));

        const KladdoDataRun exported = KladdoDataRun::run({"passwords", "export", data(), "4"});
        QCOMPARE(exported.exitCode, 1);
        QVERIFY2(exported.err.contains("password row 4 cannot be deciphered"), qPrintable(exported.err));
        // The header, 14 rows and the line break inside row 2.
        QCOMPARE(exported.out.count('\n'), 16);
        QVERIFY(exported.out.contains("t4,n4,\r\nt5,n5,p5\r\n"));
    }

    void check()
    {
        QVERIFY(writeFile(m_dir->filePath("note.ini"), "[WINDOW]\r\nPass=1\r\n"));
        QCOMPARE(KladdoDataRun::run({"passwords", "import", data(), "0", csvFile(fullPageCsv())}).exitCode, 0);
        const KladdoDataRun good = KladdoDataRun::run({"check", data()});
        QCOMPARE(good.out, QByteArray("note.ini: ok\npass0.dat: ok\n"));
        QCOMPARE(good.exitCode, 0);

        QVERIFY(writeFile(page(3), readFile(page(0)).left(300)));
        QByteArray file = readFile(page(0));
        file[PassPageRecord::slotOffset(PassPasswordColumn, 13) + 1] = '\n';
        QVERIFY(writeFile(page(9), file));
        const KladdoDataRun bad = KladdoDataRun::run({"check", data()});
        QCOMPARE(bad.exitCode, 1);
        QCOMPARE(bad.out, QByteArray("note.ini: ok\n"
                                     "pass0.dat: ok\n"
                                     "pass3.dat: damaged: size 300 bytes, not 10752; "
                                     "text rows 3-14 not in the file; name rows 1-14 not in the file; "
                                     "password rows 1-14 not in the file\n"
                                     "pass9.dat: damaged: password row 14 cannot be deciphered\n"));
    }
};

QTEST_GUILESS_MAIN(TestKladdoDataPasswords)
#include "tst_KladdoDataPasswords.moc"
