#include "alarms/Alarm.h"
#include "app/TForm1.h"
#include "controls/FarbButton.h"
#include "controls/GroupBox.h"
#include "support/ProgramFolder.h"
#include "support/TestEnvironment.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

// Where the ratio-2 picture differs from the ratio-1 picture made twice as
// large pixel by pixel: a blended colour or a shifted edge; empty when
// there is none.
QString firstBlurredPixel(const QImage &single, const QImage &twice)
{
    if (twice.size() != single.size() * 2)
        return QStringLiteral("drawn at %1 x %2").arg(twice.width()).arg(twice.height());
    for (int y = 0; y < twice.height(); ++y) {
        for (int x = 0; x < twice.width(); ++x) {
            if (twice.pixel(x, y) != single.pixel(x / 2, y / 2))
                return QStringLiteral("device pixel %1, %2").arg(x).arg(y);
        }
    }
    return {};
}

QString firstBlurredPixel(QWidget *widget)
{
    QImage single(widget->size(), QImage::Format_RGB32);
    widget->render(&single);
    return firstBlurredPixel(single, widget->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

QString firstBlurredPixel(const QIcon &icon)
{
    const auto picture = [&](qreal ratio) {
        return icon.pixmap(QSize(16, 16), ratio).toImage().convertToFormat(QImage::Format_RGB32);
    };
    return firstBlurredPixel(picture(1), picture(2));
}

// The first device pixel of the widget's outer pixel ring, grabbed at
// ratio 2, that is not black; empty when there is none.
QString firstPixelOffTheFrame(QWidget *widget)
{
    const QImage twice = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < twice.height(); ++y) {
        for (int x = 0; x < twice.width(); ++x) {
            const bool onFrame = x < 2 || y < 2 || x >= twice.width() - 2 || y >= twice.height() - 2;
            if (onFrame && twice.pixel(x, y) != qRgb(0, 0, 0))
                return QStringLiteral("device pixel %1, %2").arg(x).arg(y);
        }
    }
    return {};
}

} // namespace

// The window at a device pixel ratio of 2: its pictures are pixel art and
// its frames one pixel wide, and both must reach the screen as such.
class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void artworkAndFramesStaySharp()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        ProgramFolder dir;
        QVERIFY(QDir(dir.path()).mkdir("DATA"));
        TestEnvironment environment;
        TForm1 form(environment, dir.path());
        QCOMPARE(form.size(), QSize(TForm1::FormWidth, TForm1::FormHeight));
        form.windowSettings().AlarmText[form.windowSettings().Note] = Alarm::textFor(environment.currentTime.date().addDays(1), QTime(8, 0));
        form.AlarmOk();
        QList<QWidget *> pictured;
        for (const char *name : {"FarbButton1", "FarbButton9", "FarbButton13", "Image1", "Image2", "Image4", "Image5"})
            pictured << form.findChild<QWidget *>(name);
        for (TFarbButton *button : form.findChild<QWidget *>("OvcCalendar1")->findChildren<TFarbButton *>())
            pictured << button;
        for (QWidget *widget : pictured) {
            const QString blurred = firstBlurredPixel(widget);
            QVERIFY2(blurred.isEmpty(), qPrintable(widget->objectName() + QStringLiteral(": ") + blurred));
        }
        TGroupBox frameOnly;
        frameOnly.resize(40, 30);
        QCOMPARE(firstBlurredPixel(&frameOnly), QString());
        for (const char *name : {"OvcCalendar1", "StringGrid1"}) {
            QWidget *framed = form.findChild<QWidget *>(name);
            if (auto *grid = qobject_cast<QAbstractScrollArea *>(framed))
                framed = grid->viewport();
            const QString offTheFrame = firstPixelOffTheFrame(framed);
            QVERIFY2(offTheFrame.isEmpty(), qPrintable(name + QStringLiteral(": ") + offTheFrame));
        }
        const auto *palettes = form.findChild<QComboBox *>("ComboBoxEx1");
        for (int item = 0; item < palettes->count(); ++item) {
            const QString blurred = firstBlurredPixel(palettes->itemIcon(item));
            QVERIFY2(blurred.isEmpty(), qPrintable(palettes->itemText(item) + QStringLiteral(": ") + blurred));
        }
    }

    void picturesFollowTheScreensRatio()
    {
        const QList<QScreen *> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(screens[1]->devicePixelRatio(), 1.0);
        ProgramFolder dir;
        QVERIFY(QDir(dir.path()).mkdir("DATA"));
        TestEnvironment environment;
        TForm1 form(environment, dir.path());
        form.windowSettings().AlarmText[form.windowSettings().Note] = Alarm::textFor(environment.currentTime.date().addDays(1), QTime(8, 0));
        form.AlarmOk();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto ratios = [&form] {
            QList<qreal> found;
            for (const char *name : {"Image1", "Image3", "Image2", "Image4", "Image5", "Image6"})
                found << form.findChild<QLabel *>(name)->pixmap().devicePixelRatio();
            return found;
        };
        QCOMPARE(ratios(), QList<qreal>(6, 2.0));
        form.windowHandle()->setScreen(screens[1]);
        QTRY_COMPARE(ratios(), QList<qreal>(6, 1.0));
        form.windowHandle()->setScreen(screens[0]);
        QTRY_COMPARE(ratios(), QList<qreal>(6, 2.0));
    }
};

int main(int argc, char *argv[])
{
    // Two screens side by side, both 1280 x 800 logical pixels: the primary
    // at ratio 2, the other at 1.
    ProgramFolder configFolder;
    const QString config = configFolder.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(R"({"screens": [
            {"name": "high", "x": 0, "y": 0, "width": 2560, "height": 1600},
            {"name": "plain", "x": 2560, "y": 0, "width": 1280, "height": 800}]})")
               < 0)
        return 1;
    file.close();
    // Named from its own folder: Qt splits the platform's arguments at
    // colons, and a Windows path has one.
    if (!QDir::setCurrent(configFolder.path()))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screens.json");
    qputenv("QT_SCREEN_SCALE_FACTORS", "high=2;plain=1");
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HighDpi.moc"
