#include "platform/LastSave.h"

#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// The child: arms a save that prints its name, then ends as the row says.
[[noreturn]] void endAs(const char *row)
{
    const auto is = [row](const char *name) { return std::strcmp(row, name) == 0; };
    LastSave::arm([] { std::fputs("first", stdout); });
    if (is("disarmed"))
        LastSave::disarm();
    if (is("armed again"))
        LastSave::arm([] { std::fputs("second", stdout); });
    if (is("exit on another thread"))
        std::thread([] { std::exit(0); }).join();
    std::exit(0);
}

} // namespace

class TestLastSave : public QObject
{
    Q_OBJECT

private slots:
    // Qt's platforms end the program with exit() when the display goes.
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

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--end") == 0)
        endAs(argv[2]);
    QCoreApplication app(argc, argv);
    TestLastSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LastSave.moc"
