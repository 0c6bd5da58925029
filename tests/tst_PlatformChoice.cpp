#include "app/PlatformChoice.h"

#include <QTest>

class TestPlatformChoice : public QObject
{
    Q_OBJECT

private slots:
    // Variables and arguments are each given as one space-separated line.
    void prefersX11_data()
    {
        QTest::addColumn<QString>("variables");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("x11");

        QTest::newRow("Wayland display") << "WAYLAND_DISPLAY=wayland-0 DISPLAY=:0" << "" << true;
        QTest::newRow("Wayland session") << "XDG_SESSION_TYPE=wayland DISPLAY=:1" << "" << true;
        QTest::newRow("empty platform") << "WAYLAND_DISPLAY=w DISPLAY=:0 QT_QPA_PLATFORM=" << "" << true;
        QTest::newRow("no XWayland") << "WAYLAND_DISPLAY=w DISPLAY=" << "" << false;
        QTest::newRow("platform chosen") << "WAYLAND_DISPLAY=w DISPLAY=:0 QT_QPA_PLATFORM=wayland" << "" << false;
        QTest::newRow("-platform") << "WAYLAND_DISPLAY=w DISPLAY=:0" << "-platform wayland" << false;
        QTest::newRow("--platform") << "XDG_SESSION_TYPE=wayland DISPLAY=:0" << "--platform wayland" << false;
        QTest::newRow("X11 session") << "XDG_SESSION_TYPE=x11 DISPLAY=:0" << "" << false;
        QTest::newRow("nothing set") << "" << "" << false;
    }

    void prefersX11()
    {
        QFETCH(QString, variables);
        QFETCH(QString, arguments);
        QFETCH(bool, x11);
        QProcessEnvironment environment;
        for (const QString &variable : variables.split(u' ', Qt::SkipEmptyParts))
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        const QStringList commandLine = QStringList{"kladdo"} + arguments.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(PlatformChoice::prefersX11(environment, commandLine), x11);
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_PlatformChoice.moc"
