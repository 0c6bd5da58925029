#include "options/ColorSchemes.h"
#include "options/ControlTexts.h"
#include "options/HintDisplay.h"
#include "options/LanguageTables.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

using namespace LanguageTables;

namespace {

using TextTable = std::span<const ControlText>;

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void everyTextExistsInBothLanguages_data()
    {
        QTest::addColumn<int>("table");
        QTest::newRow("main window hints") << 0;
        QTest::newRow("options dialog") << 1;
        QTest::newRow("find dialog") << 2;
        QTest::newRow("replace dialog") << 3;
    }

    void everyTextExistsInBothLanguages()
    {
        QFETCH(int, table);
        const TextTable tables[] = {mainWindowHints(), optionsDialogCaptions(), findDialogTexts(),
                                    replaceDialogTexts()};
        QSet<QString> names;
        for (const ControlText &entry : tables[table]) {
            const QString name = QString::fromUtf16(entry.name);
            QVERIFY2(!names.contains(name), qPrintable(name + " twice"));
            names.insert(name);
            QVERIFY2(!entry.text.in(German).isEmpty() && !entry.text.in(English).isEmpty(),
                     qPrintable(name));
        }
    }

    void listsFollowTheLanguage()
    {
        QCOMPARE(rollEffectNames(German), QStringList({"Ohne", "Schnell", "Normal", "Langsam"}));
        QCOMPARE(rollEffectNames(English), QStringList({"Without", "Fast", "Normally", "Slowly"}));
        QCOMPARE(paletteNames(German),
                 QStringList({"Silver", "Gelb", "Rot", "Blau", "Grün", "User Define"}));
        QCOMPARE(paletteNames(English),
                 QStringList({"Silver", "Yellow", "Red", "Blue", "Green", "User Define"}));
        QCOMPARE(passwordGridHeading(2, German), "PASSWORT");
        QCOMPARE(passwordGridHeading(2, English), "PASSWORD");
        QCOMPARE(transparencyText(100, German), "Sichtbar zu 100%");
        QCOMPARE(transparencyText(10, English), "Visible 10%");
        QCOMPARE(languageIndexFor("deutsch"), English);
        QCOMPARE(unansweredCopyText("/k/DATA", German), "Kladdo läuft bereits mit /k/DATA, antwortet aber "
                                                        "nicht. Beenden Sie es, bevor Sie Kladdo noch einmal starten.");
        QVERIFY(unansweredCopyText("/k/DATA", English).startsWith("Kladdo already runs on /k/DATA but"));
    }

    // Each kind of control shows its caption where it belongs; a name
    // without a control is reported, not skipped silently.
    void captionsReachEveryKindOfControl()
    {
        QWidget dialog;
        dialog.setObjectName("KladdoDlg");
        auto *tabs = new QTabWidget(&dialog);
        auto *page = new QWidget;
        page->setObjectName("TabSheet1");
        tabs->addTab(page, QString());
        (new QGroupBox(page))->setObjectName("GroupBox5");
        (new QCheckBox(page))->setObjectName("CheckBox1");
        (new QLabel(page))->setObjectName("Label11");

        ControlTexts::applyCaptions(&dialog, optionsDialogCaptions(), English);
        QCOMPARE(dialog.windowTitle(), "Kladdo");
        QCOMPARE(tabs->tabText(0), "Options");
        QCOMPARE(dialog.findChild<QGroupBox *>("GroupBox5")->title(), " Roll effect ");
        QCOMPARE(dialog.findChild<QCheckBox *>("CheckBox1")->text(), "Window adjustably");
        ControlTexts::applyCaptions(&dialog, optionsDialogCaptions(), German);
        QCOMPARE(dialog.findChild<QLabel *>("Label11")->text(), "Linie 1");
        QCOMPARE(tabs->tabText(0), "Einstellungen");

        const QStringList missing = ControlTexts::missingControls(&dialog, optionsDialogCaptions());
        QVERIFY(missing.contains("Button1"));
        QVERIFY(!missing.contains("TabSheet1") && !missing.contains("KladdoDlg"));
    }

    void hintsShowAtOnceAndOnlyWhenSwitchedOn()
    {
        HintDisplay::setProgramStyle();
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);

        QWidget window;
        window.setAttribute(Qt::WA_AlwaysShowToolTips);
        window.resize(200, 100);
        auto *label = new QLabel("x", &window);
        label->setObjectName("Label3");
        label->setGeometry(10, 10, 50, 20);
        ControlTexts::applyHints(&window, mainWindowHints(), English);
        QCOMPARE(label->toolTip(), "line:row");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (bool on : {false, true}) {
            QToolTip::hideText();
            HintDisplay::setShowHint(label, on);
            QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(label, &help);
            QCOMPARE(QToolTip::isVisible(), on);
        }
    }

    void schemes_data()
    {
        QTest::addColumn<int>("palette");
        QTest::addColumn<QColor>("back");
        QTest::addColumn<QColor>("button");
        QTest::newRow("silver") << 1 << QColor(224, 223, 227) << QColor(160, 160, 164);
        QTest::newRow("yellow: light yellow, not light blue") << 2 << QColor(255, 255, 204)
                                                              << QColor(232, 191, 38);
        QTest::newRow("green") << 5 << QColor(204, 255, 204) << QColor(0, 128, 0);
        QTest::newRow("user") << 6 << QColor(1, 2, 3) << QColor(7, 8, 9);
    }

    void schemes()
    {
        QFETCH(int, palette);
        QFETCH(QColor, back);
        QFETCH(QColor, button);
        const auto scheme = ColorSchemes::schemeFor(palette, WinColor::rgb(1, 2, 3),
                                                    WinColor::rgb(4, 5, 6), WinColor::rgb(7, 8, 9));
        QVERIFY(scheme);
        QCOMPARE(WinColor::toQColor(scheme->BackColor), back);
        QCOMPARE(WinColor::toQColor(scheme->ButtonColor), button);
        QVERIFY(!ColorSchemes::schemeFor(0, 1, 2, 3));
        QVERIFY(!ColorSchemes::schemeFor(7, 1, 2, 3));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_Options.moc"
