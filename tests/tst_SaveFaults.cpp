#include "alarms/Alarm.h"
#include "options/KladdoDlg.h"
#include "passwords/PassGrid.h"
#include "passwords/PassPageFile.h"
#include "support/FaultConditions.h"
#include "support/MainWindowFolder.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

// Every way the main window writes DATA/, with the folder read-only, the
// disk full or a disk that does not take what it is given: the user is
// told once, nothing in the window is lost, and the same action succeeds
// once the folder takes writes again.
class TestSaveFaults : public QObject, private MainWindowFolder
{
    Q_OBJECT

    // One user action that writes, and what it leaves in DATA/ once it
    // has succeeded.
    struct SavePath
    {
        const char *name;
        bool passView;
        std::function<void(TestSaveFaults &, TForm1 &)> before;
        std::function<void(TestSaveFaults &, TForm1 &)> act;
        std::function<void(TestSaveFaults &, TForm1 &)> stored;
    };

    enum class Fault { ReadOnly, Full, Unsynced };
    static constexpr const char *kFaultNames[] = {"read-only", "full", "sync fails"};

    static NoteEditor *editor(TForm1 &form) { return form.findChild<NoteEditor *>("RichEdit1"); }
    static void edit(TestSaveFaults &, TForm1 &form) { QTest::keyClicks(editor(form), "kept"); }
    static void leave(TestSaveFaults &, TForm1 &) {}
    static void handleClick(TForm1 &form, Qt::MouseButton button)
    {
        QTest::mouseClick(form.findChild<QLabel *>("Image1"), button);
    }
    // OK in the options dialog, which writes every setting.
    static void optionsOk(TestSaveFaults &, TForm1 &form)
    {
        QTimer::singleShot(0, [] {
            if (auto *dialog = qobject_cast<TKladdoDlg *>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        click(form, "FarbButton11");
    }

    QString noteText(int page) const { return NotePage::read(data(NotePage::fileName(page))).document->toPlainText(); }
    QString passCell() const { return PassPageFile(data("pass0.dat")).load().cells.cell(0, 0); }
    QString window(const char *key) const { return setting(SettingsKeys::Window, QString::fromLatin1(key)); }

    static const QList<SavePath> &savePaths()
    {
        using T = TestSaveFaults;
        static const QList<SavePath> paths = {
            {"page flip, page edited", false, edit, [](T &, TForm1 &f) { click(f, "FarbButton4"); },
             [](T &t, TForm1 &) {
                 QCOMPARE(t.noteText(0), "kept");
                 QCOMPARE(t.window("Note"), "1");
             }},
            {"page flip, page as read", false, leave, [](T &, TForm1 &f) { click(f, "FarbButton4"); },
             [](T &t, TForm1 &) { QCOMPARE(t.window("Note"), "1"); }},
            {"password page flip", true,
             [](T &, TForm1 &f) { QTest::keyClicks(f.findChild<PassGrid *>("StringGrid1"), "kept"); },
             [](T &, TForm1 &f) { click(f, "FarbButton4"); },
             [](T &t, TForm1 &) {
                 QCOMPARE(t.passCell(), "kept");
                 QCOMPARE(t.window("Pass"), "1");
             }},
            {"view switch", false, leave, [](T &, TForm1 &f) { click(f, "FarbButton1"); },
             [](T &t, TForm1 &) { QCOMPARE(t.window("DisplayNP"), "1"); }},
            {"alarm area", false, leave, [](T &, TForm1 &f) { click(f, "FarbButton7"); },
             [](T &t, TForm1 &) { QCOMPARE(t.window("DisplayAlarm"), "1"); }},
            {"handle right click, page edited", false, edit,
             [](T &, TForm1 &f) { handleClick(f, Qt::RightButton); },
             [](T &t, TForm1 &f) {
                 QCOMPARE(t.noteText(0), "kept");
                 QVERIFY(!f.isRolledIn());
                 QCOMPARE(t.window("Pos"), QString::number(f.y()));
             }},
            {"handle release", false, leave, [](T &, TForm1 &f) { handleClick(f, Qt::LeftButton); },
             [](T &t, TForm1 &f) { QCOMPARE(t.window("Pos"), QString::number(f.y())); }},
            {"title", false, [](T &t, TForm1 &f) {
                 edit(t, f);
                 editor(f)->selectAll();
             },
             [](T &, TForm1 &f) { click(f, "FarbButton6"); },
             [](T &t, TForm1 &) { QCOMPARE(t.setting(SettingsKeys::NoteTitle, u"Title0"), "kept"); }},
            {"alarm", false, leave, [](T &, TForm1 &f) { click(f, "FarbButton12"); },
             [](T &t, TForm1 &) {
                 QCOMPARE(t.setting(SettingsKeys::Alarm, SettingsKeys::alarmKey(0)),
                          Alarm::textFor(QDate(2026, 1, 1), QTime(12, 0)));
             }},
            {"close button, page edited", false, edit, [](T &, TForm1 &f) { click(f, "FarbButton9"); },
             [](T &t, TForm1 &f) {
                 QCOMPARE(t.noteText(0), "kept");
                 QCOMPARE(t.window("Transparent"), "255");
                 QVERIFY(!f.isVisible());
             }},
            {"close button, page as read", false, leave, [](T &, TForm1 &f) { click(f, "FarbButton9"); },
             [](T &t, TForm1 &f) {
                 QCOMPARE(t.window("Transparent"), "255");
                 QVERIFY(!f.isVisible());
             }},
            {"options dialog OK", false, leave, optionsOk,
             [](T &t, TForm1 &) { QCOMPARE(t.window("Transparent"), "255"); }},
        };
        return paths;
    }

private slots:
    void init() { QVERIFY(resetFolder()); }

    void toldOnceAndRetried_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("path");
        for (Fault fault : {Fault::ReadOnly, Fault::Full, Fault::Unsynced}) {
            for (int i = 0; i < savePaths().size(); ++i)
                QTest::addRow("%s: %s", kFaultNames[int(fault)], savePaths()[i].name) << int(fault) << i;
        }
    }
    void toldOnceAndRetried()
    {
        QFETCH(int, fault);
        QFETCH(int, path);
        if (fault == int(Fault::ReadOnly))
            SKIP_UNLESS_AVAILABLE(ReadOnlyFolder);
        else if (fault == int(Fault::Full))
            SKIP_UNLESS_AVAILABLE(FileSizeLimit);
        else
            SKIP_UNLESS_AVAILABLE(SyncFailure);
        const SavePath &save = savePaths()[path];
        if (save.passView)
            ProfileFile(data("note.ini")).writeInteger(SettingsKeys::Window, u"DisplayNP", 1);
        auto form = makeForm();
        save.before(*this, *form);
        {
            std::optional<ReadOnlyFolder> lockedFolder;
            std::optional<FileSizeLimit> fullDisk;
            std::optional<SyncFailure> lostWrites;
            if (fault == int(Fault::ReadOnly))
                lockedFolder.emplace(m_dir->filePath("DATA"));
            else if (fault == int(Fault::Full))
                fullDisk.emplace(0);
            else
                lostWrites.emplace();
            save.act(*this, *form);
        }
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(form->isVisible());
        save.act(*this, *form);
        QCOMPARE(m_environment.errors.size(), 1);
        save.stored(*this, *form);
    }

    // A window manager close saves only the page: a password page as it was
    // read must not keep a read-only folder's window open.
    void unchangedPasswordPageClosesOnReadOnlyFolder()
    {
        SKIP_UNLESS_AVAILABLE(ReadOnlyFolder);
        ProfileFile(data("note.ini")).writeInteger(SettingsKeys::Window, u"DisplayNP", 1);
        auto form = makeForm();
        ReadOnlyFolder lockedFolder(m_dir->filePath("DATA"));
        QVERIFY(form->close());
        QVERIFY(m_environment.errors.isEmpty());
    }
};

QTEST_MAIN(TestSaveFaults)
#include "tst_SaveFaults.moc"
