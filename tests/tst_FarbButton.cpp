#include "controls/FarbButton.h"
#include "controls/GlyphCache.h"
#include "support/GlyphImages.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace GlyphImages;
using WinColor::rgb;

Q_DECLARE_METATYPE(FaceState)

namespace {

const TColor kYellow = rgb(232, 191, 38);
const TColor kRed = rgb(255, 0, 0);
const TColor kBlue = rgb(0, 0, 255);

struct Shades
{
    TColor light;
    TColor shadow;
    TColor dark;
};

// The bevel shades of the two scheme colours the tests paint with.
Shades shadesOf(TColor color)
{
    if (color == kYellow)
        return {rgb(255, 210, 41), rgb(151, 125, 25), rgb(105, 86, 18)};
    return {rgb(176, 176, 180), rgb(104, 104, 107), rgb(72, 72, 74)};
}

QImage rendered(TFarbButton &button)
{
    QImage image(button.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    button.render(&image);
    return image;
}

void press(TFarbButton &button, QPoint pos = QPoint(10, 10))
{
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, pos);
}

void release(TFarbButton &button, QPoint pos = QPoint(10, 10))
{
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, pos);
}

void click(TFarbButton &button)
{
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// A toolbar arrow as the glyph artists draw them: olive ground, black
// outline, white and grey inside.
QImage arrowGlyph()
{
    QImage glyph = filled(QSize(16, 16), WinColor::Olive);
    for (int row = 0; row < 11; ++row) {
        const int half = row < 6 ? row : 10 - row;
        for (int x = 4; x <= 4 + half; ++x)
            setPixel(glyph, x, 2 + row, x == 4 + half || row == 0 || row == 10 ? WinColor::Black : WinColor::White);
        if (half > 1)
            setPixel(glyph, 5, 2 + row, WinColor::Gray);
    }
    return glyph;
}

} // namespace

class TestFarbButton : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        QVERIFY2(!TGlyphCache::instance(), "glyph images outlived their buttons");
    }

    void defaults()
    {
        TFarbButton button;
        QCOMPARE(button.geometry(), QRect(0, 0, 20, 20));
        QCOMPARE(button.focusPolicy(), Qt::NoFocus);
        QCOMPARE(button.borderStyle(), bsNone);
        QCOMPARE(int(bsNone), 1);
        QCOMPARE(button.color(), WinColor::ButtonFace);
        QCOMPARE(button.spacing(), 4);
        QCOMPARE(button.margin(), -1);
        QCOMPARE(button.buttonLayout(), blGlyphLeft);
        QCOMPARE(button.numGlyphs(), 1);
        QCOMPARE(button.groupIndex(), 0);
        QVERIFY(!button.allowAllUp());
        QVERIFY(!button.isDown());
        QVERIFY(button.parentFont());
        QVERIFY(button.parentShowHint());
        QVERIFY(button.caption().isEmpty());
        QVERIFY(button.glyph().isNull());
        QCOMPARE(button.property("Color").toInt(), WinColor::ButtonFace);
    }

    void propertyLimits()
    {
        TFarbButton button;
        button.setMargin(3);
        button.setMargin(-2);
        QCOMPARE(button.margin(), 3);
        button.setMargin(-1);
        QCOMPARE(button.margin(), -1);
        button.setNumGlyphs(7);
        QCOMPARE(button.numGlyphs(), 4);
        button.setNumGlyphs(0);
        QCOMPARE(button.numGlyphs(), 4);
    }

    void bevelRings_data()
    {
        QTest::addColumn<TColor>("color");
        QTest::addColumn<int>("border");
        QTest::addColumn<bool>("pressed");

        QTest::newRow("yellow up") << kYellow << int(bsNone) << false;
        QTest::newRow("yellow down") << kYellow << int(bsNone) << true;
        QTest::newRow("silver up") << rgb(160, 160, 164) << int(bsNone) << false;
        QTest::newRow("silver down") << rgb(160, 160, 164) << int(bsNone) << true;
        QTest::newRow("yellow single up") << kYellow << int(bsSingle) << false;
        QTest::newRow("yellow single down") << kYellow << int(bsSingle) << true;
    }

    void bevelRings()
    {
        QFETCH(TColor, color);
        QFETCH(int, border);
        QFETCH(bool, pressed);
        TFarbButton button;
        button.setColor(color);
        button.setBorderStyle(TBorderStyle(border));
        if (pressed)
            press(button);
        const QImage image = rendered(button);

        // Each ring: {inset, first colour (left, top), second (right, bottom)}.
        const Shades shades = shadesOf(color);
        struct Ring { int inset; TColor first; TColor second; };
        QList<Ring> rings;
        const int bevel = border == bsSingle ? 1 : 0;
        if (border == bsSingle)
            rings.append({0, WinColor::Black, WinColor::Black});
        if (pressed) {
            rings.append({bevel, shades.dark, WinColor::White});
            rings.append({bevel + 1, shades.shadow, shades.light});
        } else {
            rings.append({bevel, WinColor::White, shades.dark});
            rings.append({bevel + 1, shades.light, shades.shadow});
        }
        for (const Ring &ring : rings) {
            const int near = ring.inset;
            const int far = 19 - ring.inset;
            const QString where = QStringLiteral("ring %1").arg(ring.inset);
            QVERIFY2(pixel(image, 10, near) == ring.first, qPrintable(where + " top"));
            QVERIFY2(pixel(image, near, 10) == ring.first, qPrintable(where + " left"));
            QVERIFY2(pixel(image, near, near) == ring.first, qPrintable(where + " top-left"));
            QVERIFY2(pixel(image, far, 10) == ring.second, qPrintable(where + " right"));
            QVERIFY2(pixel(image, 10, far) == ring.second, qPrintable(where + " bottom"));
            // The second colour owns the corners where the two colours meet.
            QVERIFY2(pixel(image, far, near) == ring.second, qPrintable(where + " top-right"));
            QVERIFY2(pixel(image, near, far) == ring.second, qPrintable(where + " bottom-left"));
            QVERIFY2(pixel(image, far, far) == ring.second, qPrintable(where + " bottom-right"));
        }
        const int faceInset = bevel + 2;
        QCOMPARE(bounds(image, color), QRect(faceInset, faceInset, 20 - 2 * faceInset, 20 - 2 * faceInset));
        QCOMPARE(count(image, color), (20 - 2 * faceInset) * (20 - 2 * faceInset));
    }

    // A 3x3 glyph pushed against each edge by the four layouts with no
    // margin marks out the content rectangle.
    void contentRectangle_data()
    {
        QTest::addColumn<int>("border");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<QRect>("content");
        QTest::newRow("none up") << int(bsNone) << false << QRect(QPoint(3, 3), QPoint(15, 15));
        QTest::newRow("none down") << int(bsNone) << true << QRect(QPoint(4, 4), QPoint(16, 16));
        QTest::newRow("single up") << int(bsSingle) << false << QRect(QPoint(4, 4), QPoint(14, 14));
        QTest::newRow("single down") << int(bsSingle) << true << QRect(QPoint(5, 5), QPoint(15, 15));
    }

    void contentRectangle()
    {
        QFETCH(int, border);
        QFETCH(bool, pressed);
        QFETCH(QRect, content);
        TFarbButton button;
        button.setColor(kYellow);
        button.setBorderStyle(TBorderStyle(border));
        button.setGlyph(solid(QSize(3, 3), kRed));
        button.setMargin(0);
        if (pressed)
            press(button);
        QRect reached;
        for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
            button.setButtonLayout(layout);
            reached |= bounds(rendered(button), kRed);
        }
        QCOMPARE(reached, content);
    }

    // A 16x16 glyph sits at (2, 2), or (3, 3) while pressed, and every
    // pixel of its background colour shows the face.
    void glyphOnTheFace_data()
    {
        QTest::addColumn<FaceState>("state");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("up") << FaceState::Up << QPoint(2, 2);
        QTest::newRow("down") << FaceState::Down << QPoint(3, 3);
        QTest::newRow("latched") << FaceState::Latched << QPoint(2, 2);
    }

    void glyphOnTheFace()
    {
        QFETCH(FaceState, state);
        QFETCH(QPoint, topLeft);
        QWidget toolbar;
        TFarbButton button(&toolbar);
        button.setColor(kYellow);
        button.setGroupIndex(1);
        QImage glyph = filled(QSize(16, 16), WinColor::Olive);
        setPixel(glyph, 0, 0, kRed);
        setPixel(glyph, 15, 14, kRed);
        button.setGlyph(glyph);
        if (state == FaceState::Latched)
            button.setDown(true);
        if (state == FaceState::Down)
            press(button);
        QCOMPARE(button.faceState(), state);

        const QImage image = rendered(button);
        QCOMPARE(bounds(image, kRed), QRect(topLeft, QSize(16, 15)));
        QCOMPARE(count(image, WinColor::Olive), 0);
        QCOMPARE(pixel(image, topLeft.x(), topLeft.y() + 15), kYellow);
    }

    void disabledGlyphIsEmbossed()
    {
        TFarbButton button;
        button.setColor(kYellow);
        QImage glyph = filled(QSize(16, 16), WinColor::Olive);
        for (int x = 4; x < 10; ++x)
            setPixel(glyph, x, 5, WinColor::Black);
        setPixel(glyph, 15, 0, WinColor::Black); // its white falls outside
        setPixel(glyph, 12, 12, kRed);           // colours vanish
        setPixel(glyph, 2, 12, WinColor::White);
        button.setGlyph(glyph);
        button.setEnabled(false);

        const QImage image = rendered(button);
        QCOMPARE(button.faceState(), FaceState::Disabled);
        const Shades shades = shadesOf(kYellow);
        // Drawn at (2, 2): the ink in the shadow colour, white one pixel
        // right and down, everything else the face.
        const QImage glyphArea = image.copy(2, 2, 16, 16);
        QCOMPARE(bounds(glyphArea, shades.shadow), QRect(4, 0, 12, 6));
        QCOMPARE(count(glyphArea, shades.shadow), 7);
        QCOMPARE(bounds(glyphArea, WinColor::White), QRect(5, 6, 6, 1));
        QCOMPARE(count(glyphArea, kYellow), 16 * 16 - 13);
        // The bevel is the raised one.
        QCOMPARE(pixel(image, 0, 10), WinColor::White);
        QCOMPARE(pixel(image, 1, 10), shades.light);
    }

    void captionIsCentred()
    {
        TFarbButton button;
        button.resize(80, 24);
        button.setColor(kYellow);
        QPalette palette = button.palette();
        palette.setColor(QPalette::ButtonText, WinColor::toQColor(kBlue));
        button.setPalette(palette);
        button.setCaption(QStringLiteral("Wm"));

        const QImage image = rendered(button);
        const QRect ink = bounds(image, kBlue);
        QVERIFY2(!ink.isEmpty(), "no caption drawn");
        // Content rectangle (3, 3)-(77, 21): the text box is centred in it.
        const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, button.caption());
        const QRect box(QPoint(3 + (74 - text.width() + 1) / 2, 3 + (18 - text.height() + 1) / 2), text);
        QVERIFY2(box.contains(ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside the text box")
                                                   .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
        // Only a disabled caption has a white copy; white here is the bevel's.
        QCOMPARE(count(image.copy(2, 2, 76, 20), WinColor::White), 0);
    }

    void disabledCaptionIsDrawnTwice()
    {
        TFarbButton button;
        button.resize(80, 24);
        button.setColor(kYellow);
        button.setCaption(QStringLiteral("Wm"));
        button.setEnabled(false);

        QImage image = rendered(button);
        // Leave the bevel out: its outer ring is white too.
        QImage face = image.copy(2, 2, 76, 20);
        const int grey = count(face, WinColor::Gray);
        QVERIFY2(grey > 0, "no grey caption");
        for (int y = 0; y < face.height(); ++y) {
            for (int x = 0; x < face.width(); ++x) {
                const TColor p = pixel(face, x, y);
                if (p == WinColor::White)
                    QCOMPARE(pixel(face, x - 1, y - 1), WinColor::Gray);
                if (p == WinColor::Gray && face.valid(x + 1, y + 1)) {
                    const TColor below = pixel(face, x + 1, y + 1);
                    QVERIFY(below == WinColor::White || below == WinColor::Gray);
                }
            }
        }
        QVERIFY(count(face, WinColor::White) > 0);
    }

    void glyphAndCaptionLayouts_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("glyph left") << int(blGlyphLeft);
        QTest::newRow("glyph right") << int(blGlyphRight);
        QTest::newRow("glyph top") << int(blGlyphTop);
        QTest::newRow("glyph bottom") << int(blGlyphBottom);
    }

    void glyphAndCaptionLayouts()
    {
        QFETCH(int, layout);
        TFarbButton button;
        button.resize(90, 60);
        button.setColor(kYellow);
        button.setGlyph(solid(QSize(8, 8), kRed));
        button.setCaption(QStringLiteral("Wm"));
        button.setButtonLayout(TButtonLayout(layout));
        button.setSpacing(6);

        const QImage image = rendered(button);
        const QRect glyph = bounds(image, kRed);
        const QRect text = bounds(image, WinColor::fromQColor(button.palette().color(QPalette::ButtonText)));
        QVERIFY(!glyph.isEmpty());
        QVERIFY(!text.isEmpty());
        switch (layout) {
        case blGlyphLeft:
            QVERIFY(glyph.right() + 6 < text.left());
            break;
        case blGlyphRight:
            QVERIFY(glyph.left() - 6 > text.right());
            break;
        case blGlyphTop:
            QVERIFY(glyph.bottom() + 6 < text.top());
            break;
        case blGlyphBottom:
            QVERIFY(glyph.top() - 6 > text.bottom());
            break;
        }
    }

    void mouse_data()
    {
        QTest::addColumn<QList<QPoint>>("moves");
        QTest::addColumn<FaceState>("faceBeforeRelease");
        QTest::addColumn<int>("clicks");

        QTest::newRow("press and release inside") << QList<QPoint>{} << FaceState::Down << 1;
        QTest::newRow("moved out") << QList<QPoint>{{30, 10}} << FaceState::Up << 0;
        QTest::newRow("out and back in") << QList<QPoint>{{30, 10}, {12, 12}} << FaceState::Down << 1;
        QTest::newRow("to the last pixel") << QList<QPoint>{{19, 19}} << FaceState::Down << 1;
        QTest::newRow("to the top-left pixel") << QList<QPoint>{{0, 0}} << FaceState::Down << 1;
        QTest::newRow("one below") << QList<QPoint>{{10, 20}} << FaceState::Up << 0;
        QTest::newRow("one right") << QList<QPoint>{{20, 10}} << FaceState::Up << 0;
        QTest::newRow("above") << QList<QPoint>{{10, -1}} << FaceState::Up << 0;
    }

    void mouse()
    {
        QFETCH(QList<QPoint>, moves);
        QFETCH(FaceState, faceBeforeRelease);
        QFETCH(int, clicks);
        QWidget toolbar;
        TFarbButton button(&toolbar);
        toolbar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
        QSignalSpy clicked(&button, &TFarbButton::clicked);

        press(button);
        QCOMPARE(button.faceState(), FaceState::Down);
        QPoint last(10, 10);
        for (QPoint to : moves) {
            QTest::mouseMove(&button, to);
            last = to;
        }
        QCOMPARE(button.faceState(), faceBeforeRelease);
        QCOMPARE(clicked.count(), 0);
        release(button, last);
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(button.faceState(), FaceState::Up);
    }

    void otherButtonsDoNotPress()
    {
        TFarbButton button;
        QSignalSpy clicked(&button, &TFarbButton::clicked);
        QSignalSpy down(&button, &TFarbButton::mouseDown);
        QSignalSpy up(&button, &TFarbButton::mouseUp);
        QTest::mouseClick(&button, Qt::RightButton, Qt::ShiftModifier, QPoint(4, 5));
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(button.faceState(), FaceState::Up);
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(down.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
        QCOMPARE(down.at(0).at(2).toPoint(), QPoint(4, 5));
        QCOMPARE(up.count(), 1);

        // A right release while the left is held does not end the press.
        press(button);
        QTest::mouseClick(&button, Qt::RightButton);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(button.faceState(), FaceState::Down);
        release(button);
        QCOMPARE(clicked.count(), 1);
    }

    void doubleClickOnlyWhileDown_data()
    {
        QTest::addColumn<int>("groupIndex");
        QTest::addColumn<int>("doubleClicks");
        QTest::addColumn<int>("clicks");
        QTest::newRow("plain button") << 0 << 0 << 2;
        QTest::newRow("latched by the first click") << 1 << 1 << 2;
    }

    void doubleClickOnlyWhileDown()
    {
        QFETCH(int, groupIndex);
        QFETCH(int, doubleClicks);
        QFETCH(int, clicks);
        QWidget toolbar;
        TFarbButton button(&toolbar);
        button.setGroupIndex(groupIndex);
        QSignalSpy clicked(&button, &TFarbButton::clicked);
        QSignalSpy doubleClicked(&button, &TFarbButton::doubleClicked);

        click(button);
        QTest::mouseDClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        release(button);
        QCOMPARE(doubleClicked.count(), doubleClicks);
        QCOMPARE(clicked.count(), clicks);
    }

    void groupOfTwo()
    {
        QWidget toolbar;
        TFarbButton first(&toolbar);
        TFarbButton second(&toolbar);
        TFarbButton otherGroup(&toolbar);
        first.setGroupIndex(1);
        second.setGroupIndex(1);
        otherGroup.setGroupIndex(2);
        otherGroup.setDown(true);
        QSignalSpy secondClicked(&second, &TFarbButton::clicked);

        click(first);
        QVERIFY(first.isDown());
        QCOMPARE(first.faceState(), FaceState::Latched);
        QVERIFY(!second.isDown());

        click(second);
        QVERIFY(second.isDown());
        QCOMPARE(second.faceState(), FaceState::Latched);
        QVERIFY(!first.isDown());
        QCOMPARE(first.faceState(), FaceState::Up);
        QVERIFY(otherGroup.isDown());

        // Without AllowAllUp the latched button stays down and still clicks.
        click(second);
        QVERIFY(second.isDown());
        QCOMPARE(second.faceState(), FaceState::Latched);
        QCOMPARE(secondClicked.count(), 2);

        // AllowAllUp spreads through the group.
        first.setAllowAllUp(true);
        QVERIFY(second.allowAllUp());
        QVERIFY(!otherGroup.allowAllUp());
        click(second);
        QVERIFY(!second.isDown());
        QCOMPARE(second.faceState(), FaceState::Up);
        QCOMPARE(secondClicked.count(), 3);
    }

    void groupsStayWithinTheirParent()
    {
        QWidget left;
        QWidget right;
        TFarbButton a(&left);
        TFarbButton b(&right);
        a.setGroupIndex(1);
        b.setGroupIndex(1);
        a.setDown(true);
        b.setDown(true);
        QVERIFY(a.isDown());
        QVERIFY(b.isDown());
    }

    void setDown_data()
    {
        QTest::addColumn<int>("groupIndex");
        QTest::addColumn<bool>("allowAllUp");
        QTest::addColumn<bool>("downAfterTrue");
        QTest::addColumn<bool>("downAfterFalse");
        QTest::newRow("plain button never latches") << 0 << true << false << false;
        QTest::newRow("group, stays down") << 1 << false << true << true;
        QTest::newRow("group, may come up") << 1 << true << true << false;
    }

    void setDown()
    {
        QFETCH(int, groupIndex);
        QFETCH(bool, allowAllUp);
        QFETCH(bool, downAfterTrue);
        QFETCH(bool, downAfterFalse);
        TFarbButton button;
        button.setGroupIndex(groupIndex);
        button.setAllowAllUp(allowAllUp);
        button.setDown(true);
        QCOMPARE(button.isDown(), downAfterTrue);
        QCOMPARE(button.faceState(), downAfterTrue ? FaceState::Latched : FaceState::Up);
        button.setDown(false);
        QCOMPARE(button.isDown(), downAfterFalse);
    }

    void leavingTheGroupReleases()
    {
        TFarbButton button;
        button.setGroupIndex(3);
        button.setDown(true);
        button.setGroupIndex(0);
        QVERIFY(!button.isDown());
        QCOMPARE(button.faceState(), FaceState::Up);
    }

    void latchedAgainAfterReenabling()
    {
        TFarbButton button;
        button.setGroupIndex(1);
        button.setDown(true);
        button.setEnabled(false);
        rendered(button);
        QCOMPARE(button.faceState(), FaceState::Disabled);
        button.setEnabled(true);
        rendered(button); // painting settles the face state
        QCOMPARE(button.faceState(), FaceState::Latched);
    }

    void sameColourDoesNotRepaint()
    {
        QWidget toolbar;
        TFarbButton button(&toolbar);
        button.setColor(kYellow);
        toolbar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
        PaintCounter paints(&button);
        QCoreApplication::processEvents();
        const int before = paints.count;

        button.setColor(kYellow);
        QCoreApplication::processEvents();
        QCOMPARE(paints.count, before);

        button.setColor(kBlue);
        QTRY_VERIFY(paints.count > before);
    }

    void glyphFollowsAColourChange_data()
    {
        QTest::addColumn<bool>("reassign");
        QTest::newRow("glyph assigned again") << true;
        QTest::newRow("colour only") << false;
    }

    void glyphFollowsAColourChange()
    {
        QFETCH(bool, reassign);
        TFarbButton button;
        button.setColor(kYellow);
        const QImage glyph = solid(QSize(16, 16), kRed);
        button.setGlyph(glyph);
        QCOMPARE(pixel(rendered(button), 2, 17), kYellow);

        const TColor silver = rgb(160, 160, 164);
        button.setColor(silver);
        if (reassign)
            button.setGlyph(glyph);
        const QImage image = rendered(button);
        QCOMPARE(pixel(image, 2, 17), silver);
        QCOMPARE(count(image, kYellow), 0);
    }

    void systemColoursChange()
    {
        const QPalette saved = QApplication::palette();
        QWidget toolbar;
        TFarbButton button(&toolbar);
        button.setGlyph(solid(QSize(16, 16), kRed));
        rendered(button);

        QPalette palette = saved;
        palette.setColor(QPalette::Button, QColor(160, 160, 164));
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
        const QImage image = rendered(button);
        QApplication::setPalette(saved);
        QCoreApplication::processEvents();

        QCOMPARE(pixel(image, 2, 17), rgb(160, 160, 164));
        QCOMPARE(pixel(image, 1, 10), rgb(176, 176, 180));
        QCOMPARE(pixel(image, 18, 10), rgb(104, 104, 107));
        QCOMPARE(pixel(image, 19, 10), rgb(72, 72, 74));
    }

    void imageBuiltAhead_data()
    {
        QTest::addColumn<bool>("disable");
        QTest::newRow("first shown") << false;
        QTest::newRow("disabled") << true;
    }

    void imageBuiltAhead()
    {
        QFETCH(bool, disable);
        QWidget toolbar;
        TFarbButton button(&toolbar);
        button.setGlyph(solid(QSize(16, 16), kRed));
        QVERIFY(!TGlyphCache::instance());
        if (disable)
            button.setEnabled(false);
        else
            button.ensurePolished();
        QVERIFY(TGlyphCache::instance());
    }

    void accelerator_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        QTest::newRow("accelerator") << QStringList{"&Save"} << true << 1;
        QTest::newRow("disabled") << QStringList{"&Save"} << false << 0;
        QTest::newRow("other letter") << QStringList{"S&ave"} << true << 0;
        QTest::newRow("escaped ampersand") << QStringList{"&&Save"} << true << 0;
        QTest::newRow("caption changed since") << QStringList{"&Save", "&Open"} << true << 0;
        QTest::newRow("caption changed to it") << QStringList{"&Open", "&Save"} << true << 1;
    }

    void accelerator()
    {
        QFETCH(QStringList, captions);
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        QWidget window;
        TFarbButton button(&window);
        button.resize(60, 20);
        for (const QString &caption : captions)
            button.setCaption(caption);
        button.setEnabled(enabled);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            QSKIP("The platform does not activate windows.");
        QSignalSpy clicked(&button, &TFarbButton::clicked);
        QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(clicked.count(), clicks);
    }

    void showHint_data()
    {
        QTest::addColumn<bool>("show");
        QTest::newRow("shown") << true;
        QTest::newRow("switched off") << false;
    }

    void showHint()
    {
        QFETCH(bool, show);
        QWidget window;
        TFarbButton button(&window);
        button.setToolTip(QStringLiteral("vorwärts"));
        button.setShowHint(show);
        QVERIFY(!button.parentShowHint());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&button, &help);
        QCOMPARE(QToolTip::isVisible(), show);
        QToolTip::hideText();
    }

    void parentShowHintFollowsTheParent()
    {
        QWidget window;
        TFarbButton button(&window);
        QVERIFY(button.showHint());
        window.setProperty("ShowHint", false);
        QVERIFY(!button.showHint());
        button.setShowHint(true);
        QVERIFY(button.showHint());
        button.setParentShowHint(true);
        QVERIFY(!button.showHint());
    }

    void parentFont()
    {
        QWidget window;
        QFont parentFont = window.font();
        parentFont.setPointSize(17);
        window.setFont(parentFont);
        TFarbButton button(&window);
        QCOMPARE(button.font().pointSize(), 17);

        QFont own = button.font();
        own.setPointSize(9);
        button.setFont(own);
        QVERIFY(!button.parentFont());
        button.setParentFont(true);
        QVERIFY(button.parentFont());
        QCOMPARE(button.font().pointSize(), 17);
        button.setParentFont(false);
        parentFont.setPointSize(5);
        window.setFont(parentFont);
        QCOMPARE(button.font().pointSize(), 17);
    }

    // Renders the toolbar button in each state; with
    // KLADDO_SAVE_BUTTON_IMAGES=<folder> the pictures are saved there, at
    // their size and eight times enlarged, for a person to look at.
    void toolbarButtonStates()
    {
        const QString folder = qEnvironmentVariable("KLADDO_SAVE_BUTTON_IMAGES");
        QWidget toolbar;
        TFarbButton button(&toolbar);
        button.setColor(kYellow);
        button.setGlyph(arrowGlyph());
        TFarbButton framed(&toolbar);
        framed.setColor(kYellow);
        framed.setBorderStyle(bsSingle);
        framed.setCaption(QStringLiteral("?"));

        struct Shot { QString name; QImage image; };
        QList<Shot> shots;
        auto shoot = [&](const QString &name) {
            shots.append({name, rendered(button)});
            shots.append({name + QStringLiteral("-caption"), rendered(framed)});
        };
        shoot(QStringLiteral("up"));
        press(button);
        press(framed);
        shoot(QStringLiteral("down"));
        release(button);
        release(framed);
        button.setGroupIndex(1);
        framed.setGroupIndex(2);
        button.setDown(true);
        framed.setDown(true);
        shoot(QStringLiteral("latched"));
        button.setDown(false);
        framed.setDown(false);
        button.setEnabled(false);
        framed.setEnabled(false);
        shoot(QStringLiteral("disabled"));

        for (int i = 0; i < shots.size(); ++i) {
            for (int j = i + 1; j < shots.size(); ++j) {
                // Up and latched differ only in what lies under the glyph's
                // background, which is the face either way.
                const bool sameLook = shots[i].name.startsWith(QLatin1String("up"))
                    && shots[j].name.startsWith(QLatin1String("latched"));
                QCOMPARE(shots[i].image == shots[j].image,
                         sameLook && shots[i].name.endsWith(QLatin1String("caption"))
                             == shots[j].name.endsWith(QLatin1String("caption")));
            }
        }
        if (folder.isEmpty())
            return;
        QVERIFY(QDir().mkpath(folder));
        for (const Shot &shot : shots) {
            QVERIFY(shot.image.save(QDir(folder).filePath(shot.name + QStringLiteral(".png"))));
            const QImage large = shot.image.scaled(shot.image.size() * 8);
            QVERIFY(large.save(QDir(folder).filePath(shot.name + QStringLiteral("-x8.png"))));
        }
    }
};

QTEST_MAIN(TestFarbButton)
#include "tst_FarbButton.moc"
