#include "app/WindowFrame.h"
#include "options/LanguageTables.h"

#include <QTest>

using namespace WindowFrame;

class TestWindowFrame : public QObject
{
    Q_OBJECT

private slots:
    void shape_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<bool>("withoutAlarm");
        QTest::addColumn<bool>("withAlarm");
        QTest::newRow("toolbar top left") << QPoint(0, 341) << true << true;
        QTest::newRow("toolbar bottom right") << QPoint(524, 388) << true << true;
        QTest::newRow("right of toolbar") << QPoint(525, 341) << false << false;
        QTest::newRow("below toolbar") << QPoint(0, 389) << false << false;
        QTest::newRow("column left of page area") << QPoint(15, 0) << false << false;
        QTest::newRow("column left of page, last row") << QPoint(15, 340) << false << false;
        QTest::newRow("page area top left") << QPoint(16, 0) << true << true;
        QTest::newRow("page area top right") << QPoint(523, 0) << true << true;
        QTest::newRow("right of page area") << QPoint(524, 100) << false << false;
        QTest::newRow("alarm area top left") << QPoint(16, 389) << false << true;
        QTest::newRow("alarm area bottom right") << QPoint(267, 539) << false << true;
        QTest::newRow("left of alarm area") << QPoint(15, 400) << false << false;
        QTest::newRow("right of alarm area") << QPoint(268, 400) << false << false;
        QTest::newRow("below alarm area") << QPoint(100, 540) << false << false;
        QTest::newRow("bottom of window") << QPoint(527, 548) << false << false;
    }

    void shape()
    {
        QFETCH(QPoint, pixel);
        QFETCH(bool, withoutAlarm);
        QFETCH(bool, withAlarm);
        QCOMPARE(windowShape(false).contains(pixel), withoutAlarm);
        QCOMPARE(windowShape(true).contains(pixel), withAlarm);
    }

    void borderIsOnePixelInside_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<bool>("onBorder");
        QTest::newRow("page area corner") << QPoint(16, 0) << true;
        QTest::newRow("page area top edge") << QPoint(200, 0) << true;
        QTest::newRow("inside page area") << QPoint(200, 1) << false;
        QTest::newRow("page area left edge") << QPoint(16, 200) << true;
        QTest::newRow("toolbar top, left of page") << QPoint(10, 341) << true;
        QTest::newRow("inner corner diagonal only") << QPoint(16, 341) << false;
        QTest::newRow("toolbar right end") << QPoint(524, 360) << true;
        QTest::newRow("page right edge above toolbar") << QPoint(523, 340) << true;
        QTest::newRow("toolbar under page right edge") << QPoint(523, 341) << false;
        QTest::newRow("toolbar bottom edge") << QPoint(300, 388) << true;
        QTest::newRow("outside") << QPoint(15, 340) << false;
    }

    void borderIsOnePixelInside()
    {
        QFETCH(QPoint, pixel);
        QFETCH(bool, onBorder);
        QCOMPARE(borderOf(windowShape(false)).contains(pixel), onBorder);
    }

    void rollSteps_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<QList<int>>("out");
        QTest::addColumn<int>("pause");
        const QList<int> steps{67, 118, 169, 220, 271, 322, 373, 424, 475, 525};
        QTest::newRow("none") << 0 << QList<int>{525} << -1;
        QTest::newRow("fast") << 1 << steps << 8;
        QTest::newRow("normal") << 2 << steps << 40;
        QTest::newRow("slow") << 3 << steps << 250;
        QTest::newRow("typed into the options: -1") << -1 << QList<int>{525} << -1;
        QTest::newRow("beyond the table: 4") << 4 << QList<int>{525} << -1;
    }

    void rollSteps()
    {
        QFETCH(int, effect);
        QFETCH(QList<int>, out);
        QFETCH(int, pause);
        QCOMPARE(rollOutOffsets(effect), out);
        QList<int> in(out.rbegin() + 1, out.rend());
        in.append(16);
        QCOMPARE(rollInOffsets(effect), in);
        QCOMPARE(RollDelay(effect).value_or(-1), pause);
    }

    void reachablePlace_data()
    {
        QTest::addColumn<QPoint>("window");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QPoint>("place"); // (-1, -1): stays
        const QRect primary(0, 0, 1920, 1080);
        const QPoint stays(-1, -1);
        QTest::newRow("on the screen") << QPoint(1904, 5) << QList<QRect>{primary} << stays;
        QTest::newRow("handle's last pixel row on it") << QPoint(1904, 1080 - 343) << QList<QRect>{primary} << stays;
        QTest::newRow("below") << QPoint(1904, 1080 - 342) << QList<QRect>{primary} << QPoint(1904, 531);
        QTest::newRow("above") << QPoint(1904, -2000) << QList<QRect>{primary} << QPoint(1904, 0);
        QTest::newRow("right of a narrower screen")
            << QPoint(2544, 300) << QList<QRect>{primary} << QPoint(1904, 300);
        QTest::newRow("right handle still on it") << QPoint(1400, 300) << QList<QRect>{primary} << stays;
        QTest::newRow("on the second screen")
            << QPoint(1904, 1500) << QList<QRect>{primary, QRect(0, 1080, 1920, 1080)} << stays;
        QTest::newRow("screen lower than the window")
            << QPoint(1904, 900) << QList<QRect>{QRect(0, 0, 1024, 400)} << QPoint(1008, 0);
    }

    void reachablePlace()
    {
        QFETCH(QPoint, window);
        QFETCH(QList<QRect>, screens);
        QFETCH(QPoint, place);
        const std::optional<QPoint> moved = WindowFrame::reachablePlace(QRect(window, QSize(528, 549)), screens);
        QCOMPARE(moved.value_or(QPoint(-1, -1)), place);
    }

    void handleHints_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("rolledIn");
        QTest::addColumn<int>("adjust");
        QTest::addColumn<QString>("hint");
        const int de = LanguageTables::German;
        const int en = LanguageTables::English;
        QTest::newRow("de in") << de << true << 0 << "mit rechts Click anzeigen";
        QTest::newRow("de out") << de << false << 0 << "mit rechts Click verbergen";
        QTest::newRow("de out movable")
            << de << false << 1 << "mit rechts Click verbergen\rmit links Click verschieben";
        QTest::newRow("en in") << en << true << 0 << "click right to show";
        QTest::newRow("en out") << en << false << 0 << "click right to hide";
        QTest::newRow("en in movable") << en << true << 1 << "click right to show\rclick left to adjust";
        QTest::newRow("any adjust but 0 adds the drag hint")
            << en << true << 7 << "click right to show\rclick left to adjust";
    }

    void handleHints()
    {
        QFETCH(int, language);
        QFETCH(bool, rolledIn);
        QFETCH(int, adjust);
        QFETCH(QString, hint);
        QCOMPARE(handleHint(language, rolledIn, adjust), hint);
    }
};

QTEST_APPLESS_MAIN(TestWindowFrame)
#include "tst_WindowFrame.moc"
