#include "app/TForm1.h"
#include "controls/UpDown.h"
#include "options/ColorSchemes.h"
#include "options/KladdoDlg.h"
#include "passwords/PassGrid.h"
#include "support/FaultConditions.h"
#include "support/MainWindowFolder.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using Widths = std::array<int, 3>;

class TestOptionsDialog : public QObject, private MainWindowFolder
{
    Q_OBJECT

    void writeIni(const QByteArray &bytes) { QVERIFY(writeFile(data("note.ini"), bytes)); }

    template <typename T = QWidget>
    static T *control(QWidget &window, const char *name)
    {
        T *found = window.findChild<T *>(name);
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    // Clicks the options button and runs whileOpen in the modal dialog,
    // which OK closes unless whileOpen did.
    void withOptions(TForm1 &form, const std::function<void(TKladdoDlg &)> &whileOpen)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TKladdoDlg *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            whileOpen(*dialog);
            ran = true;
            if (dialog->isVisible())
                QTest::mouseClick(control(*dialog, "OKBtn"), Qt::LeftButton);
        });
        click(form, "FarbButton11");
        QVERIFY2(ran, "the options dialog did not open");
    }

    static void clickTimes(QWidget *button, int times)
    {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(button, Qt::LeftButton);
    }

    // The keys of section WINDOW in the order note.ini holds them.
    QStringList windowKeys() const
    {
        QStringList keys;
        bool inWindow = false;
        for (const QString &line : QString::fromLatin1(readFile(data("note.ini"))).split("\r\n")) {
            if (line.startsWith('['))
                inWindow = line == "[WINDOW]";
            else if (inWindow && line.contains('='))
                keys << line.section('=', 0, 0);
        }
        return keys;
    }

private slots:
    void init() { QVERIFY(resetFolder()); }

    void opensOverTheWindowAfterSavingThePage_data()
    {
        QTest::addColumn<int>("screenHeight");
        QTest::addColumn<int>("windowTop");
        QTest::addColumn<int>("dialogTop");
        QTest::newRow("level with the window") << 1080 << 5 << 5;
        QTest::newRow("moved up onto the screen") << 600 << 500 << 600 - TKladdoDlg::ClientHeight;
    }

    void opensOverTheWindowAfterSavingThePage()
    {
        QFETCH(int, screenHeight);
        QFETCH(int, windowTop);
        QFETCH(int, dialogTop);
        m_environment.screen.setHeight(screenHeight);
        auto form = makeForm();
        form->move(form->x(), windowTop);
        QTest::keyClicks(control(*form, "RichEdit1"), "kept");
        withOptions(*form, [&](TKladdoDlg &dialog) {
            QCOMPARE(dialog.pos(), QPoint(374, dialogTop));
            QCOMPARE(dialog.size(), QSize(369, 349));
            QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
            QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
            QCOMPARE(NotePage::read(data("note0.rtf")).document->toPlainText(), "kept");
        });
    }

    // Hints and the move switch are taken over by closing, however closed;
    // then every setting is written in its order.
    void closingInAnyWayIsOk_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("OK") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("window manager's close") << 2;
    }

    void closingInAnyWayIsOk()
    {
        QFETCH(int, way);
        auto form = makeForm();
        withOptions(*form, [&](TKladdoDlg &dialog) {
            QTest::mouseClick(control(dialog, "RadioButton4"), Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseClick(control(dialog, "CheckBox1"), Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(form->windowSettings().DisplayHint, 1);
            QCOMPARE(form->windowSettings().Adjust, 0);
            if (way == 0)
                QTest::mouseClick(control(dialog, "OKBtn"), Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(setting(SettingsKeys::Window, u"DisplayHint"), "0");
        QCOMPARE(setting(SettingsKeys::Window, u"Adjust"), "1");
        QCOMPARE(windowKeys(),
                 QStringList({"Language", "DisplayNP", "DisplayAlarm", "DisplayHint", "Note", "Pass",
                              "Pos", "Adjust", "Transparent", "Palette", "Color1", "Color2", "Color3",
                              "ColWidth1", "ColWidth2", "ColWidth3", "ColPos1", "ColPos2", "RollEffect"}));
        QCOMPARE(control(*form, "FarbButton2")->property("ShowHint").toBool(), false);
        QVERIFY(control(*form, "Image1")->toolTip().endsWith("mit links Click verschieben"));
    }

    void showsTheStoredState_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("transparency");
        QTest::addColumn<bool>("userColorsShown");
        QTest::newRow("defaults") << QByteArray() << 100 << "Sichtbar zu 100%" << false;
        QTest::newRow("alpha 180, user colours")
            << QByteArray("Transparent=180\r\nPalette=6\r\n") << 70 << "Sichtbar zu 70%" << true;
        QTest::newRow("any other language")
            << QByteArray("Language=deutsch\r\nTransparent=25\r\n") << 10 << "Visible 10%" << false;
    }

    void showsTheStoredState()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, position);
        QFETCH(QString, transparency);
        QFETCH(bool, userColorsShown);
        writeIni("[WINDOW]\r\n" + ini);
        auto form = makeForm();
        const int alpha = form->opacityAlpha();
        const bool english = form->LanguageIndex == 2;
        withOptions(*form, [&](TKladdoDlg &dialog) {
            QCOMPARE(control<QSlider>(dialog, "TrackBar1")->value(), position);
            QCOMPARE(control<QLabel>(dialog, "Label1")->text(), transparency);
            QCOMPARE(control<QLabel>(dialog, "Label4")->isVisibleTo(&dialog), userColorsShown);
            QCOMPARE(control<QRadioButton>(dialog, "RadioButton2")->isChecked(), english);
            QCOMPARE(control<QComboBox>(dialog, "ComboBoxEx2")->isVisibleTo(&dialog), english);
        });
        QCOMPARE(form->opacityAlpha(), alpha);
        QCOMPARE(setting(SettingsKeys::Window, u"Language"), english ? "English" : "Deutsch");
    }

    void controlsActOnTheWindowAtOnce()
    {
        writeIni("[WINDOW]\r\nColor3=-2147483633\r\n"); // a system colour, kept as stored
        auto form = makeForm();
        const auto barPixel = [&] { return form->grab().toImage().pixelColor(20, 343); };
        withOptions(*form, [&](TKladdoDlg &dialog) {
            auto *slider = control<QSlider>(dialog, "TrackBar1");
            slider->setValue(71);
            QCOMPARE(form->opacityAlpha(), 181);
            QCOMPARE(control<QLabel>(dialog, "Label1")->text(), "Sichtbar zu 71%");
            slider->setValue(10);
            QCOMPARE(form->opacityAlpha(), 25);

            auto *german = control<QComboBox>(dialog, "ComboBoxEx1");
            auto *english = control<QComboBox>(dialog, "ComboBoxEx2");
            german->setCurrentIndex(3);
            QCOMPARE(form->windowSettings().Palette, 4);
            QCOMPARE(english->currentIndex(), 3);
            QCOMPARE(barPixel(), WinColor::toQColor(ColorSchemes::FixedPalettes[3].BarColor));

            english->setCurrentIndex(5);
            QCOMPARE(german->currentIndex(), 5);
            QVERIFY(control(dialog, "Label3")->isVisibleTo(&dialog));
            m_environment.pickedColor = QColor(Qt::black);
            QTest::mouseClick(control(dialog, "Label4"), Qt::LeftButton);
            QCOMPARE(form->windowSettings().Color2, WinColor::Gray);
            QCOMPARE(control(dialog, "Label4")->palette().color(QPalette::WindowText), QColor(128, 128, 128));
            m_environment.pickedColor = std::nullopt;
            QTest::mouseClick(control(dialog, "Label3"), Qt::LeftButton);
            QCOMPARE(form->windowSettings().Color1, 5876991);
            QCOMPARE(m_environment.colorPickerStarts.size(), 2);
            QCOMPARE(barPixel(), WinColor::toQColor(WinColor::Gray));
            german->setCurrentIndex(2);
            QVERIFY(!control(dialog, "Label3")->isVisibleTo(&dialog));
            QCOMPARE(form->windowSettings().Color2, WinColor::Gray);
            QCOMPARE(form->windowSettings().Color3, -2147483633);

            auto *rollEffect = control<QComboBox>(dialog, "ComboBox1");
            rollEffect->setCurrentIndex(3);
            QCOMPARE(form->windowSettings().RollEffect, 3);
            const auto yesButton = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
            QCOMPARE(yesButton(), "&Ja");
            QTest::mouseClick(control(dialog, "RadioButton2"), Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(form->windowSettings().Language, "English");
            QCOMPARE(yesButton(), "&Yes");
            QCOMPARE(control(*form, "FarbButton2")->toolTip(), "begin");
            QCOMPARE(control<QTabWidget>(dialog, "PageControl1")->tabText(0), "Options");
            QVERIFY(english->isVisibleTo(&dialog) && !german->isVisibleTo(&dialog));
            QCOMPARE(english->currentIndex(), 2);
            QCOMPARE(rollEffect->currentText(), "Slowly");
            QCOMPARE(setting(SettingsKeys::Window, u"Language"), "-");
        });
        QCOMPARE(setting(SettingsKeys::Window, u"Transparent"), "25");
        QCOMPARE(setting(SettingsKeys::Window, u"Palette"), "3");
        QCOMPARE(setting(SettingsKeys::Window, u"Color2"), "8421504");
    }

    void columnStepsKeepTheSum()
    {
        auto form = makeForm();
        auto *grid = control<PassGrid>(*form, "StringGrid1");
        withOptions(*form, [&](TKladdoDlg &dialog) {
            QWidget *right1 = control(*control(dialog, "UpDown1"), "Up");
            QWidget *left2 = control(*control(dialog, "UpDown2"), "Down");
            clickTimes(right1, 10);
            QCOMPARE(grid->columnWidths(), Widths({175, 155, 165}));
            QTest::mouseClick(control(dialog, "Button1"), Qt::LeftButton);
            QCOMPARE(grid->columnWidths(), Widths({165, 165, 165}));
            QCOMPARE(control<TUpDown>(dialog, "UpDown1")->position(), 165);
            // The up-down stops at 250; then the middle column at 25,
            // long before its up-down would.
            clickTimes(right1, 90);
            clickTimes(left2, 60);
            QCOMPARE(grid->columnWidths(), Widths({250, 25, 220}));
            QCOMPARE(control<TUpDown>(dialog, "UpDown2")->position(), 110);
        });
        QCOMPARE(setting(SettingsKeys::Window, u"ColWidth2"), "25");
        QCOMPARE(setting(SettingsKeys::Window, u"ColPos1"), "250");
        QCOMPARE(setting(SettingsKeys::Window, u"ColPos2"), "110");
    }

    void failedWriteClosesAndKeepsTheValues()
    {
        SKIP_UNLESS_AVAILABLE(FileSizeLimit);
        auto form = makeForm();
        withOptions(*form, [&](TKladdoDlg &dialog) {
            QTest::mouseClick(control(dialog, "RadioButton4"), Qt::LeftButton, {}, QPoint(5, 5));
            const FileSizeLimit full(0);
            QTest::keyClick(&dialog, Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(m_environment.errors[0].message.contains("note.ini"));
        QCOMPARE(form->windowSettings().DisplayHint, 0);
        form->SaveSettings();
        QCOMPARE(setting(SettingsKeys::Window, u"DisplayHint"), "0");
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_OptionsDialog.moc"
