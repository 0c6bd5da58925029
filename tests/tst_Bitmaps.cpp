#include "controls/FarbButton.h"
#include "options/ColorSchemes.h"
#include "resources/Bitmaps.h"
#include "support/GlyphImages.h"

#include <QPainter>
#include <QTest>

#include <memory>

using Bitmaps::TextStyle;
using WinColor::rgb;

namespace {

enum class Kind { Glyph, Bell, Handle, StylePicture };

struct BitmapInfo
{
    const char *name;
    Kind kind;
};

// Every bitmap the program loads, with what it is for.
constexpr BitmapInfo kBitmaps[] = {
    {"L2", Kind::Glyph},           {"L1", Kind::Glyph},           {"R1", Kind::Glyph},
    {"R2", Kind::Glyph},           {"P1", Kind::Glyph},           {"N1", Kind::Glyph},
    {"H1", Kind::Glyph},           {"T1", Kind::Glyph},           {"TT", Kind::Glyph},
    {"KC", Kind::Glyph},           {"EP", Kind::Glyph},           {"SS", Kind::Glyph},
    {"ER", Kind::Glyph},           {"A1", Kind::Glyph},           {"V1", Kind::Glyph},
    {"D1", Kind::Glyph},           {"E1", Kind::Glyph},           {"O1", Kind::Glyph},
    {"E2", Kind::Glyph},           {"MONTHBACK", Kind::Glyph},    {"MONTHFORWARD", Kind::Glyph},
    {"YEARBACK", Kind::Glyph},     {"YEARFORWARD", Kind::Glyph},  {"TODAY", Kind::Glyph},
    {"C1", Kind::Bell},            {"C2", Kind::Bell},            {"LOGOD", Kind::Handle},
    {"LOGOE", Kind::Handle},       {"BOLDOFF", Kind::StylePicture}, {"BOLDON", Kind::StylePicture},
    {"ITALICOFF", Kind::StylePicture}, {"ITALICON", Kind::StylePicture},
    {"UNDERLINEOFF", Kind::StylePicture}, {"UNDERLINEON", Kind::StylePicture},
};

QSize sizeOf(Kind kind)
{
    switch (kind) {
    case Kind::Glyph:
        return {16, 16};
    case Kind::Bell:
        return {17, 13};
    case Kind::Handle:
        return {14, 46};
    case Kind::StylePicture:
        return {20, 20};
    }
    return {};
}

// The 16 colours of a 4-bit bitmap.
const QSet<TColor> kStandardColors = {
    rgb(0, 0, 0),       rgb(128, 0, 0),     rgb(0, 128, 0),   rgb(128, 128, 0),
    rgb(0, 0, 128),     rgb(128, 0, 128),   rgb(0, 128, 128), rgb(128, 128, 128),
    rgb(192, 192, 192), rgb(255, 0, 0),     rgb(0, 255, 0),   rgb(255, 255, 0),
    rgb(0, 0, 255),     rgb(255, 0, 255),   rgb(0, 255, 255), rgb(255, 255, 255),
};

QSet<QRgb> colorsOf(const QImage &image)
{
    QSet<QRgb> colors;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colors.insert(image.pixel(x, y));
    }
    return colors;
}

// The smallest rectangle holding every pixel that is not the background.
QRect drawnBounds(const QImage &image, QRgb background)
{
    QRect found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background)
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

QList<QPoint> pixelsOtherThan(const QImage &image, const QRect &area, const QSet<TColor> &colors)
{
    QList<QPoint> found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!colors.contains(GlyphImages::pixel(image, x, y)))
                found.append({x, y});
        }
    }
    return found;
}

QImage blackMask(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32)
        .createMaskFromColor(qRgb(0, 0, 0), Qt::MaskOutColor);
}

// The square inside a style picture's black frame.
constexpr QRect kStyleSquare(2, 2, 16, 16);

QImage withoutSquare(const QImage &picture)
{
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QPainter(&image).fillRect(kStyleSquare, Qt::black);
    return image;
}

// The fixed palettes, then a user palette all in white, where white
// details of a glyph vanish and only its black ink is left.
QList<ColorScheme> schemes()
{
    QList<ColorScheme> all(ColorSchemes::FixedPalettes.begin(), ColorSchemes::FixedPalettes.end());
    all.append({WinColor::White, WinColor::White, WinColor::White});
    return all;
}

std::unique_ptr<TFarbButton> buttonWith(const QImage &glyph, TColor color)
{
    auto button = std::make_unique<TFarbButton>();
    button->setColor(color);
    button->setGlyph(glyph);
    return button;
}

QStringList namesOf(Kind kind)
{
    QStringList names;
    for (const BitmapInfo &bitmap : kBitmaps) {
        if (bitmap.kind == kind)
            names.append(QString::fromLatin1(bitmap.name));
    }
    return names;
}

} // namespace

class TestBitmaps : public QObject
{
    Q_OBJECT

private slots:
    void everyBitmap_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Kind>("kind");
        for (const BitmapInfo &bitmap : kBitmaps)
            QTest::newRow(bitmap.name) << QString::fromLatin1(bitmap.name) << bitmap.kind;
    }

    void everyBitmap()
    {
        QFETCH(QString, name);
        QFETCH(Kind, kind);
        const QImage image = Bitmaps::bitmap(name);
        QVERIFY2(!image.isNull(), qPrintable(name));
        QCOMPARE(image, QImage(":/bitmaps/" + name + ".xpm"));
        QCOMPARE(image.size(), sizeOf(kind));
        QVERIFY(colorsOf(image).size() <= (kind == Kind::Glyph ? 16 : 256));
    }

    void noBitmapBesides()
    {
        QStringList expected;
        for (const BitmapInfo &bitmap : kBitmaps)
            expected.append(QString::fromLatin1(bitmap.name));
        expected.sort();
        QCOMPARE(Bitmaps::names(), expected);
        QVERIFY(Bitmaps::bitmap(QStringLiteral("NOSUCH")).isNull());
    }

    void glyph_data()
    {
        QTest::addColumn<QString>("name");
        for (const BitmapInfo &bitmap : kBitmaps) {
            if (bitmap.kind == Kind::Glyph)
                QTest::newRow(bitmap.name) << QString::fromLatin1(bitmap.name);
        }
    }

    // A button takes the bottom-left colour as background and, disabled,
    // shows only the black pixels: the black outline has to span the
    // whole drawing.
    void glyph()
    {
        QFETCH(QString, name);
        const QImage image = Bitmaps::bitmap(name);
        QCOMPARE(pixelsOtherThan(image, image.rect(), kStandardColors), QList<QPoint>());
        QCOMPARE(GlyphImages::pixel(image, 0, 15), WinColor::Olive);
        const QRgb olive = WinColor::toQColor(WinColor::Olive).rgb();
        QCOMPARE(GlyphImages::bounds(image, WinColor::Black), drawnBounds(image, olive));
    }

    void glyphOnButton_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TColor>("color");
        for (const QString &name : namesOf(Kind::Glyph)) {
            for (const ColorScheme &scheme : schemes()) {
                const QString row = name + u' ' + QString::number(scheme.ButtonColor, 16);
                QTest::newRow(qPrintable(row)) << name << scheme.ButtonColor;
            }
        }
    }

    // On every scheme's button colour the background stays see-through
    // and the drawing stays visible.
    void glyphOnButton()
    {
        QFETCH(QString, name);
        QFETCH(TColor, color);
        constexpr QPoint glyphAt{2, 2}; // a 16 x 16 glyph on a 20 x 20 button
        const QImage glyph = Bitmaps::bitmap(name).convertToFormat(QImage::Format_RGB32);
        const QImage face = buttonWith(glyph, color)->grab().toImage();
        int ink = 0;
        for (int y = 0; y < glyph.height(); ++y) {
            for (int x = 0; x < glyph.width(); ++x) {
                const TColor shown = GlyphImages::pixel(face, glyphAt.x() + x, glyphAt.y() + y);
                if (GlyphImages::pixel(glyph, x, y) == WinColor::Olive)
                    QCOMPARE(shown, color);
                else
                    ink += shown != color;
            }
        }
        QVERIFY(ink > 0);
    }

    // KLADDO_CONTACT_SHEET=sheet.png writes every glyph on every palette's
    // buttons and every style picture filled in its colours, to look at.
    void contactSheet()
    {
        const QString path = qEnvironmentVariable("KLADDO_CONTACT_SHEET");
        if (path.isEmpty())
            QSKIP("KLADDO_CONTACT_SHEET names no file");
        constexpr int cell = 24;
        const QStringList glyphs = namesOf(Kind::Glyph);
        const QList<ColorScheme> all = schemes();
        QImage sheet(cell * int(glyphs.size() + 6), cell * int(all.size()), QImage::Format_RGB32);
        sheet.fill(Qt::darkGray);
        QPainter painter(&sheet);
        for (int row = 0; row < all.size(); ++row) {
            const ColorScheme &scheme = all[row];
            QPoint at(2, row * cell + 2);
            for (const QString &name : glyphs) {
                painter.drawImage(at, buttonWith(Bitmaps::bitmap(name), scheme.ButtonColor)->grab().toImage());
                at.rx() += cell;
            }
            for (TextStyle style : {TextStyle::Bold, TextStyle::Italic, TextStyle::Underline}) {
                for (bool on : {false, true}) {
                    painter.drawImage(at, ColorSchemes::filledStylePicture(
                                              Bitmaps::stylePicture(style, on),
                                              on ? scheme.BackColor : scheme.ButtonColor,
                                              style == TextStyle::Italic));
                    at.rx() += cell;
                }
            }
        }
        painter.end();
        QVERIFY(sheet.scaled(sheet.size() * 6).save(path));
    }

    void pairsDiffer_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("seeThrough");
        QTest::newRow("bells") << "C1" << "C2" << true;
        QTest::newRow("handles") << "LOGOD" << "LOGOE" << false;
    }

    // The bells stand on the caption bar, whatever its colour.
    void pairsDiffer()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, seeThrough);
        const QImage a = Bitmaps::bitmap(first);
        const QImage b = Bitmaps::bitmap(second);
        QVERIFY(a != b);
        for (const QImage &image : {a, b}) {
            QCOMPARE(qAlpha(image.pixel(0, 0)) == 0, seeThrough);
            QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)) == 0, seeThrough);
        }
    }

    void stylePicture_data()
    {
        QTest::addColumn<TextStyle>("style");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<QPoint>>("enclosed");
        const QList<QPoint> none;
        const QList<QPoint> italicHole{{10, 8}};
        QTest::newRow("bold off") << TextStyle::Bold << false << "BOLDOFF" << none;
        QTest::newRow("bold on") << TextStyle::Bold << true << "BOLDON" << none;
        QTest::newRow("italic off") << TextStyle::Italic << false << "ITALICOFF" << italicHole;
        QTest::newRow("italic on") << TextStyle::Italic << true << "ITALICON" << italicHole;
        QTest::newRow("underline off") << TextStyle::Underline << false << "UNDERLINEOFF" << none;
        QTest::newRow("underline on") << TextStyle::Underline << true << "UNDERLINEON" << none;
    }

    // The colour schemes refill the square from (2, 2) up to black; the
    // fill must reach every pixel of it but the letter and, in the italic
    // pictures, the one pixel (10, 8) walled in by the letter.
    void stylePicture()
    {
        QFETCH(TextStyle, style);
        QFETCH(bool, on);
        QFETCH(QString, name);
        QFETCH(QList<QPoint>, enclosed);
        const QImage picture = Bitmaps::stylePicture(style, on);
        QCOMPARE(picture, Bitmaps::bitmap(name));

        const TColor fill = rgb(12, 200, 34);
        const QImage filled = ColorSchemes::filledStylePicture(picture, fill, false);
        QCOMPARE(pixelsOtherThan(filled, kStyleSquare, {fill, WinColor::Black}), enclosed);
        for (const QPoint &p : enclosed) {
            for (const QPoint &wall : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)})
                QCOMPARE(GlyphImages::pixel(picture, wall.x(), wall.y()), WinColor::Black);
        }
        // The frame holds the fill: the bevel around it keeps its colours.
        QCOMPARE(withoutSquare(filled), withoutSquare(picture));

        // Off and on show the same letter in the same frame.
        QCOMPARE(blackMask(picture), blackMask(Bitmaps::stylePicture(style, !on)));
    }

    void programIcon()
    {
        const QList<QSize> sizes = Bitmaps::programIcon().availableSizes();
        for (const int side : {16, 32, 48})
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    }
};

QTEST_MAIN(TestBitmaps)
#include "tst_Bitmaps.moc"
