#include "controls/ButtonGlyph.h"
#include "controls/GlyphCache.h"
#include "controls/GlyphList.h"
#include "support/GlyphImages.h"

#include <QTest>

#include <memory>

using GlyphImages::solid;

class TestGlyphCache : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY2(!TGlyphCache::instance(), "a previous test left glyph images behind");
    }

    void listTakesTheLowestFreeSlot()
    {
        TGlyphList list(QSize(2, 2));
        const QImage red = solid(QSize(2, 2), WinColor::rgb(255, 0, 0));
        const QImage blue = solid(QSize(2, 2), WinColor::rgb(0, 0, 255));
        QCOMPARE(list.add(red), 0);
        QCOMPARE(list.add(red), 1);
        QCOMPARE(list.add(red), 2);
        QCOMPARE(list.count(), 3);

        list.remove(1);
        list.remove(0);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.slotCount(), 3);
        QVERIFY(!list.isUsed(0));

        QCOMPARE(list.add(blue), 0);
        QCOMPARE(list.image(0), blue);
        QCOMPARE(list.add(blue), 1);
        // Full again: the next image grows the list by one slot.
        QCOMPARE(list.add(blue), 3);
        QCOMPARE(list.slotCount(), 4);
        QCOMPARE(list.count(), 4);
    }

    void removingAFreeSlotChangesNothing()
    {
        TGlyphList list(QSize(2, 2));
        list.add(solid(QSize(2, 2), WinColor::Black));
        list.remove(0);
        list.remove(0);
        list.remove(7);
        list.remove(-1);
        QCOMPARE(list.count(), 0);
    }

    void cacheKeepsOneListPerSize()
    {
        TGlyphList *small = TGlyphCache::getList(QSize(16, 16));
        TGlyphList *wide = TGlyphCache::getList(QSize(20, 16));
        QVERIFY(small != wide);
        QCOMPARE(TGlyphCache::getList(QSize(16, 16)), small);
        QCOMPARE(TGlyphCache::getList(QSize(20, 16)), wide);
        // Width and height both count.
        QVERIFY(TGlyphCache::getList(QSize(16, 20)) != small);
        QCOMPARE(TGlyphCache::instance()->listCount(), 3);

        TGlyphCache::returnList(TGlyphCache::getList(QSize(16, 20)));
        TGlyphCache::returnList(wide);
        QCOMPARE(TGlyphCache::instance()->listCount(), 1);
        TGlyphCache::returnList(small);
        QVERIFY(!TGlyphCache::instance());
    }

    void listInUseIsKept()
    {
        TGlyphList *list = TGlyphCache::getList(QSize(4, 4));
        const int index = list->add(solid(QSize(4, 4), WinColor::Black));
        TGlyphCache::returnList(list);
        QCOMPARE(TGlyphCache::instance()->listCount(), 1);
        list->remove(index);
        TGlyphCache::returnList(list);
        QVERIFY(!TGlyphCache::instance());
    }

    void reassignedGlyphReusesItsSlots()
    {
        const GlyphColors colors{WinColor::rgb(232, 191, 38), WinColor::rgb(151, 125, 25)};
        TButtonGlyph first;
        TButtonGlyph second;
        first.setBitmap(solid(QSize(16, 16), WinColor::Black));
        second.setBitmap(solid(QSize(16, 16), WinColor::White));
        QCOMPARE(first.buildImage(FaceState::Up, colors), 0);
        QCOMPARE(first.buildImage(FaceState::Latched, colors), 1);
        QCOMPARE(second.buildImage(FaceState::Up, colors), 2);
        QCOMPARE(first.glyphList(), second.glyphList());

        first.setBitmap(solid(QSize(16, 16), WinColor::Gray));
        QCOMPARE(first.imageIndex(FaceState::Up), -1);
        QCOMPARE(second.glyphList()->count(), 1);
        QCOMPARE(first.buildImage(FaceState::Latched, colors), 0);
        QCOMPARE(first.buildImage(FaceState::Up, colors), 1);
        QCOMPARE(first.glyphList()->slotCount(), 3);
    }

    void cacheGoneWhenTheLastListEmpties()
    {
        const GlyphColors colors;
        auto big = std::make_unique<TButtonGlyph>();
        auto small = std::make_unique<TButtonGlyph>();
        big->setBitmap(solid(QSize(32, 32), WinColor::Black));
        small->setBitmap(solid(QSize(16, 16), WinColor::Black));
        QVERIFY(!TGlyphCache::instance());

        big->buildImage(FaceState::Up, colors);
        small->buildImage(FaceState::Up, colors);
        small->buildImage(FaceState::Disabled, colors);
        QCOMPARE(TGlyphCache::instance()->listCount(), 2);

        big.reset();
        QCOMPARE(TGlyphCache::instance()->listCount(), 1);
        small->discardImages();
        QVERIFY(!TGlyphCache::instance());
        // Building again brings a new cache.
        small->buildImage(FaceState::Up, colors);
        QCOMPARE(TGlyphCache::instance()->listCount(), 1);
        small.reset();
        QVERIFY(!TGlyphCache::instance());
    }

    void imageCountChangeMovesToAnotherList()
    {
        const GlyphColors colors;
        TButtonGlyph glyph;
        glyph.setBitmap(solid(QSize(32, 16), WinColor::Black));
        QCOMPARE(glyph.numGlyphs(), 2);
        glyph.buildImage(FaceState::Up, colors);
        QCOMPARE(glyph.glyphList()->imageSize(), QSize(16, 16));

        glyph.setNumGlyphs(1);
        QCOMPARE(glyph.imageIndex(FaceState::Up), -1);
        QVERIFY(!TGlyphCache::instance());
        glyph.buildImage(FaceState::Up, colors);
        QCOMPARE(glyph.glyphList()->imageSize(), QSize(32, 16));
    }
};

QTEST_MAIN(TestGlyphCache)
#include "tst_GlyphCache.moc"
