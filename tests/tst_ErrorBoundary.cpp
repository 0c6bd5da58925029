#include "app/ErrorReport.h"
#include "app/ScreenGeometry.h"
#include "app/TForm1.h"

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
        QStringList shown;
        ErrorReport::setSink([&](const QString &message) { shown.append(message); });
        ScreenGeometry::overridePrimaryScreenWidth(1000);

        QTemporaryDir dir; // no DATA folder: every write fails
        TForm1 form(dir.path());
        QLabel *handle = form.findChild<QLabel *>("Image1");
        QVERIFY(handle);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &press);
        QCoreApplication::sendEvent(handle, &release);

        QCOMPARE(form.x(), 1000 - 525);
        QCOMPARE(shown, QStringList{QStringLiteral("In %1/DATA/note.ini kann nicht geschrieben werden")
                                        .arg(dir.path())});
        QVERIFY(!QDir(dir.filePath("DATA")).exists());

        ErrorReport::setSink({});
        ScreenGeometry::overridePrimaryScreenWidth(std::nullopt);
    }
};

QTEST_MAIN(TestErrorBoundary)
#include "tst_ErrorBoundary.moc"
