#include "controls/WinColor.h"

#include <QApplication>
#include <QPalette>
#include <QTest>

using WinColor::rgb;

class TestWinColor : public QObject
{
    Q_OBJECT

private slots:
    void shadeColor_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("expected");

        // Lightening spills a saturated channel's overflow into the others.
        QTest::newRow("red overflow into green and blue")
            << rgb(255, 66, 66) << 10 << rgb(255, 97, 97);
        QTest::newRow("green overflow back into red and on to blue")
            << rgb(0, 255, 0) << 10 << rgb(25, 255, 25);
        QTest::newRow("blue overflow back into red") << rgb(0, 0, 255) << 10 << rgb(25, 0, 255);

        // The derived bevel colours of two scheme colours.
        QTest::newRow("yellow light") << rgb(232, 191, 38) << 10 << rgb(255, 210, 41);
        QTest::newRow("yellow shadow") << rgb(232, 191, 38) << -35 << rgb(151, 125, 25);
        QTest::newRow("yellow dark") << rgb(232, 191, 38) << -55 << rgb(105, 86, 18);
        QTest::newRow("silver light") << rgb(160, 160, 164) << 10 << rgb(176, 176, 180);
        QTest::newRow("silver shadow") << rgb(160, 160, 164) << -35 << rgb(104, 104, 107);
        QTest::newRow("silver dark") << rgb(160, 160, 164) << -55 << rgb(72, 72, 74);

        QTest::newRow("white lightened stays white") << rgb(255, 255, 255) << 10 << rgb(255, 255, 255);
        QTest::newRow("white shadow") << rgb(255, 255, 255) << -35 << rgb(166, 166, 166);
        QTest::newRow("white dark") << rgb(255, 255, 255) << -55 << rgb(115, 115, 115);
        QTest::newRow("black lightened stays black") << rgb(0, 0, 0) << 10 << rgb(0, 0, 0);
        QTest::newRow("black darkened stays black") << rgb(0, 0, 0) << -55 << rgb(0, 0, 0);
        QTest::newRow("darkened to nothing") << rgb(200, 100, 50) << -100 << rgb(0, 0, 0);
        // Green and blue both spill: only green's overflow reaches red.
        QTest::newRow("green and blue overflow") << rgb(0, 250, 250) << 10 << rgb(20, 255, 255);
        QTest::newRow("zero percent") << rgb(12, 34, 56) << 0 << rgb(12, 34, 56);
        // The unused high byte of a plain colour plays no part.
        QTest::newRow("high byte ignored") << TColor(0x00FFFFFF) << -35 << rgb(166, 166, 166);
    }

    void shadeColor()
    {
        QFETCH(int, color);
        QFETCH(int, percent);
        QFETCH(int, expected);
        QCOMPARE(QString::number(ShadeColor(color, percent), 16), QString::number(expected, 16));
    }

    void systemColorsFollowTheApplicationPalette()
    {
        const QPalette saved = QApplication::palette();
        QPalette palette = saved;
        palette.setColor(QPalette::Button, QColor(10, 20, 30));
        QApplication::setPalette(palette);

        QCOMPARE(WinColor::toRgb(WinColor::ButtonFace), rgb(10, 20, 30));
        QCOMPARE(ShadeColor(WinColor::ButtonFace, 10), rgb(11, 22, 33));
        QCOMPARE(WinColor::toQColor(WinColor::ButtonFace), QColor(10, 20, 30));

        QApplication::setPalette(saved);
    }
};

QTEST_MAIN(TestWinColor)
#include "tst_WinColor.moc"
