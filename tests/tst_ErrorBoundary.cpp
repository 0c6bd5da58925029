#include "app/TForm1.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

// A failed settings write inside an event handler stops that handler and
// reaches the user as a message, and the program goes on running.
class TestErrorBoundary : public QObject
{
    Q_OBJECT

private slots:
    void failedWriteInHandlerIsShown()
    {
        TestEnvironment environment;
        environment.setScreenWidth(1000);

        QTemporaryDir dir; // no DATA folder: every write fails
        TForm1 form(environment, dir.path());
        QLabel *handle = form.findChild<QLabel *>("Image1");
        QVERIFY(handle);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &press);
        QCoreApplication::sendEvent(handle, &release);

        QCOMPARE(form.x(), 1000 - 525);
        QCOMPARE(environment.errors.size(), 1);
        QCOMPARE(environment.errors[0].message,
                 QStringLiteral("In %1/DATA/note.ini kann nicht geschrieben werden").arg(dir.path()));
        QCOMPARE(environment.errors[0].parent, static_cast<QWidget *>(&form));
        QVERIFY(!QDir(dir.filePath("DATA")).exists());
    }
};

QTEST_MAIN(TestErrorBoundary)
#include "tst_ErrorBoundary.moc"
