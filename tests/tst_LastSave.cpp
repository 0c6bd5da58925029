#include "platform/LastSave.h"

#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <thread>

class TestLastSave : public QObject
{
    Q_OBJECT

private slots:
    // Qt's X11 platform ends the program with exit() when the display goes.
    void savesOnceOnTheArmingThread_data()
    {
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("armed") << QByteArray("first");
        QTest::newRow("disarmed") << QByteArray();
        QTest::newRow("armed again") << QByteArray("second");
        QTest::newRow("exit on another thread") << QByteArray();
    }
    void savesOnceOnTheArmingThread()
    {
        QFETCH(QByteArray, saved);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--end", QTest::currentDataTag()});
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.readAllStandardOutput(), saved);
    }
};

// The child arms a save that prints its name, then ends as the row says.
int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--end") {
        const QByteArray row = argv[2];
        LastSave::arm([] { std::fputs("first", stdout); });
        if (row == "disarmed")
            LastSave::disarm();
        if (row == "armed again")
            LastSave::arm([] { std::fputs("second", stdout); });
        if (row == "exit on another thread")
            std::thread([] { std::exit(0); }).join();
        std::exit(0);
    }
    QCoreApplication app(argc, argv);
    TestLastSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LastSave.moc"
