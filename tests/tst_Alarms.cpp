#include "alarms/MonthCalendar.h"
#include "app/TForm1.h"
#include "notes/NotePage.h"
#include "resources/Bitmaps.h"
#include "settings/SharedSettings.h"
#include "support/MainWindowFolder.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kScreenWidth = 1920;

QDateTime at(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 3, 7), QTime(hour, minute, second));
}

QImage bell(const char *name)
{
    return Bitmaps::bitmap(QLatin1StringView(name)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestAlarms : public QObject, private MainWindowFolder
{
    Q_OBJECT

private:
    void writeIni(const QByteArray &bytes) { QVERIFY(writeFile(data("note.ini"), bytes)); }
    template <typename T = QWidget>
    static T *control(TForm1 &form, const char *name) { return form.findChild<T *>(name); }
    static QString shownAlarm(TForm1 &form) { return control<QLabel>(form, "Label2")->text(); }
    // The bell's picture, or null while hidden.
    static QImage shownBell(TForm1 &form)
    {
        const QLabel *image = control<QLabel>(form, "Image2");
        return image->isVisible() ? image->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                  : QImage();
    }
    void tickAt(TForm1 &form, const QDateTime &now)
    {
        m_environment.currentTime = now;
        QVERIFY(QMetaObject::invokeMethod(control<QTimer>(form, "Timer1"), "timeout"));
    }
    void setField(TForm1 &form, const QString &text)
    {
        auto *field = control<QLineEdit>(form, "MaskEdit1");
        field->setText(text);
        field->setModified(true);
    }

private slots:
    void init()
    {
        QVERIFY(resetFolder());
        m_environment.currentTime = at(9, 0, 30);
        m_environment.setScreenWidth(kScreenWidth);
    }

    void setAndClear()
    {
        auto form = makeForm();
        QCOMPARE(control<QLineEdit>(*form, "MaskEdit1")->text(), "09:00");
        control<MonthCalendar>(*form, "OvcCalendar1")->setSelectedDate(QDate(2026, 3, 7));
        const struct { const char *field, *stored; const char *bell; } cases[] = {
            {"09:05", "07.03.2026   09:05", "C1"},
            {"9:05", "07.03.2026   09:05", "C1"},
            // The minute running now has been checked: expired at once.
            {"09:00", "07.03.2026   09:00", "C2"},
        };
        for (const auto &c : cases) {
            setField(*form, c.field);
            click(*form, "FarbButton12");
            QCOMPARE(form->windowSettings().AlarmText[0], c.stored);
            QCOMPARE(setting(u"ALARM", u"Alarm0"), c.stored);
            QCOMPARE(shownAlarm(*form), QString(c.stored) + u' ');
            QCOMPARE(shownBell(*form), bell(c.bell));
        }
        QVERIFY(m_environment.errors.isEmpty());

        setField(*form, "25:99");
        click(*form, "FarbButton12");
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY2(m_environment.errors[0].message.contains("25:99"), qPrintable(m_environment.errors[0].message));
        QCOMPARE(setting(u"ALARM", u"Alarm0"), "07.03.2026   09:00");

        click(*form, "FarbButton13");
        QCOMPARE(form->windowSettings().AlarmText[0], "");
        QCOMPARE(setting(u"ALARM", u"Alarm0"), "");
        QCOMPARE(shownAlarm(*form), " ");
        QVERIFY(shownBell(*form).isNull());
    }

    // From each view and place of the window: the page shown was saved,
    // the alarm's page is shown in the note view, the window is out in
    // full, the sound played once.
    void alarmSounds_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("startOffset");
        QTest::addColumn<int>("endOffset");
        QTest::newRow("notes, rolled in") << 0 << 16 << 525;
        QTest::newRow("passwords, rolled in") << 1 << 16 << 525;
        QTest::newRow("notes, out and left alone") << 0 << 700 << 700;
        QTest::newRow("notes, partly beyond a narrower screen") << 0 << 300 << 525;
    }
    void alarmSounds()
    {
        QFETCH(int, view);
        QFETCH(int, startOffset);
        QFETCH(int, endOffset);
        writeIni(QByteArray("[WINDOW]\r\nLanguage=English\r\nDisplayNP=") + QByteArray::number(view)
                 + "\r\n[ALARM]\r\nAlarm3=07.03.2026   09:01\r\n");
        writeNotePage(0, "zero");
        writeNotePage(3, "alarm page");
        auto form = makeForm();
        form->move(kScreenWidth - startOffset, form->y());
        if (view == 0)
            QTest::keyClicks(control(*form, "RichEdit1"), "edited ");

        tickAt(*form, at(9, 1));
        QCOMPARE(m_environment.soundsPlayed, QStringList{data("note.wav")});
        QCOMPARE(form->x(), kScreenWidth - endOffset);
        QCOMPARE(form->windowSettings().Note, 3);
        QCOMPARE(form->windowSettings().DisplayNP, 0);
        QCOMPARE(setting(u"WINDOW", u"DisplayNP"), "0");
        QCOMPARE(control<NoteEditor>(*form, "RichEdit1")->toPlainText(), "alarm page");
        QVERIFY(control(*form, "RichEdit1")->isVisible());
        QCOMPARE(shownBell(*form), bell("C2"));
        QCOMPARE(control(*form, "Image1")->toolTip(), "click right to hide");
        if (view == 0)
            QCOMPARE(NotePage::read(data("note0.rtf")).document->toPlainText(), "edited zero");
        QVERIFY(m_environment.errors.isEmpty());
    }

    void failedSaveStillSounds()
    {
        writeIni("[ALARM]\r\nAlarm4=07.03.2026   09:01\r\n");
        auto form = makeForm();
        QTest::keyClicks(control(*form, "RichEdit1"), "kept");
        QVERIFY(QDir().mkpath(data("note0.rtf") + "/x"));
        qsizetype soundsWhenTold = -1;
        m_environment.whileShowingError = [&] { soundsWhenTold = m_environment.soundsPlayed.size(); };
        tickAt(*form, at(9, 1));
        QCOMPARE(soundsWhenTold, 1);
        QCOMPARE(m_environment.errors.size(), 1);
        QVERIFY(m_environment.errors[0].message.contains("note0.rtf"));
        QCOMPARE(form->windowSettings().Note, 0);
        QCOMPARE(control<NoteEditor>(*form, "RichEdit1")->toPlainText(), "kept");
        QCOMPARE(form->x(), kScreenWidth - 525);
    }

    // A tick during a roll or while a message is open waits, then runs.
    void tickWaitsForOtherHandlers()
    {
        writeIni("[WINDOW]\r\nRollEffect=1\r\n[ALARM]\r\nAlarm1=07.03.2026   09:01\r\nAlarm2=07.03.2026   09:02\r\n");
        auto form = makeForm();
        qsizetype soundsMeanwhile = -1;
        m_environment.whilePaused = [&] {
            if (m_environment.pauses.size() == 1)
                tickAt(*form, at(9, 1));
            soundsMeanwhile = m_environment.soundsPlayed.size();
        };
        QWidget *handle = control(*form, "Image1");
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), handle->mapToGlobal(QPointF(5, 5)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &press);
        QCOMPARE(soundsMeanwhile, 0);
        QTRY_COMPARE(m_environment.soundsPlayed.size(), 1);
        QCOMPARE(form->windowSettings().Note, 1);

        m_environment.whileShowingError = [&] {
            tickAt(*form, at(9, 2));
            soundsMeanwhile = m_environment.soundsPlayed.size();
        };
        setField(*form, "99:99");
        click(*form, "FarbButton12");
        QCOMPARE(soundsMeanwhile, 1);
        QTRY_COMPARE(m_environment.soundsPlayed.size(), 2);
        QCOMPARE(form->windowSettings().Note, 2);
    }

    // Set on another computer and brought by a sync tool: the alarm shows at
    // the next tick and rings in its minute; one that comes later survives
    // this computer's close.
    void alarmFromAnotherComputer()
    {
        auto form = makeForm();
        SharedSettings laptop(data("note.ini"), "laptop");
        laptop.load();
        laptop.writeString(SettingsKeys::Alarm, SettingsKeys::alarmKey(0), "07.03.2026   09:02");
        tickAt(*form, at(9, 1));
        QCOMPARE(shownAlarm(*form), "07.03.2026   09:02 ");
        QVERIFY(m_environment.soundsPlayed.isEmpty());
        tickAt(*form, at(9, 2));
        QCOMPARE(m_environment.soundsPlayed.size(), 1);

        laptop.writeString(SettingsKeys::Alarm, SettingsKeys::alarmKey(5), "08.03.2026   10:00");
        form->SaveSettings();
        QCOMPARE(setting(u"ALARM", u"Alarm5"), "08.03.2026   10:00");
    }

    // One tick after another, each armed for the start of the next minute:
    // alarms of one minute sound in page order, the last staying shown; an
    // unreadable alarm shows as none, never sounds and stays in note.ini;
    // the time field follows the clock unless the user is typing in it,
    // and again once an alarm is set or cleared.
    void minuteTicks()
    {
        writeIni("[ALARM]\r\nAlarm0=07.03.2026   25:99\r\nAlarm5=07.03.2026   09:01\r\nAlarm2=07.03.2026   09:01\r\n");
        auto form = makeForm();
        auto *timer = control<QTimer>(*form, "Timer1");
        auto *field = control<QLineEdit>(*form, "MaskEdit1");
        QCOMPARE(shownAlarm(*form), " ");
        QVERIFY(shownBell(*form).isNull());
        QCOMPARE(timer->interval(), 30'000);
        tickAt(*form, at(9, 1).addMSecs(250));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 59'750);
        QCOMPARE(m_environment.soundsPlayed.size(), 2);
        QCOMPARE(form->windowSettings().Note, 5);
        QCOMPARE(field->text(), "09:01");
        setField(*form, "17:45");
        tickAt(*form, at(9, 2));
        QCOMPARE(field->text(), "17:45");
        QCOMPARE(m_environment.soundsPlayed.size(), 2);
        click(*form, "FarbButton13");
        tickAt(*form, at(9, 3));
        QCOMPARE(field->text(), "09:03");
        click(*form, "FarbButton9");
        QCOMPARE(setting(u"ALARM", u"Alarm0"), "07.03.2026   25:99");
    }
};

QTEST_MAIN(TestAlarms)
#include "tst_Alarms.moc"
