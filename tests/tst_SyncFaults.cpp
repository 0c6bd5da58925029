#include "platform/ComputerName.h"
#include "platform/KladdoError.h"
#include "platform/PageBackups.h"
#include "platform/ProfileFile.h"
#include "platform/RecoveryFile.h"

#include "support/SyncFailure.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

// Every writer of DATA/ on a disk that does not take what it is given:
// the write fails with the reason, the file it was to replace stays whole,
// and the same write succeeds once the disk works again.
class TestSyncFaults : public QObject
{
    Q_OBJECT

    struct Writer
    {
        const char *name;
        QString kept; // the file that must stay as it was
        const char *told; // what the reason says
        std::function<AtomicFile::Result(const QString &page)> write;
    };

    static constexpr char kIoError[] = "Input/output error";

    static AtomicFile::Result keepAside(const QString &page)
    {
        const RecoveryFile::Aside aside = RecoveryFile::keepAside(RecoveryFile::examine(page));
        return {aside.failure.isEmpty(), aside.failure};
    }

    static AtomicFile::Result writeSetting(const QString &page)
    {
        try {
            ProfileFile(QFileInfo(page).dir().filePath("note.ini")).writeString(u"WINDOW", u"Note", u"3");
            return {};
        } catch (const KladdoError &error) {
            return {false, error.message()};
        }
    }

    static const QList<Writer> &writers()
    {
        static const QString recovery = "backup/" + ComputerName::unique() + "/note3.rtf.unsaved";
        static const QList<Writer> list = {
            {"page save", "note3.rtf", kIoError, [](const QString &page) { return PageBackups::writePage(page, "new"); }},
            {"backup restore", "note3.rtf", kIoError, [](const QString &page) { return PageBackups::restore(page, 1); }},
            {"recovery file", recovery, kIoError,
             [](const QString &page) { return RecoveryFile::write(page, "typed again", {}); }},
            {"recovery file kept aside", recovery, kIoError, keepAside},
            // The settings' message names only the file, as for a full disk.
            {"settings", "note.ini", "note.ini", writeSetting},
        };
        return list;
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString older = PageBackups::pathFor(m_dir->filePath("note3.rtf"), 1);
        QVERIFY(QDir().mkpath(QFileInfo(older).path()));
        QVERIFY(writeFile(m_dir->filePath("note3.rtf"), "old"));
        QVERIFY(writeFile(older, "older"));
        QVERIFY(writeFile(m_dir->filePath("note.ini"), "[WINDOW]\r\nNote=1\r\n"));
        QVERIFY(RecoveryFile::write(m_dir->filePath("note3.rtf"), "typed", RecoveryFile::stampOf("other")).ok);
    }

    void failedSyncKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("writer");
        for (int i = 0; i < writers().size(); ++i)
            QTest::newRow(writers()[i].name) << i;
    }
    void failedSyncKeepsTheOldFile()
    {
        QFETCH(int, writer);
        const Writer &each = writers()[writer];
        const QString page = m_dir->filePath("note3.rtf");
        const QByteArray before = readFile(m_dir->filePath(each.kept));
        AtomicFile::Result result;
        {
            const SyncFailure failing;
            result = each.write(page);
        }
        QVERIFY(!result.ok);
        QVERIFY2(result.reason.contains(each.told), qPrintable(result.reason));
        QCOMPARE(readFile(m_dir->filePath(each.kept)), before);
        QVERIFY2(each.write(page).ok, each.name);
    }
};

QTEST_GUILESS_MAIN(TestSyncFaults)
#include "tst_SyncFaults.moc"
