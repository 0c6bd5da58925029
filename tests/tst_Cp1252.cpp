#include "platform/Cp1252.h"

#include <QTest>

class TestCp1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteSurvivesRoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::toUnicode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Cp1252::fromUnicode(text), all);
        QVERIFY(Cp1252::canEncode(text));
    }

    void knownCharacters_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("undefined 0x81 stays C1") << 0x81 << 0x0081;
        QTest::newRow("low quote") << 0x84 << 0x201E;
        QTest::newRow("S caron") << 0x8A << 0x0160;
        QTest::newRow("trade mark") << 0x99 << 0x2122;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("nbsp") << 0xA0 << 0x00A0;
        QTest::newRow("a umlaut") << 0xE4 << 0x00E4;
        QTest::newRow("sharp s") << 0xDF << 0x00DF;
    }

    void knownCharacters()
    {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        QCOMPARE(Cp1252::toUnicode(QByteArray(1, char(byte))), QString(QChar(unicode)));
        QCOMPARE(Cp1252::byteFor(char16_t(unicode)), byte);
    }

    void unrepresentableBecomesQuestionMark()
    {
        // Latin-1 holds 0x80 as a control; 1252 puts the euro there instead.
        QCOMPARE(Cp1252::byteFor(0x0080), -1);
        QVERIFY(!Cp1252::canEncode(QStringLiteral("Ω")));
        QCOMPARE(Cp1252::fromUnicode(u"aΩb"), QByteArray("a?b"));
        // A character outside the BMP is one '?', not two.
        QCOMPARE(Cp1252::fromUnicode(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y"));
    }
};

QTEST_APPLESS_MAIN(TestCp1252)
#include "tst_Cp1252.moc"
