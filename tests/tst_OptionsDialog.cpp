#include "app/TForm1.h"
#include "controls/UpDown.h"
#include "options/ColorSchemes.h"
#include "options/KladdoDlg.h"
#include "passwords/PassGrid.h"
#include "support/FaultConditions.h"
#include "support/MainWindowFolder.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QRadioButton>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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
                              "ColWidth1", "ColWidth2", "ColWidth3", "ColPos1", "ColPos2", "RollEffect",
                              "GlobalKey"}));
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

    // The dialog leaves the key free for its field, shows what became of
    // each key tried, and the window holds the chosen one afterwards; a key
    // held elsewhere at the start is told once.
    void globalKeyIsTriedAndTaken()
    {
        const QKeyCombination held(Qt::ControlModifier | Qt::AltModifier, Qt::Key_J);
        m_environment.key->heldElsewhere = {held};
        writeIni("[WINDOW]\r\nGlobalKey=Ctrl+Alt+J\r\nLanguage=English\r\n");
        auto form = makeForm();
        QCoreApplication::processEvents();
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(m_environment.errors[0].message.contains("Ctrl+Alt+J"));
        const auto tryKey = [](TKladdoDlg &dialog, const QKeySequence &key) {
            control<QKeySequenceEdit>(dialog, "KeyEdit")->setKeySequence(key);
            emit control<QKeySequenceEdit>(dialog, "KeyEdit")->editingFinished();
            return control<QLabel>(dialog, "KeyState")->text();
        };
        withOptions(*form, [&](TKladdoDlg &dialog) {
            QCOMPARE(control<QLabel>(dialog, "KeyState")->text(), "Taken: another program holds this key");
            QCOMPARE(m_environment.key->held.toCombined(), 0);
            QCOMPARE(tryKey(dialog, QKeySequence("K")), "Not possible: add Ctrl, Alt or Meta, or use an F key");
            QCOMPARE(tryKey(dialog, QKeySequence()), "Off");
            QCOMPARE(tryKey(dialog, QKeySequence("Meta+F5, Ctrl+X")), "Ready");
            QCOMPARE(control<QKeySequenceEdit>(dialog, "KeyEdit")->keySequence(), QKeySequence("Meta+F5"));
            QCOMPARE(m_environment.key->held.toCombined(), 0);
        });
        QCOMPARE(m_environment.key->held, QKeyCombination(Qt::MetaModifier, Qt::Key_F5));
        QCOMPARE(setting(SettingsKeys::Window, u"GlobalKey"), "Meta+F5");
        QCOMPARE(m_environment.errors.size(), 1);
    }

    // The box shows the entry as it is: written for this program and data
    // folder when ticked and gone when not, and one left by a copy that
    // moved away is told of and pointed here by ticking.
    void loginEntryShowsTheTruth()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const auto unset = qScopeGuard([] { qunsetenv("XDG_CONFIG_HOME"); });
        QVERIFY(LoginStart::add({"/gone/k la$do", "/gone/DATA"}).ok);
        writeIni("[WINDOW]\r\nLanguage=English\r\n");
        auto form = makeForm();
        withOptions(*form, [&](TKladdoDlg &dialog) {
            auto *box = control<QCheckBox>(dialog, "CheckBox2");
            QVERIFY(!box->isChecked());
            QVERIFY(control<QLabel>(dialog, "LoginState")->text().contains(QDir::toNativeSeparators("/gone/k la$do")));
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY(box->isChecked());
            QVERIFY(control<QLabel>(dialog, "LoginState")->text().isEmpty());
        });
        const LoginStart::Found found = form->loginStart();
        QCOMPARE(found.state, LoginStart::State::On);
        QCOMPARE(found.command.program, QCoreApplication::applicationFilePath());
        QCOMPARE(QFileInfo(found.command.dataFolder), QFileInfo(data({})));
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (!validator.isEmpty())
            QCOMPARE(QProcess::execute(validator, {LoginStart::location()}), 0);
        withOptions(*form, [&](TKladdoDlg &dialog) {
            QTest::mouseClick(control<QCheckBox>(dialog, "CheckBox2"), Qt::LeftButton, {}, QPoint(5, 5));
        });
        QCOMPARE(form->loginStart().state, LoginStart::State::Off);
        QVERIFY(m_environment.errors.isEmpty());
        for (const QString &folder : {QStringLiteral("/a b/c"), QStringLiteral("/x/$HOME/`k` 100%/%f")}) {
            const LoginStart::Command command{folder + "/kladdo", folder + "/DATA"};
            QCOMPARE(LoginStart::parseCommandLine(LoginStart::commandLine(command)), command);
        }
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_OptionsDialog.moc"
