#include "controls/ButtonGlyph.h"
#include "controls/GlyphCache.h"
#include "controls/GlyphList.h"
#include "support/GlyphImages.h"

#include <QPainter>
#include <QTest>

using namespace GlyphImages;
using WinColor::rgb;

namespace {

const GlyphColors kColors{rgb(232, 191, 38), rgb(151, 125, 25)};

// One colour per image: image k of a strip is kImageColors[k].
const TColor kImageColors[] = {rgb(200, 0, 0), rgb(0, 200, 0), rgb(0, 0, 200), rgb(200, 0, 200)};

QImage strip(int images)
{
    QImage bitmap(16 * images, 16, QImage::Format_RGB32);
    for (int k = 0; k < images; ++k) {
        QPainter painter(&bitmap);
        painter.fillRect(16 * k, 0, 16, 16, WinColor::toQColor(kImageColors[k]));
    }
    setPixel(bitmap, 0, 15, WinColor::Olive);
    return bitmap;
}

const QImage &builtImage(TButtonGlyph &glyph, FaceState state)
{
    const int index = glyph.buildImage(state, kColors);
    return glyph.glyphList()->image(index);
}

} // namespace

class TestButtonGlyph : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        QVERIFY2(!TGlyphCache::instance(), "glyph images outlived their holders");
    }

    void imageCountFromBitmap_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("one square") << QSize(16, 16) << 1;
        QTest::newRow("two squares") << QSize(32, 16) << 2;
        QTest::newRow("four squares") << QSize(64, 16) << 4;
        QTest::newRow("five squares are one image") << QSize(80, 16) << 1;
        QTest::newRow("not a multiple keeps the count") << QSize(20, 16) << 3;
        QTest::newRow("empty keeps the count") << QSize(0, 0) << 3;
    }

    void imageCountFromBitmap()
    {
        QFETCH(QSize, size);
        QFETCH(int, expected);
        TButtonGlyph glyph;
        glyph.setNumGlyphs(3);
        glyph.setBitmap(size.isEmpty() ? QImage() : filled(size, WinColor::Black));
        QCOMPARE(glyph.numGlyphs(), expected);
    }

    void numGlyphsLimits_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("in range") << 3 << 3;
        QTest::newRow("above four") << 9 << 4;
        QTest::newRow("zero ignored") << 0 << 2;
        QTest::newRow("negative ignored") << -1 << 2;
    }

    void numGlyphsLimits()
    {
        QFETCH(int, value);
        QFETCH(int, expected);
        TButtonGlyph glyph;
        glyph.setNumGlyphs(2);
        glyph.setNumGlyphs(value);
        QCOMPARE(glyph.numGlyphs(), expected);
    }

    void changesAreReported()
    {
        int changes = 0;
        TButtonGlyph glyph([&changes] { ++changes; });
        glyph.setBitmap(strip(1));
        QCOMPARE(changes, 1);
        glyph.setNumGlyphs(1);
        QCOMPARE(changes, 1);
        glyph.setNumGlyphs(2);
        QCOMPARE(changes, 2);
    }

    void transparentColourIsTheBottomLeftPixel()
    {
        TButtonGlyph glyph;
        QCOMPARE(glyph.transparentColor(), WinColor::Olive);
        QImage bitmap = filled(QSize(16, 16), WinColor::White);
        setPixel(bitmap, 0, 15, rgb(255, 0, 255));
        glyph.setBitmap(bitmap);
        QCOMPARE(glyph.transparentColor(), rgb(255, 0, 255));
        // An empty bitmap leaves it as it was.
        glyph.setBitmap(QImage());
        QCOMPARE(glyph.transparentColor(), rgb(255, 0, 255));
    }

    void sourceImagePerState_data()
    {
        QTest::addColumn<int>("images");
        QTest::addColumn<FaceState>("state");
        QTest::addColumn<int>("source");
        QTest::newRow("1: down is up") << 1 << FaceState::Down << 0;
        QTest::newRow("1: latched") << 1 << FaceState::Latched << 0;
        QTest::newRow("2: disabled") << 2 << FaceState::Disabled << 1;
        QTest::newRow("2: down is up") << 2 << FaceState::Down << 0;
        QTest::newRow("2: latched falls back") << 2 << FaceState::Latched << 0;
        QTest::newRow("3: down") << 3 << FaceState::Down << 2;
        QTest::newRow("3: latched falls back") << 3 << FaceState::Latched << 0;
        QTest::newRow("4: latched") << 4 << FaceState::Latched << 3;
    }

    void sourceImagePerState()
    {
        QFETCH(int, images);
        QFETCH(FaceState, state);
        QFETCH(int, source);
        TButtonGlyph glyph;
        glyph.setBitmap(strip(images));
        QCOMPARE(pixel(builtImage(glyph, state), 8, 8), kImageColors[source]);
    }

    void downSharesTheUpImageBelowThreeImages()
    {
        TButtonGlyph glyph;
        glyph.setBitmap(strip(2));
        QCOMPARE(glyph.buildImage(FaceState::Down, kColors), glyph.buildImage(FaceState::Up, kColors));
        glyph.setNumGlyphs(3);
        QVERIFY(glyph.buildImage(FaceState::Down, kColors) != glyph.buildImage(FaceState::Up, kColors));
    }

    void latchedImageIsMasked()
    {
        TButtonGlyph glyph;
        QImage bitmap = filled(QSize(16, 16), WinColor::Olive);
        setPixel(bitmap, 5, 5, WinColor::Black);
        glyph.setBitmap(bitmap);
        const QImage &image = builtImage(glyph, FaceState::Latched);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(5, 5)), 255);
        QCOMPARE(pixel(image, 5, 5), WinColor::Black);
    }

    void disabledOfTwoImagesIsMapped()
    {
        TButtonGlyph glyph;
        QImage bitmap = filled(QSize(32, 16), WinColor::Olive);
        setPixel(bitmap, 16 + 1, 1, WinColor::White);
        setPixel(bitmap, 16 + 2, 2, WinColor::Gray);
        setPixel(bitmap, 16 + 3, 3, rgb(255, 0, 0));
        glyph.setBitmap(bitmap);

        const QImage &image = builtImage(glyph, FaceState::Disabled);
        QCOMPARE(pixel(image, 1, 1), WinColor::White);
        QCOMPARE(pixel(image, 2, 2), kColors.shadow);
        QCOMPARE(pixel(image, 3, 3), rgb(255, 0, 0));
        QCOMPARE(count(image, kColors.face), 16 * 16 - 3);
    }

    void imagesAreKeptUntilDiscarded()
    {
        TButtonGlyph glyph;
        glyph.setBitmap(strip(1));
        const int index = glyph.buildImage(FaceState::Up, kColors);
        const GlyphColors other{rgb(1, 2, 3), rgb(4, 5, 6)};
        QCOMPARE(glyph.buildImage(FaceState::Up, other), index);
        QCOMPARE(pixel(glyph.glyphList()->image(index), 0, 15), kColors.face);
        glyph.discardImages();
        const int rebuilt = glyph.buildImage(FaceState::Up, other);
        QCOMPARE(pixel(glyph.glyphList()->image(rebuilt), 0, 15), other.face);
    }

    void emptyGlyphBuildsNothing_data()
    {
        QTest::addColumn<QImage>("bitmap");
        QTest::addColumn<int>("images");
        QTest::newRow("none") << QImage() << 1;
        QTest::newRow("narrower than its image count") << filled(QSize(3, 16), WinColor::Black) << 4;
    }

    void emptyGlyphBuildsNothing()
    {
        QFETCH(QImage, bitmap);
        QFETCH(int, images);
        TButtonGlyph glyph;
        glyph.setBitmap(bitmap);
        glyph.setNumGlyphs(images);
        QCOMPARE(glyph.buildImage(FaceState::Up, kColors), -1);
        QImage target = filled(QSize(20, 20), WinColor::White);
        QPainter painter(&target);
        glyph.draw(painter, QPoint(2, 2), FaceState::Up, kColors);
        painter.end();
        QCOMPARE(count(target, WinColor::White), 400);
        QVERIFY(!TGlyphCache::instance());
    }

    void transparencyOfAPictureBecomesBackground()
    {
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixelColor(5, 5, Qt::black);
        TButtonGlyph glyph;
        glyph.setBitmap(picture);
        QCOMPARE(glyph.transparentColor(), WinColor::Olive);
        const QImage &image = builtImage(glyph, FaceState::Up);
        QCOMPARE(count(image, kColors.face), 16 * 16 - 1);
    }
};

QTEST_MAIN(TestButtonGlyph)
#include "tst_ButtonGlyph.moc"
