#include "platform/RecoveryFile.h"
#include "platform/RecoveryWriter.h"
#include "platform/UnsavedChanges.h"

#include "support/FaultConditions.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using Verdict = RecoveryFile::Finding::Verdict;
Q_DECLARE_METATYPE(Verdict)

class TestRecoveryFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString page() const { return m_dir->filePath("note3.rtf"); }
    QString recovery() const { return RecoveryFile::pathFor(page()); }

    static void setTime(const QString &path, int minute)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(10, minute)), QFileDevice::FileModificationTime));
    }

private slots:
    void init()
    {
        qputenv("KLADDO_COMPUTER", "desk");
        m_dir = std::make_unique<QTemporaryDir>();
    }

    // page: the page file's bytes at examination, "-" for none; base: what
    // the changes were made on; the minutes date page and recovery file.
    void verdicts_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<QByteArray>("recovery"); // empty: encode "typed" on base
        QTest::addColumn<int>("pageMinute");
        QTest::addColumn<Verdict>("verdict");

        const QByteArray typed = RecoveryFile::encode("typed", RecoveryFile::stampOf("old"));
        QTest::newRow("made on the page as it stands") << QByteArray("old") << QByteArray("old") << QByteArray() << 1 << Verdict::Load;
        QTest::newRow("on a page still without a file") << QByteArray("-") << QByteArray("-") << QByteArray() << 1 << Verdict::Load;
        QTest::newRow("the page holds it already") << QByteArray("typed") << QByteArray("old") << QByteArray() << 9 << Verdict::Redundant;
        QTest::newRow("the page was saved after it") << QByteArray("newer") << QByteArray("old") << QByteArray() << 9 << Verdict::Older;
        QTest::newRow("the page was changed meanwhile") << QByteArray("other") << QByteArray("old") << QByteArray() << 1 << Verdict::PageChanged;
        QTest::newRow("the page was made meanwhile") << QByteArray("other") << QByteArray("-") << QByteArray() << 1 << Verdict::PageChanged;
        QTest::newRow("the page was deleted meanwhile") << QByteArray("-") << QByteArray("old") << QByteArray() << 1 << Verdict::PageChanged;
        QTest::newRow("cut short") << QByteArray("old") << QByteArray() << typed.chopped(1) << 1 << Verdict::Damaged;
        QTest::newRow("a byte changed") << QByteArray("old") << QByteArray() << QByteArray(typed).replace("typed", "tyPed") << 1 << Verdict::Damaged;
        QTest::newRow("its heading changed") << QByteArray("old") << QByteArray() << QByteArray(typed).replace("length 5", "length x") << 1 << Verdict::Damaged;
        QTest::newRow("not a recovery file") << QByteArray("old") << QByteArray() << QByteArray("{\\rtf1 typed}") << 1 << Verdict::Damaged;
        QTest::newRow("empty") << QByteArray("old") << QByteArray() << QByteArray("") << 1 << Verdict::Damaged;
    }

    void verdicts()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, base);
        QFETCH(QByteArray, recovery);
        QFETCH(int, pageMinute);
        QFETCH(Verdict, verdict);

        if (recovery.isNull()) {
            QVERIFY(RecoveryFile::write(this->page(), "typed", base == "-" ? QByteArray() : RecoveryFile::stampOf(base)).ok);
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(this->recovery()).path()));
            QVERIFY(writeFile(this->recovery(), recovery));
        }
        setTime(this->recovery(), 5);
        if (page != "-") {
            QVERIFY(writeFile(this->page(), page));
            setTime(this->page(), pageMinute);
        }
        const RecoveryFile::Finding found = RecoveryFile::examine(this->page());
        QCOMPARE(found.verdict, verdict);
        QCOMPARE(found.content, verdict == Verdict::Load ? QByteArray("typed") : QByteArray());
        QCOMPARE(found.damage.isEmpty(), verdict != Verdict::Damaged);
        QCOMPARE(found.written.time(), QTime(10, 5));
    }

    void contentCheckMakesDamage()
    {
        QVERIFY(RecoveryFile::write(page(), "short", {}).ok);
        const RecoveryFile::Finding found =
            RecoveryFile::examine(page(), [](const QByteArray &content) { return content.size() == 5 ? "5 bytes" : ""; });
        QCOMPARE(found.verdict, Verdict::Damaged);
        QCOMPARE(found.damage, "5 bytes");
    }

    // This computer looks at its own recovery file, else at the older
    // layout's, taken into its folder when it can be; never at another's.
    // laid and left: whose files there are, "" for the older layout's.
    void whoseFileIsExamined_data()
    {
        QTest::addColumn<QStringList>("laid");
        QTest::addColumn<bool>("readOnly"); // backup/ cannot be changed
        QTest::addColumn<QString>("examined"); // null: none
        QTest::addColumn<QStringList>("left");

        QTest::newRow("another computer's")
            << QStringList{"laptop"} << false << QString() << QStringList{"laptop"};
        QTest::newRow("the older layout's") << QStringList{""} << false << "desk" << QStringList{"desk"};
        QTest::newRow("its own before the older layout's")
            << QStringList{"", "desk"} << false << "desk" << QStringList{"", "desk"};
        QTest::newRow("the older layout's, unmovable") << QStringList{""} << true << "" << QStringList{""};
    }

    void whoseFileIsExamined()
    {
        QFETCH(QStringList, laid);
        QFETCH(bool, readOnly);
        QFETCH(QString, examined);
        QFETCH(QStringList, left);
        if (readOnly)
            SKIP_UNLESS_AVAILABLE(ReadOnlyFolder);
        for (const QString &computer : laid) {
            QVERIFY(QDir().mkpath(QFileInfo(RecoveryFile::pathFor(page(), computer)).path()));
            QVERIFY(writeFile(RecoveryFile::pathFor(page(), computer), RecoveryFile::encode("typed", {})));
        }
        std::optional<ReadOnlyFolder> frozen;
        if (readOnly)
            frozen.emplace(m_dir->filePath("backup"));
        RecoveryFile::adoptOlderLayout(page());
        const RecoveryFile::Finding found = RecoveryFile::examine(page());
        QCOMPARE(found.verdict, examined.isNull() ? Verdict::None : Verdict::Load);
        if (!examined.isNull())
            QCOMPARE(found.path, RecoveryFile::pathFor(page(), examined));
        for (const QString &computer : QStringList{"", "desk", "laptop"})
            QVERIFY2(QFileInfo::exists(RecoveryFile::pathFor(page(), computer)) == left.contains(computer),
                     qPrintable(computer));
    }

    // Kept aside under the time it was written, never over another.
    void keptAsideAndNamed()
    {
        for (int kept = 0; kept < 2; ++kept) {
            QVERIFY(RecoveryFile::write(page(), "typed", {}).ok);
            setTime(recovery(), 7);
            const QString aside = RecoveryFile::keepAside(RecoveryFile::examine(page())).path;
            QCOMPARE(QFileInfo(aside).fileName(), kept == 0 ? "note3.rtf.unsaved-20261209-100700" : "note3.rtf.unsaved-20261209-100700-2");
            QVERIFY(!QFileInfo::exists(recovery()));
            QCOMPARE(RecoveryFile::pageOfRecovery(QFileInfo(aside).fileName()), "note3.rtf");
        }
        QCOMPARE(RecoveryFile::pageOfRecovery("pass0.dat.unsaved"), "pass0.dat");
        // A backup generation, and the temporary file of a write cut off.
        QCOMPARE(RecoveryFile::pageOfRecovery("note3.rtf.1"), std::nullopt);
        QCOMPARE(RecoveryFile::pageOfRecovery("note3.rtf.unsaved.Ab12Cd"), std::nullopt);
    }

    // A discard must not be overtaken by a write still under way: no
    // file may come back after it.
    void discardWaitsForTheWriteUnderWay()
    {
        RecoveryWriter writer;
        const QByteArray content(1 << 20, 'x');
        for (int round = 0; round < 20; ++round) {
            writer.write(page(), content, {});
            writer.write(page(), content + "last", {});
            QVERIFY(writer.discard(page()));
            QVERIFY2(!QFileInfo::exists(recovery()), qPrintable(QString::number(round)));
        }
        writer.write(page(), "kept", {});
        writer.finish();
        QCOMPARE(RecoveryFile::decode(readFile(recovery())).content, "kept");
    }

    // Nothing can be written: the caller hears why, the thread logs it.
    void readOnlyFolder()
    {
        SKIP_UNLESS_AVAILABLE(ReadOnlyFolder);
        QVERIFY(QDir(m_dir->path()).mkdir("backup"));
        const ReadOnlyFolder readOnly(m_dir->filePath("backup"));
        RecoveryWriter writer;
        const AtomicFile::Result now = writer.writeNow(page(), "typed", {});
        QVERIFY(!now.ok);
        QVERIFY(!now.reason.isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^No recovery file kept for .*note3.rtf: "));
        writer.write(page(), "typed", {});
        writer.finish();
        QVERIFY(!QFileInfo::exists(recovery()));
    }

    // Written a quiet while after the last change, at the latest a longer
    // while after the first; gone with the save.
    void writtenWhenTypingPausesOrGoesOn()
    {
        RecoveryWriter writer;
        int taken = 0;
        UnsavedChanges changes(writer, [&taken] { return QByteArray::number(++taken); });
        changes.setDelays({std::chrono::milliseconds(100), std::chrono::milliseconds(300)});
        QVERIFY(!changes.isPending());
        changes.changed(); // nothing is tracked yet
        QVERIFY(!changes.isPending());

        changes.track(page(), RecoveryFile::stampOf("old"));
        changes.changed();
        QVERIFY(changes.isPending());
        QTRY_VERIFY(QFileInfo::exists(recovery()));
        QCOMPARE(taken, 1);
        QVERIFY(!changes.isPending());

        // Steady typing, a change every 20 ms, is kept before 600 ms are up.
        QElapsedTimer typing;
        typing.start();
        while (taken == 1 && typing.elapsed() < 600) {
            changes.changed();
            QTest::qWait(20);
        }
        QCOMPARE(taken, 2);

        changes.saved(RecoveryFile::stampOf("new"));
        QVERIFY(!QFileInfo::exists(recovery()));
        QVERIFY(!changes.isPending());
        QVERIFY(changes.keepNow().ok);
        QCOMPARE(RecoveryFile::decode(readFile(recovery())).baseStamp, RecoveryFile::stampOf("new"));
        // Another page: what was kept of this one goes.
        changes.track(m_dir->filePath("note4.rtf"), {});
        QVERIFY(!QFileInfo::exists(recovery()));
    }
};

QTEST_GUILESS_MAIN(TestRecoveryFile)
#include "tst_RecoveryFile.moc"
