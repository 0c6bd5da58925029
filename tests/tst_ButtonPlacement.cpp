#include "controls/ButtonPlacement.h"

#include <QTest>

class TestButtonPlacement : public QObject
{
    Q_OBJECT

private slots:
    void compute_data()
    {
        QTest::addColumn<QRect>("content");
        QTest::addColumn<QSize>("glyph");
        QTest::addColumn<QSize>("text");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("margin");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<QPoint>("glyphPos");
        QTest::addColumn<QPoint>("textPos");

        const QRect toolbar(3, 3, 13, 13);
        // A glyph bigger than the content sticks out by a pixel on the
        // top-left and two on the bottom-right.
        QTest::newRow("16x16 glyph on a 20x20 button")
            << toolbar << QSize(16, 16) << QSize() << int(blGlyphLeft) << -1 << 4
            << QPoint(2, 2) << QPoint(18, 10);
        QTest::newRow("16x16 glyph pressed") << toolbar.translated(1, 1) << QSize(16, 16) << QSize()
                                             << int(blGlyphLeft) << -1 << 4 << QPoint(3, 3)
                                             << QPoint(19, 11);
        // Halving rounds toward zero: -3 / 2 is -1, not -2.
        QTest::newRow("negative halves round toward zero")
            << QRect(0, 0, 13, 13) << QSize(17, 17) << QSize() << int(blGlyphTop) << -1 << 4
            << QPoint(-1, -1) << QPoint(7, 16);
        QTest::newRow("odd remainder goes after") << QRect(0, 0, 10, 10) << QSize(5, 5) << QSize()
                                                  << int(blGlyphLeft) << -1 << 4 << QPoint(3, 3)
                                                  << QPoint(8, 5);

        // A 100x30 content rectangle with a 16x16 glyph and a 30x12 caption.
        const QRect wide(10, 20, 100, 30);
        const QSize glyph(16, 16);
        const QSize text(30, 12);
        // margin = (100 - (16 + 4 + 30) + 1) / 2 = 25
        QTest::newRow("left, centred") << wide << glyph << text << int(blGlyphLeft) << -1 << 4
                                       << QPoint(35, 27) << QPoint(55, 29);
        QTest::newRow("right, centred") << wide << glyph << text << int(blGlyphRight) << -1 << 4
                                        << QPoint(69, 27) << QPoint(35, 29);
        // margin = spacing = (100 - 46) / 3 = 18
        QTest::newRow("left, spread") << wide << glyph << text << int(blGlyphLeft) << -1 << -1
                                      << QPoint(28, 27) << QPoint(62, 29);
        // spacing = (100 - (5 + 16) - 30) / 2 = 24
        QTest::newRow("left, margin 5, spread") << wide << glyph << text << int(blGlyphLeft) << 5 << -1
                                                << QPoint(15, 27) << QPoint(55, 29);
        QTest::newRow("right, margin 5") << wide << glyph << text << int(blGlyphRight) << 5 << 4
                                         << QPoint(89, 27) << QPoint(55, 29);

        // Vertical: a 40x100 content rectangle; margin = (100 - 32 + 1) / 2 = 34.
        const QRect tall(0, 0, 40, 100);
        QTest::newRow("top, centred") << tall << glyph << text << int(blGlyphTop) << -1 << 4
                                      << QPoint(12, 34) << QPoint(5, 54);
        QTest::newRow("bottom, centred") << tall << glyph << text << int(blGlyphBottom) << -1 << 4
                                         << QPoint(12, 50) << QPoint(5, 34);
        QTest::newRow("bottom, margin 0") << tall << glyph << text << int(blGlyphBottom) << 0 << 2
                                          << QPoint(12, 84) << QPoint(5, 70);

        // Without a caption the spacing counts for nothing.
        QTest::newRow("glyph only, spacing ignored") << wide << glyph << QSize() << int(blGlyphLeft)
                                                     << -1 << 10 << QPoint(52, 27) << QPoint(68, 35);
        QTest::newRow("caption only") << wide << QSize() << text << int(blGlyphLeft) << -1 << 4
                                      << QPoint(45, 35) << QPoint(45, 29);
    }

    void compute()
    {
        QFETCH(QRect, content);
        QFETCH(QSize, glyph);
        QFETCH(QSize, text);
        QFETCH(int, layout);
        QFETCH(int, margin);
        QFETCH(int, spacing);
        QFETCH(QPoint, glyphPos);
        QFETCH(QPoint, textPos);

        const ButtonPlacement placement =
            ButtonPlacement::compute(content, glyph.isValid() ? glyph : QSize(0, 0),
                                     text.isValid() ? text : QSize(0, 0),
                                     TButtonLayout(layout), margin, spacing);
        QCOMPARE(placement.glyphPos, glyphPos);
        QCOMPARE(placement.textRect.topLeft(), textPos);
        QCOMPARE(placement.textRect.size(), text.isValid() ? text : QSize(0, 0));
    }
};

QTEST_APPLESS_MAIN(TestButtonPlacement)
#include "tst_ButtonPlacement.moc"
