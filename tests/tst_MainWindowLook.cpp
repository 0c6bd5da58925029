#include "app/TForm1.h"
#include "controls/FarbButton.h"
#include "resources/Bitmaps.h"
#include "support/GlyphImages.h"
#include "support/ProgramFolder.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QToolTip>

using namespace LanguageTables;

namespace {

// Controls that show no hint: captions, the editor and grid, the calendar,
// the off-screen work controls and the style pictures they hold.
const QRegularExpression kWithoutHint(QStringLiteral(
    "^(Panel1|Label1|Label2|Image2|RichEdit1|RichEdit2|StringGrid1|OvcCalendar1|Edit1|"
    "Image7|Image8|Image9|Image10|Image11|Image12)$"));

} // namespace

class TestMainWindowLook : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_dir;
    TestEnvironment m_environment;

    std::unique_ptr<TForm1> makeForm()
    {
        return std::make_unique<TForm1>(m_environment, m_dir->path());
    }

    static TFarbButton *closeButton(TForm1 &form)
    {
        return form.findChild<TFarbButton *>("FarbButton9");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<ProgramFolder>();
        QVERIFY(QDir(m_dir->path()).mkdir("DATA"));
    }

    // A control added without an entry in the language tables is caught
    // here rather than left with an empty hint.
    void everyControlHasAHintInBothLanguages()
    {
        auto form = makeForm();
        for (const QString &language : {QStringLiteral("Deutsch"), QStringLiteral("English")}) {
            form->windowSettings().Language = language;
            form->SpracheOk();
            for (const QWidget *control : form->findChildren<QWidget *>()) {
                const QString name = control->objectName();
                if (control->window() != form.get() || name.isEmpty() || name.startsWith(u"qt_") || kWithoutHint.match(name).hasMatch())
                    continue;
                QVERIFY2(!control->toolTip().isEmpty(), qPrintable(language + u' ' + name));
            }
        }
    }

    void languageSwitchesHintsAndHandles()
    {
        auto form = makeForm();
        auto *handle = form->findChild<QLabel *>("Image1");
        QCOMPARE(closeButton(*form)->toolTip(), "Beenden");
        QCOMPARE(handle->pixmap().toImage(), Bitmaps::bitmap("LOGOD").convertToFormat(QImage::Format_RGB32));
        form->windowSettings().Language = "English";
        form->SpracheOk();
        QCOMPARE(form->LanguageIndex, English);
        QCOMPARE(closeButton(*form)->toolTip(), "close");
        QCOMPARE(handle->toolTip(), "click right to show");
        QCOMPARE(handle->pixmap().toImage(), Bitmaps::bitmap("LOGOE").convertToFormat(QImage::Format_RGB32));
    }

    void hintsFollowTheSetting()
    {
        auto form = makeForm();
        form->show();
        QWidget *controls[] = {closeButton(*form), form->findChild<QLabel *>("Image3")};
        for (int setting : {0, 1}) {
            form->windowSettings().DisplayHint = setting;
            form->HintOk();
            for (QWidget *control : controls) {
                QToolTip::hideText();
                QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
                QCoreApplication::sendEvent(control, &help);
                QVERIFY2(QToolTip::isVisible() == (setting == 1), qPrintable(control->objectName()));
            }
        }
    }

    void paletteRepaintsFrameButtonsAndPictures_data()
    {
        QTest::addColumn<int>("palette");
        for (int palette = 1; palette <= 6; ++palette)
            QTest::addRow("palette %d", palette) << palette;
    }

    // Switched while running, from another scheme: nothing keeps the old
    // colours, not even the glyph's background or the style pictures.
    void paletteRepaintsFrameButtonsAndPictures()
    {
        QFETCH(int, palette);
        auto form = makeForm();
        MainWindowLink &link = *form;
        link.windowSettings().Palette = palette == 4 ? 5 : 4;
        link.windowSettings().Color3 = WinColor::White;
        link.FarbeOk();
        link.windowSettings().Palette = palette;
        link.FarbeOk();

        const ColorScheme scheme = *ColorSchemes::schemeFor(palette, form->windowSettings().Color1, form->windowSettings().Color2, form->windowSettings().Color3);
        const QImage window = form->grab().toImage();
        QCOMPARE(GlyphImages::pixel(window, 200, 200), scheme.BackColor);
        QCOMPARE(GlyphImages::pixel(window, 300, 345), scheme.BarColor);
        const QImage button = closeButton(*form)->grab().toImage();
        QCOMPARE(GlyphImages::pixel(button, 2, 2), scheme.ButtonColor);

        const QImage boldOff = form->findChild<QLabel *>("Image7")->pixmap().toImage();
        const QImage italicOn = form->findChild<QLabel *>("Image10")->pixmap().toImage();
        QCOMPARE(GlyphImages::pixel(boldOff, 2, 2), scheme.ButtonColor);
        QCOMPARE(GlyphImages::pixel(italicOn, 10, 8), scheme.BackColor);
    }

    void toggleButtonsShowWhereAClickLeads_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<ToggleState>("state");
        QTest::addColumn<QString>("glyph");
        QTest::addColumn<QString>("hint");
        QTest::newRow("note view") << "FarbButton1" << ToggleState{0, 0, true} << "P1" << "show passwords";
        QTest::newRow("password view") << "FarbButton1" << ToggleState{1, 0, true} << "N1" << "show notes";
        QTest::newRow("alarm area shown") << "FarbButton7" << ToggleState{0, 1, true} << "H1" << "hide alarm";
        QTest::newRow("alarm area hidden") << "FarbButton7" << ToggleState{0, 0, true} << "T1" << "show alarm";
        QTest::newRow("masked") << "FarbButton16" << ToggleState{0, 0, true} << "A1" << "show passwords";
        QTest::newRow("unmasked") << "FarbButton16" << ToggleState{0, 0, false} << "V1" << "hide passwords";
        QTest::newRow("fixed glyph") << "FarbButton13" << ToggleState{} << "E2" << QString();
        QTest::newRow("caption only") << "FarbButton17" << ToggleState{} << QString() << QString();
    }

    void toggleButtonsShowWhereAClickLeads()
    {
        QFETCH(QString, button);
        QFETCH(ToggleState, state);
        QFETCH(QString, glyph);
        QFETCH(QString, hint);
        const ToolbarFace face = toolbarFace(button, state);
        QCOMPARE(face.glyph, glyph);
        QCOMPARE(face.stateHint ? StateHint(English, *face.stateHint) : QString(), hint);
        QVERIFY(glyph.isEmpty() || Bitmaps::names().contains(glyph));
    }
};

QTEST_MAIN(TestMainWindowLook)
#include "tst_MainWindowLook.moc"
