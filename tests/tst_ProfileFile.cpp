#include "platform/KladdoError.h"
#include "platform/ProfileFile.h"
#include "support/FaultConditions.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -999 = the default
        QTest::newRow("decimal") << "42" << 42;
        QTest::newRow("leading blanks") << "  42" << 42;
        QTest::newRow("signed") << "-17" << -17;
        QTest::newRow("plus") << "+8" << 8;
        QTest::newRow("0x") << "0x5" << 5;
        QTest::newRow("0X") << "0X1f" << 31;
        QTest::newRow("dollar") << "$FF" << 255;
        QTest::newRow("bare x") << "x10" << 16;
        QTest::newRow("bare X") << "X10" << 16;
        QTest::newRow("negative hex") << "-$10" << -16;
        QTest::newRow("hex all bits") << "$FFFFFFFF" << -1;
        QTest::newRow("int max") << "2147483647" << 2147483647;
        QTest::newRow("int min") << "-2147483648" << int(-2147483648LL);
        QTest::newRow("letters") << "abc" << -999;
        QTest::newRow("trailing letters") << "12a" << -999;
        QTest::newRow("fraction") << "1.5" << -999;
        QTest::newRow("empty") << "" << -999;
        QTest::newRow("sign only") << "-" << -999;
        QTest::newRow("prefix only") << "0x" << -999;
        QTest::newRow("decimal overflow") << "2147483648" << -999;
        QTest::newRow("hex overflow") << "$100000000" << -999;
        QTest::newRow("hex digit in decimal") << "1F" << -999;
    }

    void integers()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto doc = ProfileDocument::fromBytes("[W]\r\nKey=" + text.toLatin1() + "\r\n");
        QCOMPARE(doc.readInteger(u"W", u"Key", -999), expected);
    }

    void readRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray ini = "[WINDOW]\r\nRollEffect=3\r\nLanguage=  English  \r\n"
                               "Title='  quoted  '\r\nBoth=\"x\"\r\nMixed=\"x'\r\nOne=\"\r\n"
                               "Inner=a \"b\" c\r\nEmpty=\r\n";
        QTest::newRow("key case") << ini << "WINDOW" << "Rolleffect" << "3";
        QTest::newRow("section case") << ini << "window" << "ROLLEFFECT" << "3";
        QTest::newRow("blanks dropped") << ini << "WINDOW" << "Language" << "English";
        QTest::newRow("single quotes dropped, inner blanks kept")
            << ini << "WINDOW" << "Title" << "  quoted  ";
        QTest::newRow("double quotes dropped") << ini << "WINDOW" << "Both" << "x";
        QTest::newRow("unmatched quotes kept") << ini << "WINDOW" << "Mixed" << "\"x'";
        QTest::newRow("lone quote kept") << ini << "WINDOW" << "One" << "\"";
        QTest::newRow("inner quotes kept") << ini << "WINDOW" << "Inner" << "a \"b\" c";
        QTest::newRow("empty value is not the default") << ini << "WINDOW" << "Empty" << "";
        QTest::newRow("missing key") << ini << "WINDOW" << "Nope" << "<default>";
        QTest::newRow("missing section") << ini << "ALARM" << "Alarm0" << "<default>";
        QTest::newRow("key before any section ignored")
            << QByteArray("Pos=9\r\n[WINDOW]\r\n") << "WINDOW" << "Pos" << "<default>";
        QTest::newRow("key of another section ignored")
            << QByteArray("[A]\r\nk=1\r\n[B]\r\n") << "B" << "k" << "<default>";
        QTest::newRow("first of two sections wins")
            << QByteArray("[A]\r\nk=1\r\n[A]\r\nk=2\r\n") << "A" << "k" << "1";
        QTest::newRow("LF line ends") << QByteArray("[A]\nk = v \n") << "A" << "k" << "v";
        QTest::newRow("no final line end") << QByteArray("[A]\r\nk=v") << "A" << "k" << "v";
        QTest::newRow("CR alone ends a line") << QByteArray("[A]\rk=v\rj=w\r") << "A" << "k" << "v";
        QTest::newRow("blanks around names") << QByteArray(" [ A ] \r\n k =v\r\n") << "a" << "K" << "v";
        QTest::newRow("Windows-1252 text")
            << QByteArray("[A]\r\nk=Gr\xFC\xDF\x80\r\n") << "A" << "k" << "Grüß€";
    }

    void readRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(ProfileDocument::fromBytes(file).readString(section, key, "<default>"), expected);
    }

    void longValueIsCut()
    {
        const QByteArray value(3000, 'v');
        const auto doc = ProfileDocument::fromBytes("[A]\r\nk=" + value + "\r\n");
        QCOMPARE(doc.readString(u"A", u"k", {}), QString(2047, u'v'));
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("empty file")
            << QByteArray() << "WINDOW" << "Pos" << "5" << QByteArray("[WINDOW]\r\nPos=5\r\n");
        QTest::newRow("replaced where it stands, stored spelling kept")
            << QByteArray("; mine\r\n[WINDOW]\r\nRolleffect = 1 \r\nPos=5\r\n")
            << "window" << "RollEffect" << "3"
            << QByteArray("; mine\r\n[WINDOW]\r\nRolleffect=3\r\nPos=5\r\n");
        QTest::newRow("appended at end of section, before the blank line")
            << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << "A" << "z" << "3"
            << QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
        QTest::newRow("appended after comment lines of the section")
            << QByteArray("[A]\nx=1\n# note\n[B]\n") << "A" << "z" << "3"
            << QByteArray("[A]\nx=1\n# note\nz=3\r\n[B]\n");
        QTest::newRow("new section at end of file without line end")
            << QByteArray("[A]\r\nx=1") << "ALARM" << "Alarm3" << ""
            << QByteArray("[A]\r\nx=1\r\n[ALARM]\r\nAlarm3=\r\n");
        QTest::newRow("unknown lines kept byte for byte")
            << QByteArray("junk \t\n[A]\r\n  weird line\r\nk=1\n\xE4\xF6=\xFC\r\n")
            << "A" << "k" << "2"
            << QByteArray("junk \t\n[A]\r\n  weird line\r\nk=2\r\n\xE4\xF6=\xFC\r\n");
        QTest::newRow("lines ended by a CR alone kept")
            << QByteArray("[A]\rk=1\rj=2\r") << "A" << "k" << "3"
            << QByteArray("[A]\rk=3\r\nj=2\r");
        QTest::newRow("text written unchanged, in Windows-1252")
            << QByteArray("[T]\r\n") << "T" << "Title0" << "  Grüße €  "
            << QByteArray("[T]\r\nTitle0=  Gr\xFC\xDF" "e \x80  \r\n");
    }

    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        auto doc = ProfileDocument::fromBytes(before);
        doc.setValue(section, key, value);
        QCOMPARE(doc.toBytes(), after);
    }

    void refusedWrites_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString cannotHold = "Das Zeichen \"%1\" (U+%2) kann in der Einstellungsdatei "
                                   "nicht gespeichert werden";
        QTest::newRow("line break") << "A" << "k" << "a\r\nb" << "The value of [A] k holds a line break";
        QTest::newRow("first of two characters named")
            << "NOTETITLE" << "Title0" << "Grüße 日本" << cannotHold.arg("日", "65E5");
        QTest::newRow("outside the BMP")
            << "A" << "k" << "x\U0001F600" << cannotHold.arg("\U0001F600", "1F600");
        QTest::newRow("key name") << "A" << "Ωmega" << "1" << cannotHold.arg("Ω", "03A9");
        QTest::newRow("section name") << "Ω" << "k" << "1" << cannotHold.arg("Ω", "03A9");
    }

    void refusedWrites()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, message);
        const QByteArray before = "[A]\r\nk=0\r\n";
        auto doc = ProfileDocument::fromBytes(before);
        try {
            doc.setValue(section, key, value);
            QFAIL("the write should have been refused");
        } catch (const KladdoError &error) {
            QCOMPARE(error.message(), message);
        }
        QCOMPARE(doc.toBytes(), before);
    }

    void fileWriteThenRead()
    {
        QTemporaryDir dir;
        const ProfileFile file(dir.filePath("note.ini"));
        QCOMPARE(file.readInteger(u"WINDOW", u"Pos", 5), 5);
        file.writeInteger(u"WINDOW", u"Pos", -120);
        file.writeString(u"NOTETITLE", u"Title0", u"Einkauf");
        QCOMPARE(file.readInteger(u"WINDOW", u"Pos", 5), -120);
        QCOMPARE(file.readString(u"notetitle", u"title0", {}), QStringLiteral("Einkauf"));
        QCOMPARE(readFile(file.path()),
                 QByteArray("[WINDOW]\r\nPos=-120\r\n[NOTETITLE]\r\nTitle0=Einkauf\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"note.ini"});
    }

    void missingFolderReportsFullPath()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("DATA/note.ini");
        const ProfileFile file(path);
        try {
            file.writeInteger(u"WINDOW", u"Pos", 1);
            QFAIL("the write should have failed");
        } catch (const KladdoError &error) {
            QCOMPARE(error.message(),
                     QStringLiteral("In %1 kann nicht geschrieben werden").arg(QDir::toNativeSeparators(path)));
        }
        QVERIFY(!QFile::exists(path));
    }

    void failedWriteKeepsOldFile()
    {
        SKIP_UNLESS_AVAILABLE(FileSizeLimit);
        QTemporaryDir dir;
        const QString path = dir.filePath("note.ini");
        const QByteArray old = "[WINDOW]\r\nPos=7\r\n";
        QVERIFY(writeFile(path, old));
        const ProfileFile file(path);
        {
            const FileSizeLimit limit(old.size() + 10);
            QVERIFY_THROWS_EXCEPTION(
                KladdoError, file.writeString(u"NOTETITLE", u"Title0", QString(100, u'x')));
        }
        QCOMPARE(readFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"note.ini"});
    }

    void readOnlyFolderKeepsOldFile()
    {
        SKIP_UNLESS_AVAILABLE(ReadOnlyFolder);
        QTemporaryDir dir;
        const QString path = dir.filePath("note.ini");
        QVERIFY(writeFile(path, "[A]\r\nk=1\r\n"));
        {
            const ReadOnlyFolder readOnly(dir.path());
            QVERIFY_THROWS_EXCEPTION(KladdoError, ProfileFile(path).writeInteger(u"A", u"k", 2));
        }
        QCOMPARE(readFile(path), QByteArray("[A]\r\nk=1\r\n"));
    }

    void unreadableFileIsNotOverwritten()
    {
        QTemporaryDir dir;
        // A folder where the file should be: it exists and cannot be read as text.
        QVERIFY(QDir(dir.path()).mkdir("note.ini"));
        const ProfileFile file(dir.filePath("note.ini"));
        QCOMPARE(file.readInteger(u"A", u"k", 4), 4);
        QVERIFY_THROWS_EXCEPTION(KladdoError, file.writeInteger(u"A", u"k", 2));
    }
};

QTEST_APPLESS_MAIN(TestProfileFile)
#include "tst_ProfileFile.moc"
