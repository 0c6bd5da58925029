#include "app/SingleCopy.h"
#include "app/WindowFrame.h"
#include "support/MainWindowFolder.h"

#include <QGuiApplication>
#include <QScreen>

#include <future>

#include <windows.h>

// The main window as Windows' own platform plugin makes it, read back
// through the Windows API.
class TestWindowsWindow : public QObject, MainWindowFolder
{
    Q_OBJECT

    // Started as the program starts it: the handle shown first.
    std::unique_ptr<TForm1> shownForm()
    {
        m_environment.screen = QGuiApplication::primaryScreen()->geometry();
        auto form = std::make_unique<TForm1>(m_environment, m_dir->path(), TForm1::StartUp::HandleFirst);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()) || !QTest::qWaitFor([&] { return form->hasStarted(); }))
            return nullptr;
        return form;
    }

    static HWND handleOf(QWidget &window) { return reinterpret_cast<HWND>(window.winId()); }

    static LONG_PTR extendedStyle(QWidget &window) { return GetWindowLongPtrW(handleOf(window), GWL_EXSTYLE); }

private slots:
    void init() { QVERIFY(resetFolder()); }
    // The window makes its program folder the current one, which Windows
    // would not let the folder's removal take.
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    // A tool window of no owner has no task-bar button; one with
    // WS_EX_APPWINDOW would have one all the same.
    void noTaskBarButtonAndAboveAll()
    {
        const auto form = shownForm();
        QVERIFY(form);
        const LONG_PTR style = extendedStyle(*form);
        QVERIFY(style & WS_EX_TOOLWINDOW);
        QVERIFY(!(style & WS_EX_APPWINDOW));
        QVERIFY(style & WS_EX_TOPMOST);
        QCOMPARE(GetWindow(handleOf(*form), GW_OWNER), nullptr);
    }

    void cutToItsShape_data()
    {
        QTest::addColumn<bool>("alarmAreaShown");
        QTest::newRow("alarm area shown") << true;
        QTest::newRow("alarm area hidden") << false;
    }

    void cutToItsShape()
    {
        QFETCH(bool, alarmAreaShown);
        const auto form = shownForm();
        QVERIFY(form);
        form->windowSettings().DisplayAlarm = alarmAreaShown ? 1 : 0;
        form->ApplyWindowShape();

        HRGN expected = CreateRectRgn(0, 0, 0, 0);
        for (const QRect &rect : WindowFrame::windowShape(alarmAreaShown)) {
            HRGN part = CreateRectRgn(rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1);
            CombineRgn(expected, expected, part, RGN_OR);
            DeleteObject(part);
        }
        HRGN actual = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(handleOf(*form), actual);
        const bool equal = EqualRgn(expected, actual);
        DeleteObject(expected);
        DeleteObject(actual);
        QCOMPARE(kind, COMPLEXREGION);
        QVERIFY(equal);
    }

    void asOpaqueAsSet_data()
    {
        QTest::addColumn<int>("alpha");
        QTest::newRow("opaque") << 255;
        QTest::newRow("80 %") << 204;
        QTest::newRow("10 %") << 26;
    }

    // A layered window keeps its region.
    void asOpaqueAsSet()
    {
        QFETCH(int, alpha);
        const auto form = shownForm();
        QVERIFY(form);
        form->setOpacityAlpha(alpha);
        const bool layered = extendedStyle(*form) & WS_EX_LAYERED;
        QCOMPARE(layered, alpha < 255);
        if (layered) {
            BYTE shown = 0;
            DWORD flags = 0;
            QVERIFY(GetLayeredWindowAttributes(handleOf(*form), nullptr, &shown, &flags));
            QVERIFY(flags & LWA_ALPHA);
            QCOMPARE(int(shown), alpha);
        }
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(handleOf(*form), region);
        DeleteObject(region);
        QCOMPARE(kind, COMPLEXREGION);
    }

    // The user worked in the window, then another came to the front; a
    // later start brings the running copy's window back. (Under Wine the
    // first activation of a window that was shown without one leaves the
    // foreground with the desktop when another window had it.)
    void laterStartBringsItToTheFront()
    {
        const auto form = shownForm();
        QVERIFY(form);
        form->comeOut();
        QTRY_COMPARE(GetForegroundWindow(), handleOf(*form));
        form->RollIn();
        SingleCopy copy(m_dir->path());
        QCOMPARE(copy.claim(), SingleCopy::Claim::First);
        copy.listen();
        connect(&copy, &SingleCopy::comeOutRequested, form.get(), &TForm1::comeOut);

        QWidget other;
        other.setGeometry(100, 100, 200, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        other.activateWindow();
        QTRY_COMPARE(GetForegroundWindow(), handleOf(other));

        auto later = std::async(std::launch::async, [folder = m_dir->path()] { return SingleCopy(folder).claim(); });
        QTRY_COMPARE(GetForegroundWindow(), handleOf(*form));
        QCOMPARE(later.get(), SingleCopy::Claim::HandedOver);
        QVERIFY(!form->isRolledIn());
    }
};

QTEST_MAIN(TestWindowsWindow)
#include "tst_WindowsWindow.moc"
