#include "app/TForm1.h"
#include "controls/FarbButton.h"
#include "platform/KladdoError.h"
#include "support/ProgramFolder.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include <stdexcept>

namespace {

enum class Entry { CloseButton, HandlePress, HandleRelease, CloseEvent };

constexpr int kScreenWidth = 1000;

void sendMouse(QWidget *widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF position(3, 3);
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

// A failure inside any event handler of the main window ends that handler
// and reaches the user as a message over the window. The program goes on,
// and a failed close leaves the window open.
class TestErrorBoundary : public QObject
{
    Q_OBJECT

private slots:
    void failureReachesUser_data()
    {
        QTest::addColumn<Entry>("entry");
        // Null: the settings write fails for real.
        QTest::addColumn<std::exception_ptr>("failure");
        QTest::addColumn<QString>("message");
        const QString writeFailed = QStringLiteral("In %1/DATA/note.ini kann nicht geschrieben werden");
        const QString programMessage = QStringLiteral("Seite 3 fehlt");
        const auto programError = std::make_exception_ptr(KladdoError(programMessage));
        const auto otherError = std::make_exception_ptr(std::runtime_error("Kein Speicher für Seite 3"));
        const QString otherMessage = QStringLiteral("Kein Speicher für Seite 3");

        QTest::newRow("close button, settings write")
            << Entry::CloseButton << std::exception_ptr() << writeFailed;
        QTest::newRow("close button, closing fails") << Entry::CloseButton << otherError << otherMessage;
        QTest::newRow("handle press, program error") << Entry::HandlePress << programError << programMessage;
        QTest::newRow("handle press, other failure") << Entry::HandlePress << otherError << otherMessage;
        QTest::newRow("handle release, settings write")
            << Entry::HandleRelease << std::exception_ptr() << writeFailed;
        QTest::newRow("close event, program error") << Entry::CloseEvent << programError << programMessage;
        QTest::newRow("close event, other failure") << Entry::CloseEvent << otherError << otherMessage;
    }

    void failureReachesUser()
    {
        QFETCH(Entry, entry);
        QFETCH(std::exception_ptr, failure);
        QFETCH(QString, message);
        ProgramFolder dir;
        QVERIFY(QDir(dir.path()).mkdir("DATA"));
        TestEnvironment environment;
        environment.setScreenWidth(kScreenWidth);
        TForm1 form(environment, dir.path());
        form.show();
        QLabel *handle = form.findChild<QLabel *>("Image1");
        QVERIFY(handle);

        if (!failure) {
            // A folder where note.ini should be: the write fails everywhere,
            // even where the data folder, being watched, cannot go.
            QFile::remove(dir.filePath("DATA/note.ini"));
            QVERIFY(QDir(dir.filePath("DATA")).mkdir("note.ini"));
            message = message.arg(dir.path());
        } else if (entry == Entry::HandlePress) {
            environment.failNextCall(failure);
        } else {
            connect(&form, &TForm1::closed, this, [failure] { std::rethrow_exception(failure); });
        }

        switch (entry) {
        case Entry::CloseButton:
            QTest::mouseClick(form.findChild<TFarbButton *>("FarbButton9"), Qt::LeftButton, {},
                              QPoint(10, 10));
            break;
        case Entry::HandlePress:
            sendMouse(handle, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
            break;
        case Entry::HandleRelease:
            sendMouse(handle, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
            break;
        case Entry::CloseEvent:
            QVERIFY(!form.close());
            break;
        }

        QCOMPARE(environment.errors.size(), 1);
        QCOMPARE(environment.errors[0].message, QDir::toNativeSeparators(message));
        QCOMPARE(environment.errors[0].parent, static_cast<QWidget *>(&form));
        QVERIFY(form.isVisible());
        QVERIFY(form.isRolledIn());
        if (!failure)
            QVERIFY(QFileInfo(dir.filePath("DATA/note.ini")).isDir());
        // The program goes on: the next right click rolls the window out.
        sendMouse(handle, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
        QCOMPARE(form.x(), kScreenWidth - 525);
    }
};

QTEST_MAIN(TestErrorBoundary)
#include "tst_ErrorBoundary.moc"
