#include "app/SingleCopy.h"
#include "platform/LocalChannel.h"
#include "platform/RunningCopy.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <future>

#ifndef Q_OS_WIN
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

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

#ifndef Q_OS_WIN
// Connects to the socket at path and says nothing; true once the listener
// has closed its end, within a few seconds.
bool isDroppedWhenSilent(const QByteArray &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    pollfd entry{fd, POLLIN, 0};
    char byte = 0;
    const bool dropped = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
                         && ::poll(&entry, 1, 5000) == 1 && ::recv(fd, &byte, 1, 0) == 0;
    ::close(fd);
    return dropped;
}
#endif

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

    // A sender that connects and says nothing is dropped, and the next
    // one is served.
    void silentSenderIsDropped()
    {
#ifdef Q_OS_WIN
        QSKIP("a pipe client that says nothing needs Qt Network, which the tests do not link");
#else
        SingleCopy first(folder());
        QCOMPARE(first.claim(), Claim::First);
        first.listen();
        // Only the user may connect.
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        QCOMPARE(QFile::permissions(RunningCopy::serverName(folder())) & others, QFile::Permissions());
        QSignalSpy asked(&first, &SingleCopy::comeOutRequested);
        auto silent = std::async(std::launch::async, isDroppedWhenSilent,
                                 QFile::encodeName(RunningCopy::serverName(folder())));
        QTRY_VERIFY_WITH_TIMEOUT(silent.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 8000);
        QVERIFY(silent.get());
        auto later = laterStart();
        QTRY_COMPARE(asked.count(), 1);
        QCOMPARE(later.get(), Claim::HandedOver);
#endif
    }

    // The first start claims its data folder before it makes it.
    void folderYetToBeMadeKeysAsMade()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows' links of QFile::link are shortcuts, not folders");
#endif
        const QString linked = folder() + QStringLiteral("/linked");
        QVERIFY(QDir(folder()).mkdir("real"));
        QVERIFY(QFile::link(folder() + QStringLiteral("/real"), linked));
        const QString yetToBeMade = RunningCopy::lockFilePath(linked + QStringLiteral("/kladdo/DATA"));
        QVERIFY(QDir(linked).mkpath("kladdo/DATA"));
        QCOMPARE(RunningCopy::lockFilePath(folder() + QStringLiteral("/real/kladdo/DATA")), yetToBeMade);
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
