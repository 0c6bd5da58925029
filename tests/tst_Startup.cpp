#include "app/StagedStart.h"
#include "app/TForm1.h"
#include "platform/DataFolder.h"
#include "platform/DateTimeText.h"
#include "platform/KladdoError.h"
#include "support/FaultConditions.h"
#include "support/ProgramFolder.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTest>

namespace {

constexpr int kScreenWidth = 1920;

// Every control of the window by its path of names, and whether it shows.
QStringList shownControls(const QWidget &window)
{
    QStringList shown;
    for (const QWidget *control : window.findChildren<QWidget *>()) {
        QString path = control->isVisible() ? QStringLiteral(" shown") : QStringLiteral(" hidden");
        for (const QObject *level = control; level != &window; level = level->parent())
            path.prepend(u'/' + level->objectName());
        shown.append(path);
    }
    return shown;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_dir;
    TestEnvironment m_environment;

    QString iniPath() const { return m_dir->filePath("DATA/note.ini"); }

    void writeIni(const QByteArray &bytes) { QVERIFY(writeFile(iniPath(), bytes)); }

private slots:
    void initTestCase() { m_environment.setScreenWidth(kScreenWidth); }

    void init()
    {
        m_dir = std::make_unique<ProgramFolder>();
        QVERIFY(QDir(m_dir->path()).mkdir("DATA"));
    }

    void defaultsWithoutSettingsFile()
    {
        auto *copied = new QMimeData;
        copied->setText(QStringLiteral("from before"));
        m_environment.setClipboardMimeData(copied);
        TForm1 form(m_environment, m_dir->path());
        QCOMPARE(form.ProgramDir, m_dir->path() + '/');
        QCOMPARE(QDir::currentPath(), m_dir->path());
        QCOMPARE(form.size(), QSize(528, 549));
        QCOMPARE(form.pos(), QPoint(kScreenWidth - 16, 5));
        QCOMPARE(form.opacityAlpha(), 255);
        QCOMPARE(form.windowSettings().Language, QStringLiteral("Deutsch"));
        QCOMPARE(form.windowSettings().Palette, 2);
        QVERIFY(!QFile::exists(iniPath()));
        // What the user copied in another program survives the start.
        QCOMPARE(m_environment.clipboardMimeData(), copied);
    }

    void storedValuesApplied()
    {
        writeIni("[WINDOW]\r\nPos=300\r\nTransparent=511\r\nNote=0x5\r\nPass=11\r\n"
                 "ColWidth1=200\r\nColWidth2=200\r\nColWidth3=100\r\nColPos1=50\r\n"
                 "[NOTETITLE]\r\nTitle5=' Liste '\r\n");
        TForm1 form(m_environment, m_dir->path() + '/');
        QCOMPARE(form.ProgramDir, m_dir->path() + '/');
        QCOMPARE(form.pos(), QPoint(kScreenWidth - 16, 300));
        QCOMPARE(form.opacityAlpha(), 255);
        QCOMPARE(form.windowOpacity(), 1.0);
        QCOMPARE(form.windowSettings().Note, 5);
        QCOMPARE(form.windowSettings().Pass, 0);
        QCOMPARE(form.windowSettings().ColWidth1, 165);
        QCOMPARE(form.windowSettings().ColPos1, 165);
        QCOMPARE(form.windowSettings().NoteTitle[5], QStringLiteral(" Liste "));
    }

    void dateAndTimeFormatsFixed()
    {
        DateTimeText::setShortDateFormat("M/d/yy");
        TForm1 form(m_environment, m_dir->path());
        QCOMPARE(DateTimeText::dateToText(QDate(2026, 3, 7)), QStringLiteral("07.03.2026"));
        QCOMPARE(DateTimeText::timeToText(QTime(17, 4, 9)), QStringLiteral("17:04:09"));
    }

    void saveSettingsWritesEveryKey()
    {
        writeIni("; kept\r\n[WINDOW]\r\nRolleffect=1\r\n");
        TForm1 form(m_environment, m_dir->path());
        form.move(form.x(), 222);
        form.setOpacityAlpha(128);
        form.windowSettings().AlarmText[3] = "24.12.2026   18:00";
        form.SaveSettings();
        const QByteArray ini = readFile(iniPath());
        QVERIFY(ini.startsWith("; kept\r\n[WINDOW]\r\nRolleffect=1\r\nLanguage=Deutsch\r\n"));
        QVERIFY(ini.contains("\r\nPos=222\r\n"));
        QVERIFY(ini.contains("\r\nTransparent=128\r\n"));
        QVERIFY(ini.contains("\r\nAlarm3=24.12.2026   18:00\r\n"));
        QVERIFY(!ini.contains("RollEffect"));

        TForm1 again(m_environment, m_dir->path());
        QCOMPARE(again.y(), 222);
        QCOMPARE(again.opacityAlpha(), 128);
        QCOMPARE(again.windowSettings().AlarmText[3], form.windowSettings().AlarmText[3]);
    }

    void failedSaveReportsAndKeepsFile()
    {
        SKIP_UNLESS_AVAILABLE(FileSizeLimit);
        const QByteArray old = "[WINDOW]\r\nPos=9\r\n";
        writeIni(old);
        TForm1 form(m_environment, m_dir->path());
        form.windowSettings().NoteTitle[0] = QString(200, u'x');
        {
            const FileSizeLimit limit(old.size() + 20);
            try {
                form.SaveSettings();
                QFAIL("the save should have failed");
            } catch (const KladdoError &error) {
                QCOMPARE(error.message(),
                         QStringLiteral("In %1 kann nicht geschrieben werden").arg(iniPath()));
            }
        }
        QCOMPARE(readFile(iniPath()), old);
    }

    // Before the rest is built the rolled-in window looks as it will after;
    // the first input builds the rest before the input is handled, and
    // every control then shows as in a whole start.
    void handleFirstLooksTheSameAndStartsAtTheFirstInput()
    {
        writeIni("[WINDOW]\r\nPos=40\r\nLanguage=English\r\nPalette=3\r\nRollEffect=0\r\n");
        QVERIFY(writeFile(m_dir->filePath("DATA/note0.rtf"), "{\\rtf1 Shown at once}"));
        TForm1 whole(m_environment, m_dir->path());
        whole.show();
        TForm1 early(m_environment, m_dir->path(), TForm1::StartUp::HandleFirst);
        early.show();
        QVERIFY(!early.hasStarted());
        QCOMPARE(early.pos(), whole.pos());
        const QRect handle(0, 0, 16, TForm1::FormHeight);
        QCOMPARE(early.grab(handle).toImage(), whole.grab(handle).toImage());

        QWidget *image1 = early.findChild<QWidget *>("Image1");
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), image1->mapToGlobal(QPointF(5, 5)),
                          Qt::RightButton, Qt::RightButton, {});
        QApplication::sendEvent(image1, &press);
        QVERIFY(early.hasStarted());
        QVERIFY(!early.isRolledIn());
        QCOMPARE(early.findChild<QTextEdit *>("RichEdit1")->toPlainText(), QStringLiteral("Shown at once"));
        QCOMPARE(shownControls(early), shownControls(whole));
    }

    // Nothing read yet, so nothing may be written: an empty grid saved
    // over the password page would lose it.
    void endedBeforeTheStartWritesNothing()
    {
        writeIni("[WINDOW]\r\nDisplayNP=1\r\n");
        const QByteArray page(10752, 'p');
        QVERIFY(writeFile(m_dir->filePath("DATA/pass0.dat"), page));
        TForm1 early(m_environment, m_dir->path(), TForm1::StartUp::HandleFirst);
        QSignalSpy closed(&early, &TForm1::closed);
        early.saveUnattended();
        early.endSession();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(readFile(m_dir->filePath("DATA/pass0.dat")), page);
        QCOMPARE(QDir(m_dir->filePath("DATA")).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Dirs),
                 QStringList({"note.ini", "pass0.dat"}));
    }

    // The first frame starts the rest without any input.
    void firstFrameStartsTheRest()
    {
        TForm1 early(m_environment, m_dir->path(), TForm1::StartUp::HandleFirst);
        QSignalSpy started(&early, &TForm1::started);
        early.show();
        QTRY_COMPARE(started.count(), 1);
        QVERIFY(early.findChild<QWidget *>("FarbButton9")->isVisible());
    }

    // A rest that fails must not leave the start half done: it counts as
    // started, what waited for it runs, and it is never begun again.
    void failedRestStillStarts()
    {
        QStringList done;
        StagedStart *self = nullptr;
        StagedStart start(
            [&] {
                done << "rest";
                self->runWhenIdle([&] { done << "asked during the start"; });
                throw KladdoError(QStringLiteral("broken"));
            },
            [&] { done << "started"; }, [] {});
        self = &start;
        start.setRolling(true);
        start.runWhenIdle([&] { done << "asked while rolling"; });
        start.setRolling(false);
        QVERIFY_THROWS_EXCEPTION(KladdoError, start.finish());
        QVERIFY(start.hasStarted());
        start.finish();
        QCOMPARE(done, QStringList({"rest", "started", "asked while rolling", "asked during the start"}));
    }

    void missingDataFolderReported()
    {
        QVERIFY(QDir(m_dir->filePath("DATA")).removeRecursively());
        TForm1 form(m_environment, m_dir->path());
        QCOMPARE(form.pos(), QPoint(kScreenWidth - 16, 5));
        QVERIFY_THROWS_EXCEPTION(KladdoError, form.SaveSettings());
        QVERIFY(!QDir(m_dir->filePath("DATA")).exists());
    }

    // Beside the program where it travels, the user's data folder where it
    // is installed, and --data over both.
    void dataFolderRule_data()
    {
        QTest::addColumn<bool>("besideHoldsData");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("userDataHome");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("writable folder") << false << true << "/x" << QString() << "/p/DATA";
        QTest::newRow("DATA beside a read-only folder") << true << false << "/x" << QString() << "/p/DATA";
        QTest::newRow("installed") << false << false << "/x" << QString() << "/x/kladdo/DATA";
        QTest::newRow("installed, no XDG_DATA_HOME") << false << false << "" << QString()
                                                     << "/h/.local/share/kladdo/DATA";
        QTest::newRow("installed, relative XDG_DATA_HOME") << false << false << "x" << QString()
                                                           << "/h/.local/share/kladdo/DATA";
        QTest::newRow("--data") << true << true << "/x" << "/d/notes/" << "/d/notes";
    }

    void dataFolderRule()
    {
        QFETCH(bool, besideHoldsData);
        QFETCH(bool, writable);
        QFETCH(QString, userDataHome);
        QFETCH(QString, given);
        QFETCH(QString, chosen);
        const std::optional<QString> option = given.isEmpty() ? std::nullopt : std::optional(given);
        QCOMPARE(DataFolder::choose({"/p", besideHoldsData, writable, userDataHome, "/h", option}), chosen);
    }

    // Made with the alarm sound on the first start, refused with the
    // system's words where it cannot be; an installed program's folder is
    // not the data's even for one who may write there.
    void dataFolderMadeWithTheSound()
    {
        const QString sound = m_dir->filePath("note.wav");
        QVERIFY(writeFile(sound, "RIFF"));
        const QString folder = m_dir->filePath("user/kladdo/DATA");
        QCOMPARE(DataFolder::prepare(folder, sound), std::nullopt);
        QCOMPARE(readFile(folder + "/note.wav"), QByteArray("RIFF"));
        QVERIFY(DataFolder::prepare(m_dir->filePath("note.wav/DATA"), sound).has_value());
        QVERIFY(!DataFolder::factsFor("/usr/bin", {}).programFolderWritable);
        QCOMPARE(*DataFolder::factsFor("/p", QString("rel")).given, QDir::current().absoluteFilePath("rel"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_Startup.moc"
