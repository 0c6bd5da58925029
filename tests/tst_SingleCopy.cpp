#include "app/SingleCopy.h"
#include "platform/LocalChannel.h"
#include "platform/RunningCopy.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

using Claim = SingleCopy::Claim;

namespace {

// The lock a killed copy leaves: as Qt writes it, naming a process that
// has ended.
bool leaveLockOfDeadCopy(const QString &path)
{
    // This test program itself, which lists its tests and ends: a program
    // every platform has.
    QProcess ended;
    ended.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
    const qint64 id = ended.waitForStarted() ? ended.processId() : 0;
    ended.waitForFinished();
    QLockFile lock(path);
    if (id == 0 || !lock.tryLock(0))
        return false;
    QByteArray contents = readFile(path);
    lock.unlock();
    contents.replace(0, contents.indexOf('\n'), QByteArray::number(id));
    return writeFile(path, contents);
}

} // namespace

class TestSingleCopy : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    std::unique_ptr<QTemporaryDir> m_data;

    QString folder() const { return m_data->path(); }

    // A later start's claim, made on a thread of its own as by another
    // process, while the running copy answers in this thread's event loop:
    // a Windows pipe takes the request only as the other end reads it.
    std::future<Claim> laterStart() const
    {
        return std::async(std::launch::async, [folder = folder()] { return SingleCopy(folder).claim(); });
    }

private slots:
    // The locks go to a runtime folder of the test's own.
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit()); }

    void init() { m_data = std::make_unique<QTemporaryDir>(); }

    void laterStartHandsOverUntilTheFirstEnds()
    {
        auto first = std::make_unique<SingleCopy>(folder());
        QCOMPARE(first->claim(), Claim::First);
        first->listen();
        QVERIFY(RunningCopy::isRunning(folder()));
        QSignalSpy asked(first.get(), &SingleCopy::comeOutRequested);

        auto second = laterStart();
        QTRY_COMPARE(asked.count(), 1);
        QCOMPARE(second.get(), Claim::HandedOver);

        first.reset();
        QVERIFY(!RunningCopy::isRunning(folder()));
        QCOMPARE(SingleCopy(folder()).claim(), Claim::First);
    }

    // A killed copy leaves its lock and its server's name behind.
    void deadCopyDoesNotBlock()
    {
        QVERIFY(leaveLockOfDeadCopy(RunningCopy::lockFilePath(folder())));
        // Windows' pipe, no file, ends with its holder.
        if (QFileInfo(RunningCopy::serverName(folder())).isAbsolute())
            QVERIFY(writeFile(RunningCopy::serverName(folder()), "left over"));
        QVERIFY(!RunningCopy::isRunning(folder()));

        SingleCopy next(folder());
        QCOMPARE(next.claim(), Claim::First);
        next.listen();
        QSignalSpy asked(&next, &SingleCopy::comeOutRequested);
        auto later = laterStart();
        QTRY_COMPARE(asked.count(), 1);
        QCOMPARE(later.get(), Claim::HandedOver);
    }

    // Another copy holds the folder, so this one must not open it, but
    // nobody answers the request to come out.
    void holderThatDoesNotListenIsUnanswered()
    {
        SingleCopy first(folder());
        QCOMPARE(first.claim(), Claim::First);
        QCOMPARE(SingleCopy(folder()).claim(), Claim::Unanswered);
    }

    // Only the one request, however it is cut, brings the window out.
    void onlyTheWholeRequestCounts()
    {
        const struct
        {
            QByteArray sent;
            int comeOuts;
        } cases[] = {{"come out\n", 1}, {"come out\nand more", 1}, {"come ou", 0}, {"come in!\n", 0}, {"", 0}};
        SingleCopy first(folder());
        QCOMPARE(first.claim(), Claim::First);
        first.listen();
        QSignalSpy asked(&first, &SingleCopy::comeOutRequested);
        int expected = 0;
        for (const auto &each : cases) {
            auto sent = std::async(std::launch::async, [name = RunningCopy::serverName(folder()), each] {
                return LocalChannel::send(name, each.sent, 1000);
            });
            QTRY_VERIFY(sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
            QVERIFY(sent.get());
            expected += each.comeOuts;
            QTest::qWait(50);
            QVERIFY2(asked.count() == expected, each.sent.constData());
        }
    }

    void noLockMeansUnguarded()
    {
        const QString nowhere = folder() + QStringLiteral("/missing/kladdo");
        SingleCopy copy(nowhere + QStringLiteral(".lock"), nowhere + QStringLiteral(".socket"));
        QCOMPARE(copy.claim(), Claim::Unguarded);
        copy.listen();
    }
};

QTEST_GUILESS_MAIN(TestSingleCopy)
#include "tst_SingleCopy.moc"
