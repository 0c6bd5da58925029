#include "platform/ProfileFile.h"
#include "settings/SharedSettings.h"
#include "settings/WindowSettings.h"

#include <QTemporaryDir>
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
        QTest::newRow("opacity 256 is raised to 25") << QByteArray("Transparent=256") << 25 << "Transparent";
        QTest::newRow("opacity 24 is raised to 25") << QByteArray("Transparent=24") << 25 << "Transparent";
        QTest::newRow("opacity 281 keeps low byte 25") << QByteArray("Transparent=281") << 25 << "Transparent";
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
        QTest::newRow("palette 7") << QByteArray("Palette=7") << 2 << "Palette";
        QTest::newRow("palette 0") << QByteArray("Palette=0") << 2 << "Palette";
        QTest::newRow("palette 1") << QByteArray("Palette=1") << 1 << "Palette";
        QTest::newRow("palette 6") << QByteArray("Palette=6") << 6 << "Palette";
        QTest::newRow("black user colour 1") << QByteArray("Color1=0") << 0x808080 << "Color1";
        QTest::newRow("black user colour 2") << QByteArray("Color2=$0") << 0x808080 << "Color2";
        QTest::newRow("black user colour 3") << QByteArray("Color3=0") << 0x808080 << "Color3";
        QTest::newRow("dark user colour kept") << QByteArray("Color1=1") << 1 << "Color1";
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
            {"DisplayHint", s.DisplayHint}, {"Palette", s.Palette}, {"Pos", s.Pos},
            {"Color1", s.Color1}, {"Color2", s.Color2}, {"Color3", s.Color3}};
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
        QTest::addColumn<QList<int>>("stored"); // ColWidth1-3, ColPos1-2
        QTest::addColumn<bool>("reset");
        QTest::newRow("sum 500 resets") << QList<int>{200, 200, 100, 100, 200} << true;
        QTest::newRow("sum 495 kept") << QList<int>{200, 200, 95, 100, 200} << false;
        QTest::newRow("sum does not overflow")
            << QList<int>{2147483647, 2147483647, 2147483647, 100, 200} << true;
        QTest::newRow("negative width resets") << QList<int>{-1, 300, 100, 100, 200} << true;
        QTest::newRow("third width negative resets") << QList<int>{100, 100, -5, 100, 200} << true;
        QTest::newRow("zero width kept") << QList<int>{0, 300, 100, 100, 200} << false;
        QTest::newRow("positions 25 and 250 kept") << QList<int>{165, 165, 165, 25, 250} << false;
        QTest::newRow("position 24 resets") << QList<int>{165, 165, 165, 24, 165} << true;
        QTest::newRow("position 251 resets") << QList<int>{165, 165, 165, 165, 251} << true;
    }

    void columnWidthRule()
    {
        QFETCH(QList<int>, stored);
        QFETCH(bool, reset);
        WindowSettings s;
        s.ColWidth1 = stored[0];
        s.ColWidth2 = stored[1];
        s.ColWidth3 = stored[2];
        s.ColPos1 = stored[3];
        s.ColPos2 = stored[4];
        applyColumnWidthRule(s);
        const QList<int> after{s.ColWidth1, s.ColWidth2, s.ColWidth3, s.ColPos1, s.ColPos2};
        QCOMPARE(after, reset ? QList<int>(5, 165) : stored);
    }

    void writeOrderAndRoundTrip()
    {
        StoredSettings s;
        s.Language = "English";
        s.Note = 7;
        s.Pos = 123;
        s.Transparent = 200;
        s.RollEffect = 2;
        s.GlobalKey = ""; // turned off, which must not read back as the default
        s.NoteTitle[0] = "Einkauf";
        s.AlarmText[9] = "01.01.2027   07:30";
        ProfileDocument doc;
        writeSettings(doc, s);
        QByteArray expected = "[WINDOW]\r\nLanguage=English\r\nDisplayNP=0\r\nDisplayAlarm=0\r\n"
                              "DisplayHint=1\r\nNote=7\r\nPass=0\r\nPos=123\r\nAdjust=0\r\n"
                              "Transparent=200\r\nPalette=2\r\nColor1=5876991\r\n"
                              "Color2=3644415\r\nColor3=32251\r\nColWidth1=165\r\n"
                              "ColWidth2=165\r\nColWidth3=165\r\nColPos1=165\r\nColPos2=165\r\n"
                              "RollEffect=2\r\nGlobalKey=\r\n[NOTETITLE]\r\nTitle0=Einkauf\r\n";
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
        QCOMPARE(back.GlobalKey, QString());
        QCOMPARE(back.NoteTitle, s.NoteTitle);
        QCOMPARE(back.AlarmText, s.AlarmText);
    }

    // Two computers on one synced note.ini: each writes only what it changed,
    // follows the other's titles and alarms, and keeps its own place and pages.
    void twoComputersShareOneFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("note.ini");
        SharedSettings desk(path, "desk"), laptop(path, "laptop");
        StoredSettings onDesk = desk.load(), onLaptop = laptop.load();
        desk.save(onDesk, 100, 255);
        onLaptop.NoteTitle[1] = "Laptop title";
        laptop.save(onLaptop, 600, 200);

        desk.writeString(SettingsKeys::Alarm, SettingsKeys::alarmKey(3), onDesk.AlarmText[3] = "07.03.2026   09:01");
        desk.writeInteger(SettingsKeys::Window, u"Note", onDesk.Note = 4);
        QVERIFY(laptop.follow(onLaptop));
        QCOMPARE(onLaptop.AlarmText[3], "07.03.2026   09:01");
        QCOMPARE(onLaptop.Note, 0);
        QVERIFY(!laptop.follow(onLaptop));

        desk.writeString(SettingsKeys::NoteTitle, SettingsKeys::titleKey(2), onDesk.NoteTitle[2] = "Desk title");
        onLaptop.NoteTitle[2] = "typed on the laptop, not yet written";
        QVERIFY(!laptop.follow(onLaptop));
        QCOMPARE(onLaptop.NoteTitle[2], "typed on the laptop, not yet written");

        // The desk's close keeps what the laptop wrote since the desk last looked.
        desk.save(onDesk, 100, 255);
        StoredSettings file = SharedSettings(path, "third").load();
        QCOMPARE(file.NoteTitle[1], "Laptop title");
        QCOMPARE(file.Transparent, 200);
        QCOMPARE(file.AlarmText[3], "07.03.2026   09:01");
        laptop.save(onLaptop, 600, 200);
        file = SharedSettings(path, "third").load();
        QCOMPARE(file.AlarmText[3], "07.03.2026   09:01");
        QCOMPARE(file.NoteTitle[2], "typed on the laptop, not yet written");
        QCOMPARE(file.Pos, 600);

        const StoredSettings deskAgain = SharedSettings(path, "desk").load();
        QCOMPARE(deskAgain.Pos, 100);
        QCOMPARE(deskAgain.Note, 4);
        QCOMPARE(SharedSettings(path, "laptop").load().Note, 0);

        // Written again as it is, the file is left alone: to a sync tool it
        // would be a change, and two at once a conflict.
        const QDateTime past(QDate(2026, 1, 1), QTime(12, 0));
        QFile ini(path);
        QVERIFY(ini.open(QIODevice::ReadWrite) && ini.setFileTime(past, QFileDevice::FileModificationTime));
        ini.close();
        laptop.writeInteger(SettingsKeys::Window, u"Pos", 600);
        laptop.save(onLaptop, 600, 200);
        QCOMPARE(QFileInfo(path).lastModified(), past);

        QVERIFY(QFile::remove(path));
        QVERIFY(!laptop.follow(onLaptop));
        QCOMPARE(onLaptop.AlarmText[3], "07.03.2026   09:01");
    }
};

QTEST_APPLESS_MAIN(TestWindowSettings)
#include "tst_WindowSettings.moc"
