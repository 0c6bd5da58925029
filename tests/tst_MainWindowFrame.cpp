#include "app/TForm1.h"
#include "controls/FarbButton.h"
#include "support/ProgramFolder.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

namespace {

constexpr int kScreenWidth = 1600;

void sendMouse(QWidget *widget, QEvent::Type type, Qt::MouseButton button,
               Qt::MouseButtons buttons, QPoint position)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void rightClick(QWidget *handle)
{
    sendMouse(handle, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {5, 5});
    sendMouse(handle, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {5, 5});
}

} // namespace

class TestMainWindowFrame : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_dir;

    void writeIni(const QByteArray &bytes)
    {
        QVERIFY(writeFile(m_dir->filePath("DATA/note.ini"), bytes));
    }

    int storedPos() const
    {
        return ProfileFile(m_dir->filePath("DATA/note.ini")).readInteger(u"WINDOW", u"Pos", -9999);
    }

    std::unique_ptr<TForm1> makeForm()
    {
        auto form = std::make_unique<TForm1>(*m_environment, m_dir->path());
        m_environment->whilePaused = [this, raw = form.get()] { m_positions.append(raw->x()); };
        return form;
    }

    static QLabel *handle(TForm1 &form, const char *name)
    {
        return form.findChild<QLabel *>(name);
    }

    std::unique_ptr<TestEnvironment> m_environment;
    QList<int> m_positions;

private slots:
    void init()
    {
        m_environment = std::make_unique<TestEnvironment>();
        m_environment->setScreenWidth(kScreenWidth);
        m_dir = std::make_unique<ProgramFolder>();
        QVERIFY(QDir(m_dir->path()).mkdir("DATA"));
        m_positions.clear();
    }

    void frameWindow()
    {
        writeIni("[WINDOW]\r\nPos=40\r\nTransparent=128\r\n");
        auto form = makeForm();
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(form->geometry(), QRect(kScreenWidth - 16, 40, 528, 549));
        QCOMPARE(form->opacityAlpha(), 128);
        QVERIFY(form->isRolledIn());
        for (const char *name : {"Image1", "Image3"}) {
            QLabel *label = handle(*form, name);
            QVERIFY2(label, name);
            QCOMPARE(label->size(), QSize(14, 46));
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(label->pixmap().size(), QSize(14, 46));
        }
        QCOMPARE(handle(*form, "Image1")->mapTo(form.get(), QPoint()), QPoint(1, 342));
        QCOMPARE(handle(*form, "Image3")->mapTo(form.get(), QPoint()), QPoint(510, 342));
    }

    void maskFollowsAlarmArea()
    {
        auto form = makeForm();
        QVERIFY(!form->mask().contains(QPoint(100, 400)));
        QVERIFY(!form->mask().contains(QPoint(5, 100)));
        QVERIFY(form->mask().contains(QPoint(5, 350)));
        form->windowSettings().DisplayAlarm = 1;
        form->ApplyWindowShape();
        QVERIFY(form->mask().contains(QPoint(100, 400)));
        QVERIFY(!form->mask().contains(QPoint(5, 100)));

        writeIni("[WINDOW]\r\nDisplayAlarm=1\r\n");
        QVERIFY(makeForm()->mask().contains(QPoint(100, 400)));
    }

    void outlinePainted()
    {
        auto form = makeForm();
        const QImage image = form->grab().toImage();
        QCOMPARE(image.pixelColor(16, 0), QColor(Qt::black));
        QCOMPARE(image.pixelColor(16, 200), QColor(Qt::black));
        QCOMPARE(image.pixelColor(523, 100), QColor(Qt::black));
        QCOMPARE(image.pixelColor(16, 339), QColor(Qt::black));
        // The toolbar panel covers the strip, outline included.
        QVERIFY(image.pixelColor(300, 388) != QColor(Qt::black));
        QVERIFY(image.pixelColor(200, 200) != QColor(Qt::black));
    }

    // Out with Image1, in with Image3; with an effect the window passes
    // nine steps each way, with a pause after each.
    void roll_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("pause");
        QTest::addColumn<QList<int>>("steps");
        const QList<int> nine{67, 118, 169, 220, 271, 322, 373, 424, 475};
        QTest::newRow("none") << 0 << 0 << QList<int>{};
        QTest::newRow("fast") << 1 << 8 << nine;
        QTest::newRow("normal") << 2 << 40 << nine;
        QTest::newRow("slow") << 3 << 250 << nine;
    }

    void roll()
    {
        QFETCH(int, effect);
        QFETCH(int, pause);
        QFETCH(QList<int>, steps);
        writeIni("[WINDOW]\r\nRollEffect=" + QByteArray::number(effect) + "\r\nPos=77\r\n");
        auto form = makeForm();
        rightClick(handle(*form, "Image1"));
        QList<int> expected;
        for (int offset : steps)
            expected.append(kScreenWidth - offset);
        QCOMPARE(m_positions, expected);
        QCOMPARE(m_environment->pauses, QList<int>(steps.size(), pause));
        QCOMPARE(form->pos(), QPoint(kScreenWidth - 525, 77));
        QVERIFY(!form->isRolledIn());

        m_positions.clear();
        rightClick(handle(*form, "Image3"));
        std::reverse(expected.begin(), expected.end());
        QCOMPARE(m_positions, expected);
        QCOMPARE(form->pos(), QPoint(kScreenWidth - 16, 77));
        QVERIFY(form->isRolledIn());
    }

    // The key waits for a roll under way, then acts on the window as it
    // stands: out with the keyboard it rolls in, otherwise it brings the
    // window out with the keyboard for the page.
    void globalKeyWaitsForTheRoll()
    {
        writeIni("[WINDOW]\r\nRollEffect=1\r\nPos=77\r\n");
        auto form = makeForm();
        form->show();
        bool pressed = false;
        m_environment->whilePaused = [&] {
            if (!std::exchange(pressed, true))
                m_environment->key->press(true);
        };
        rightClick(handle(*form, "Image1"));
        QVERIFY(!form->isRolledIn());
        QTRY_VERIFY(form->isRolledIn());
        m_environment->key->press(false);
        QTRY_VERIFY(!form->isRolledIn());
        QTRY_COMPARE(QApplication::focusWidget(), form->findChild<QWidget *>("RichEdit1"));
    }

    // Clicked back within the double-click time, the second press comes
    // as a double click: it must roll like any other press.
    void quickSecondRightClickRollsBack()
    {
        auto form = makeForm();
        rightClick(handle(*form, "Image1"));
        QVERIFY(!form->isRolledIn());
        QLabel *out = handle(*form, "Image3");
        sendMouse(out, QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton, {5, 5});
        sendMouse(out, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {5, 5});
        QVERIFY(form->isRolledIn());
    }

    void changedScreenWidthRollsIn()
    {
        auto form = makeForm();
        m_environment->setScreenWidth(1280);
        QVERIFY(!form->isRolledIn());
        rightClick(handle(*form, "Image1"));
        QCOMPARE(form->x(), 1280 - 16);
        QVERIFY(form->isRolledIn());
    }

    // A top edge that hides the handle is corrected at start and when the
    // screens change, and the correction reaches note.ini.
    void windowStaysReachable()
    {
        writeIni("[WINDOW]\r\nPos=5000\r\n");
        auto form = makeForm();
        QCOMPARE(form->pos(), QPoint(kScreenWidth - 16, 1080 - 549));
        form->SaveSettings();
        QCOMPARE(storedPos(), 1080 - 549);
        m_environment->screen = QRect(0, 0, 1024, 400);
        m_environment->screensChanged();
        QCOMPARE(form->pos(), QPoint(1024 - 16, 0));
        QVERIFY(form->isRolledIn());
    }

    void dragMovesOnlyVerticallyWhenAllowed()
    {
        writeIni("[WINDOW]\r\nAdjust=1\r\nPos=100\r\n");
        auto form = makeForm();
        QLabel *label = handle(*form, "Image3");
        sendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {4, 10});
        sendMouse(label, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {9, 40});
        QCOMPARE(form->pos(), QPoint(kScreenWidth - 16, 130));
        // Moves below or above the screen are not limited.
        sendMouse(label, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {9, -500});
        QCOMPARE(form->pos(), QPoint(kScreenWidth - 16, -380));
        QCOMPARE(storedPos(), 100);
        sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {9, -500});
        QCOMPARE(storedPos(), -380);
    }

    void dragDoesNothingWhenNotAllowed()
    {
        writeIni("[WINDOW]\r\nAdjust=0\r\nPos=100\r\n");
        auto form = makeForm();
        QLabel *label = handle(*form, "Image1");
        sendMouse(label, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {4, 10});
        sendMouse(label, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {4, 40});
        QCOMPARE(form->y(), 100);
        form->move(form->x(), 90); // the release stores the edge as it is now
        sendMouse(label, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {4, 40});
        QCOMPARE(storedPos(), 90);
    }

    void rightClickSetsDragAnchor()
    {
        writeIni("[WINDOW]\r\nAdjust=1\r\nPos=100\r\n");
        auto form = makeForm();
        QLabel *label = handle(*form, "Image1");
        sendMouse(label, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {4, 30});
        sendMouse(label, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {4, 30});
        sendMouse(label, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {4, 35});
        QCOMPARE(form->y(), 105);
    }

    void handleHints_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("rolledIn");
        QTest::addColumn<QString>("rolledOut");
        QTest::newRow("German") << QByteArray("[WINDOW]\r\n")
                                << "mit rechts Click anzeigen" << "mit rechts Click verbergen";
        QTest::newRow("lower-case deutsch is English")
            << QByteArray("[WINDOW]\r\nLanguage=deutsch\r\n")
            << "click right to show" << "click right to hide";
        QTest::newRow("German, movable")
            << QByteArray("[WINDOW]\r\nAdjust=1\r\n")
            << "mit rechts Click anzeigen\nmit links Click verschieben"
            << "mit rechts Click verbergen\nmit links Click verschieben";
        QTest::newRow("English, movable")
            << QByteArray("[WINDOW]\r\nAdjust=1\r\nLanguage=English\r\n")
            << "click right to show\nclick left to adjust"
            << "click right to hide\nclick left to adjust";
    }

    void handleHints()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, rolledIn);
        QFETCH(QString, rolledOut);
        writeIni(ini);
        auto form = makeForm();
        QCOMPARE(handle(*form, "Image1")->toolTip(), rolledIn);
        QCOMPARE(handle(*form, "Image3")->toolTip(), rolledIn);
        rightClick(handle(*form, "Image1"));
        QCOMPARE(handle(*form, "Image1")->toolTip(), rolledOut);
        QCOMPARE(handle(*form, "Image3")->toolTip(), rolledOut);
        rightClick(handle(*form, "Image3"));
        QCOMPARE(handle(*form, "Image3")->toolTip(), rolledIn);
    }

    void handlePictureFollowsLanguage()
    {
        auto german = makeForm();
        writeIni("[WINDOW]\r\nLanguage=English\r\n");
        auto english = makeForm();
        const QImage de = handle(*german, "Image1")->pixmap().toImage();
        const QImage en = handle(*english, "Image1")->pixmap().toImage();
        QVERIFY(de != en);
        QCOMPARE(handle(*english, "Image3")->pixmap().toImage(), en);
    }

    void closeButtonWritesEverySetting()
    {
        writeIni("; mine\r\n[WINDOW]\r\nPos=50\r\nLanguage=English\r\n");
        auto form = makeForm();
        auto *close = form->findChild<TFarbButton *>("FarbButton9");
        QVERIFY(close);
        QCOMPARE(close->geometry(), QRect(480, 15, 20, 20));
        QCOMPARE(close->parentWidget()->objectName(), QStringLiteral("Panel1"));
        QVERIFY(!close->glyph().isNull());
        bool closed = false;
        connect(form.get(), &TForm1::closed, this, [&] { closed = true; });
        form->show();
        form->move(form->x(), 70);
        form->windowSettings().PassTitle[9] = "Bank";
        QTest::mouseClick(close, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(closed);
        QVERIFY(!form->isVisible());

        const QByteArray ini = readFile(m_dir->filePath("DATA/note.ini"));
        QVERIFY(ini.startsWith("; mine\r\n[WINDOW]\r\nPos=70\r\nLanguage=English\r\nDisplayNP=0\r\n"));
        for (const char *key : {"DisplayAlarm", "DisplayHint", "Note", "Pass", "Adjust",
                                "Transparent", "Palette", "Color1", "Color2", "Color3", "ColWidth1",
                                "ColWidth2", "ColWidth3", "ColPos1", "ColPos2", "RollEffect"})
            QVERIFY2(ini.contains("\r\n" + QByteArray(key) + '='), key);
        QVERIFY(ini.endsWith("[ALARM]\r\nAlarm0=\r\nAlarm1=\r\nAlarm2=\r\nAlarm3=\r\nAlarm4=\r\n"
                             "Alarm5=\r\nAlarm6=\r\nAlarm7=\r\nAlarm8=\r\nAlarm9=\r\n"));
        QVERIFY(ini.contains("\r\nTitle9=Bank\r\n[ALARM]"));
    }

    void closeEndsTheProgram()
    {
        auto form = makeForm();
        bool closed = false;
        connect(form.get(), &TForm1::closed, this, [&] { closed = true; });
        form->show();
        QVERIFY(form->close());
        QVERIFY(closed);
    }
};

QTEST_MAIN(TestMainWindowFrame)
#include "tst_MainWindowFrame.moc"
