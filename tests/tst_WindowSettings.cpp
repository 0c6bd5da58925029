#include "platform/ProfileFile.h"
#include "settings/WindowSettings.h"

#include <QTest>

namespace {

StoredSettings read(const QByteArray &ini)
{
    return readSettings(ProfileDocument::fromBytes(ini));
}

} // namespace

class TestWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void noFileGivesEveryDefault()
    {
        const StoredSettings s = read({});
        QCOMPARE(s.Language, QStringLiteral("Deutsch"));
        QCOMPARE(s.DisplayNP, 0);
        QCOMPARE(s.DisplayAlarm, 0);
        QCOMPARE(s.DisplayHint, 1);
        QCOMPARE(s.Note, 0);
        QCOMPARE(s.Pass, 0);
        QCOMPARE(s.Pos, 5);
        QCOMPARE(s.Adjust, 0);
        QCOMPARE(s.Transparent, 255);
        QCOMPARE(s.Palette, 2);
        QCOMPARE(s.Color1, 0x0059ACFF);
        QCOMPARE(s.Color2, 0x00379BFF);
        QCOMPARE(s.Color3, 0x00007DFB);
        for (int width : {s.ColWidth1, s.ColWidth2, s.ColWidth3, s.ColPos1, s.ColPos2})
            QCOMPARE(width, 165);
        QCOMPARE(s.RollEffect, 0);
        for (int page = 0; page < WindowSettings::PageCount; ++page) {
            QVERIFY(s.NoteTitle[page].isEmpty());
            QVERIFY(s.PassTitle[page].isEmpty());
            QVERIFY(s.AlarmText[page].isEmpty());
        }
    }

    void storedValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("field");
        QTest::newRow("RollEffect written, Rolleffect read") << QByteArray("RollEffect=3") << 3 << "RollEffect";
        QTest::newRow("hex page number") << QByteArray("Note=0x5") << 5 << "Note";
        QTest::newRow("letters give the default") << QByteArray("Note=abc") << 0 << "Note";
        QTest::newRow("opacity 511 keeps low byte") << QByteArray("Transparent=511") << 255 << "Transparent";
        QTest::newRow("opacity 256 keeps low byte") << QByteArray("Transparent=256") << 0 << "Transparent";
        QTest::newRow("opacity -1") << QByteArray("Transparent=-1") << 255 << "Transparent";
        QTest::newRow("note page 10") << QByteArray("Note=10") << 0 << "Note";
        QTest::newRow("note page -1") << QByteArray("Note=-1") << 0 << "Note";
        QTest::newRow("note page 9") << QByteArray("Note=9") << 9 << "Note";
        QTest::newRow("pass page 12") << QByteArray("Pass=12") << 0 << "Pass";
        QTest::newRow("view 2") << QByteArray("DisplayNP=2") << 0 << "DisplayNP";
        QTest::newRow("view 1") << QByteArray("DisplayNP=1") << 1 << "DisplayNP";
        QTest::newRow("alarm area 5") << QByteArray("DisplayAlarm=5") << 0 << "DisplayAlarm";
        QTest::newRow("adjust -1") << QByteArray("Adjust=-1") << 0 << "Adjust";
        QTest::newRow("roll effect 4") << QByteArray("Rolleffect=4") << 0 << "RollEffect";
        QTest::newRow("roll effect -1") << QByteArray("Rolleffect=-1") << 0 << "RollEffect";
        QTest::newRow("hint value kept") << QByteArray("DisplayHint=7") << 7 << "DisplayHint";
        QTest::newRow("palette kept as stored") << QByteArray("Palette=7") << 7 << "Palette";
        QTest::newRow("negative top edge") << QByteArray("Pos=-300") << -300 << "Pos";
    }

    void storedValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        QFETCH(QString, field);
        const StoredSettings s = read("[WINDOW]\r\n" + line + "\r\n");
        const QHash<QString, int> fields = {
            {"RollEffect", s.RollEffect}, {"Note", s.Note}, {"Pass", s.Pass},
            {"Transparent", s.Transparent}, {"DisplayNP", s.DisplayNP},
            {"DisplayAlarm", s.DisplayAlarm}, {"Adjust", s.Adjust},
            {"DisplayHint", s.DisplayHint}, {"Palette", s.Palette}, {"Pos", s.Pos}};
        QCOMPARE(fields.value(field), expected);
    }

    void textsLoseBlanksAndQuotes()
    {
        const StoredSettings s = read("[NOTETITLE]\r\nTitle4 =  \"  Einkauf  \"  \r\n"
                                      "[PASSTITLE]\r\ntitle9='Bank'\r\n"
                                      "[ALARM]\r\nAlarm3=\r\nAlarm2=24.12.2026   18:00\r\n");
        QCOMPARE(s.NoteTitle[4], QStringLiteral("  Einkauf  "));
        QCOMPARE(s.PassTitle[9], QStringLiteral("Bank"));
        QCOMPARE(s.AlarmText[3], QString());
        QCOMPARE(s.AlarmText[2], QStringLiteral("24.12.2026   18:00"));
    }

    void columnWidthRule_data()
    {
        QTest::addColumn<int>("w1");
        QTest::addColumn<int>("w2");
        QTest::addColumn<int>("w3");
        QTest::addColumn<bool>("reset");
        QTest::newRow("sum 500 resets") << 200 << 200 << 100 << true;
        QTest::newRow("sum 495 kept") << 200 << 200 << 95 << false;
        QTest::newRow("sum does not overflow") << 2147483647 << 2147483647 << 2147483647 << true;
        QTest::newRow("negative widths kept") << -10 << 300 << 200 << false;
    }

    void columnWidthRule()
    {
        QFETCH(int, w1);
        QFETCH(int, w2);
        QFETCH(int, w3);
        QFETCH(bool, reset);
        WindowSettings s;
        s.ColWidth1 = w1;
        s.ColWidth2 = w2;
        s.ColWidth3 = w3;
        s.ColPos1 = 100;
        s.ColPos2 = 300;
        applyColumnWidthRule(s);
        const QList<int> after{s.ColWidth1, s.ColWidth2, s.ColWidth3, s.ColPos1, s.ColPos2};
        const QList<int> expected =
            reset ? QList<int>{165, 165, 165, 165, 165} : QList<int>{w1, w2, w3, 100, 300};
        QCOMPARE(after, expected);
    }

    void writeOrderAndRoundTrip()
    {
        StoredSettings s;
        s.Language = "English";
        s.Note = 7;
        s.Pos = 123;
        s.Transparent = 200;
        s.RollEffect = 2;
        s.NoteTitle[0] = "Einkauf";
        s.AlarmText[9] = "01.01.2027   07:30";
        ProfileDocument doc;
        writeSettings(doc, s);
        QByteArray expected = "[WINDOW]\r\nLanguage=English\r\nDisplayNP=0\r\nDisplayAlarm=0\r\n"
                              "DisplayHint=1\r\nNote=7\r\nPass=0\r\nPos=123\r\nAdjust=0\r\n"
                              "Transparent=200\r\nPalette=2\r\nColor1=5876991\r\n"
                              "Color2=3644415\r\nColor3=32251\r\nColWidth1=165\r\n"
                              "ColWidth2=165\r\nColWidth3=165\r\nColPos1=165\r\nColPos2=165\r\n"
                              "RollEffect=2\r\n[NOTETITLE]\r\nTitle0=Einkauf\r\n";
        for (int page = 1; page < 10; ++page)
            expected += "Title" + QByteArray::number(page) + "=\r\n";
        expected += "[PASSTITLE]\r\n";
        for (int page = 0; page < 10; ++page)
            expected += "Title" + QByteArray::number(page) + "=\r\n";
        expected += "[ALARM]\r\n";
        for (int page = 0; page < 9; ++page)
            expected += "Alarm" + QByteArray::number(page) + "=\r\n";
        expected += "Alarm9=01.01.2027   07:30\r\n";
        QCOMPARE(doc.toBytes(), expected);

        const StoredSettings back = readSettings(doc);
        QCOMPARE(back.Language, s.Language);
        QCOMPARE(back.Note, 7);
        QCOMPARE(back.Pos, 123);
        QCOMPARE(back.Transparent, 200);
        QCOMPARE(back.RollEffect, 2);
        QCOMPARE(back.NoteTitle, s.NoteTitle);
        QCOMPARE(back.AlarmText, s.AlarmText);
    }
};

QTEST_APPLESS_MAIN(TestWindowSettings)
#include "tst_WindowSettings.moc"
