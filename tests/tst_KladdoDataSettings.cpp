#include "support/KladdoDataRun.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestKladdoDataSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QByteArray ini() const { return readFile(m_dir.filePath("note.ini")); }

private slots:
    void init()
    {
        QVERIFY(writeFile(m_dir.filePath("note.ini"),
                          "; mine\r\n[WINDOW]\r\nPos=\"$20\"\r\nLanguage= English \r\n"));
    }

    void wrongCalls_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("settings alone") << QStringList{"settings"};
        QTest::newRow("unknown verb") << QStringList{"settings", "put", "d", "s", "k", "v"};
        QTest::newRow("get missing key") << QStringList{"settings", "get", "d", "WINDOW"};
        QTest::newRow("set missing value") << QStringList{"settings", "set", "d", "WINDOW", "Pos"};
        QTest::newRow("bad flag") << QStringList{"settings", "get", "d", "W", "k", "--num", "1"};
        QTest::newRow("bad default") << QStringList{"settings", "get", "d", "W", "k", "--int", "x"};
    }

    void wrongCalls()
    {
        QFETCH(QStringList, args);
        const KladdoDataRun r = KladdoDataRun::run(args);
        QVERIFY2(r.isWrongCall(), qPrintable(QString::number(r.exitCode) + ": " + r.err));
    }

    void helpListsCommands()
    {
        const KladdoDataRun r = KladdoDataRun::run({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("settings get DATA_DIR SECTION KEY [--int DEFAULT]"));
        QVERIFY(r.out.contains("settings set DATA_DIR SECTION KEY VALUE"));
        QVERIFY(r.out.contains("check DATA_DIR"));
    }

    void getReadsAsTheProgramDoes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("printed");
        const QString d = m_dir.path();
        QTest::newRow("text, blanks dropped") << QStringList{"settings", "get", d, "window", "LANGUAGE"} << QByteArray("English\n");
        QTest::newRow("integer, quotes and hex") << QStringList{"settings", "get", d, "WINDOW", "Pos", "--int", "5"} << QByteArray("32\n");
        QTest::newRow("text of an integer key") << QStringList{"settings", "get", d, "WINDOW", "Pos"} << QByteArray("$20\n");
        QTest::newRow("missing integer key") << QStringList{"settings", "get", d, "WINDOW", "Note", "--int", "-3"} << QByteArray("-3\n");
        QTest::newRow("letters give the default") << QStringList{"settings", "get", d, "WINDOW", "Language", "--int", "7"} << QByteArray("7\n");
        QTest::newRow("missing text key") << QStringList{"settings", "get", d, "ALARM", "Alarm0"} << QByteArray("\n");
        QTest::newRow("missing file") << QStringList{"settings", "get", d + "/nowhere", "WINDOW", "Pos", "--int", "5"} << QByteArray("5\n");
    }

    void getReadsAsTheProgramDoes()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, printed);
        const KladdoDataRun r = KladdoDataRun::run(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, printed);
    }

    void setWritesOneKey()
    {
        const KladdoDataRun r = KladdoDataRun::run({"settings", "set", m_dir.path(), "window", "POS", "40"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(ini(), QByteArray("; mine\r\n[WINDOW]\r\nPos=40\r\nLanguage= English \r\n"));
        const KladdoDataRun title = KladdoDataRun::run(
            {"settings", "set", m_dir.path(), "NOTETITLE", "Title2", "Grüße"});
        QCOMPARE(title.exitCode, 0);
        QVERIFY(ini().endsWith("[NOTETITLE]\r\nTitle2=Gr\xFC\xDF" "e\r\n"));
    }

    void failedWriteExitsOne_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString missing = m_dir.filePath("no/such/folder");
        const QString ini = m_dir.filePath("note.ini");
        QTest::newRow("missing folder")
            << QStringList{"settings", "set", missing, "WINDOW", "Pos", "1"}
            << QStringLiteral("In %1/note.ini kann nicht geschrieben werden").arg(missing);
        QTest::newRow("title the file cannot hold")
            << QStringList{"settings", "set", m_dir.path(), "NOTETITLE", "Title0", "日本"}
            << QStringLiteral("Das Zeichen \"日\" (U+65E5) kann in %1 nicht gespeichert werden").arg(ini);
        QTest::newRow("key name the file cannot hold")
            << QStringList{"settings", "set", m_dir.path(), "WINDOW", "Pos\u0394", "1"}
            << QStringLiteral("Das Zeichen \"\u0394\" (U+0394) kann in %1 nicht gespeichert werden").arg(ini);
    }

    void failedWriteExitsOne()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QByteArray before = ini();
        const KladdoDataRun r = KladdoDataRun::run(args);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err.trimmed(), "kladdo-data: " + QDir::toNativeSeparators(message));
        QCOMPARE(ini(), before);
    }
};

QTEST_GUILESS_MAIN(TestKladdoDataSettings)
#include "tst_KladdoDataSettings.moc"
