#include "passwords/PassKey.h"
#include "passwords/PassPageFile.h"
#include "platform/Languages.h"
#include "support/FaultConditions.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using FileState = PassPageLoad::FileState;
using Languages::English;
using Languages::German;

// A distinct text for every cell, with Windows-1252 letters in some.
QString sampleCell(int column, int slot)
{
    static const QString names[] = {QStringLiteral("Bank %1"), QStringLiteral("user%1"),
                                    QStringLiteral("pw-%1-Gr\u00fc\u00df\u20ac")};
    return names[column].arg(slot);
}

PassPageCells sampleCells()
{
    PassPageCells cells;
    for (int column = 0; column < PassColumnCount; ++column) {
        for (int slot = 0; slot < PassSlotCount; ++slot)
            cells.setCell(column, slot, sampleCell(column, slot));
    }
    return cells;
}

void compareCells(const PassPageCells &actual, const PassPageCells &expected)
{
    for (int column = 0; column < PassColumnCount; ++column) {
        for (int slot = 0; slot < PassSlotCount; ++slot) {
            const QByteArray where = QByteArray("column ") + QByteArray::number(column)
                                     + " slot " + QByteArray::number(slot);
            QVERIFY2(actual.cell(column, slot) == expected.cell(column, slot), where);
        }
    }
}

QByteArray slotText(const QByteArray &file, int column, int slot)
{
    return PassPageRecord(file).slotText(column, slot);
}

// The stored bytes of slot `slot` of the password column replaced by
// `stored` with a recognisable tail.
QByteArray withDamagedPassword(QByteArray file, int slot, const QByteArray &stored)
{
    QByteArray bytes(1, char(stored.size()));
    bytes += stored;
    bytes += QByteArray(PassPageRecord::SlotSize - bytes.size(), '\x5A');
    file.replace(PassPageRecord::slotOffset(PassPasswordColumn, slot), bytes.size(), bytes);
    return file;
}

QByteArray storedWithCount(std::uint8_t count)
{
    DesBlock block{'x', 0, 0, 0, 0, 0, 0, count};
    DesCipherBlock(InitDesKeySchedule(PassKey, DesDirection::Encipher), block);
    return QByteArray(reinterpret_cast<const char *>(block.data()), 8).toBase64();
}

} // namespace

class TestPassPageFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString pagePath(int page = 3) const { return PassPageFile::pathFor(m_dir->path(), page); }

    QByteArray savedSample()
    {
        PassPageFile(pagePath()).save(sampleCells());
        return readFile(pagePath());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void emptyPageIsAFullRecord()
    {
        PassPageFile(pagePath()).save(PassPageCells());
        const QByteArray file = readFile(pagePath());
        QCOMPARE(file.size(), 10752);
        for (int slot = 0; slot < PassSlotCount; ++slot) {
            QCOMPARE(slotText(file, PassTextColumn, slot), QByteArray());
            QCOMPARE(slotText(file, PassNameColumn, slot), QByteArray());
            const QByteArray stored = slotText(file, PassPasswordColumn, slot);
            QCOMPARE(stored.size(), 12);
            QCOMPARE(DesCipherString(stored, PassKey, DesDirection::Decipher), QByteArray());
        }
    }

    // Slot s of column k at k * 3584 + s * 256: length byte, then the text.
    void recordLayout_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("offset");
        QTest::newRow("first") << PassTextColumn << 0 << 0;
        QTest::newRow("text 13") << PassTextColumn << 13 << 3328;
        QTest::newRow("name 0") << PassNameColumn << 0 << 3584;
        QTest::newRow("name 5") << PassNameColumn << 5 << 4864;
        QTest::newRow("password 0") << PassPasswordColumn << 0 << 7168;
        QTest::newRow("last") << PassPasswordColumn << 13 << 10496;
    }

    void recordLayout()
    {
        QFETCH(int, column);
        QFETCH(int, slot);
        QFETCH(int, offset);
        PassPageCells cells;
        cells.setCell(column, slot, QStringLiteral("K\u00e4se"));
        const QByteArray file = cells.toRecord().bytes();
        QByteArray stored = "K\xe4se";
        if (column == PassPasswordColumn)
            stored = DesCipherString(stored, PassKey, DesDirection::Encipher);
        QCOMPARE(int(static_cast<unsigned char>(file[offset])), int(stored.size()));
        QCOMPARE(file.mid(offset + 1, stored.size()), stored);
        QCOMPARE(file.mid(offset + 1 + stored.size(), 255 - stored.size()),
                 QByteArray(255 - stored.size(), '\0'));
    }

    void everyCellSurvivesSaveAndLoad()
    {
        QCOMPARE(savedSample().size(), 10752);
        const PassPageLoad load = PassPageFile(pagePath()).load();
        QCOMPARE(load.fileState, FileState::Complete);
        QVERIFY(!load.isDamaged());
        compareCells(load.cells, sampleCells()); // slot 13 included
    }

    void longestCellsFit()
    {
        PassPageCells cells;
        cells.setCell(PassTextColumn, 0, QString(255, u'\u00e4'));
        cells.setCell(PassNameColumn, 13, QString(255, u'n'));
        cells.setCell(PassPasswordColumn, 13, QString(183, u'\u20ac'));
        PassPageFile(pagePath()).save(cells);
        const QByteArray file = readFile(pagePath());
        QCOMPARE(slotText(file, PassPasswordColumn, 13).size(), 248);
        compareCells(PassPageFile(pagePath()).load().cells, cells);
    }

    void textOverMaximumIsCut_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("text") << PassTextColumn;
        QTest::newRow("name") << PassNameColumn;
    }

    void textOverMaximumIsCut()
    {
        QFETCH(int, column);
        PassPageCells cells;
        cells.setCell(column, 4, QString(255, u'a') + u'Z');
        PassPageFile(pagePath()).save(cells);
        QCOMPARE(PassPageFile(pagePath()).load().cells.cell(column, 4), QString(255, u'a'));
    }

    void longerFileIsReadAsOneRecord()
    {
        QVERIFY(writeFile(pagePath(), savedSample() + QByteArray(100, 'x')));
        const PassPageLoad load = PassPageFile(pagePath()).load();
        QCOMPARE(load.fileState, FileState::Long);
        QCOMPARE(load.fileSize, 10852);
        QCOMPARE(load.damageText(German),
                 "Größe 10852 Bytes statt 10752 (die Bytes nach den ersten 10752 werden ignoriert)");
        compareCells(load.cells, sampleCells());
        PassPageFile(pagePath()).save(load.cells);
        QCOMPARE(readFile(pagePath()).size(), 10752);
    }

    void missingFileIsAnEmptyPage()
    {
        savedSample(); // page 3 exists; page 4 must not show its rows
        const PassPageLoad load = PassPageFile(pagePath(4)).load();
        QCOMPARE(load.fileState, FileState::Missing);
        QVERIFY(!load.isDamaged());
        compareCells(load.cells, PassPageCells());
    }

    void zeroFilledRecordIsAnEmptyPage()
    {
        QVERIFY(writeFile(pagePath(), QByteArray(10752, '\0')));
        const PassPageLoad load = PassPageFile(pagePath()).load();
        QVERIFY(!load.isDamaged());
        compareCells(load.cells, PassPageCells());
    }

    // A short file gives the slots whose length byte and text it holds.
    void shortFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("heldColumn"); // slots before (heldColumn, heldSlot) are held
        QTest::addColumn<int>("heldSlot");
        QTest::addColumn<QString>("damage");
        const int slot1End = 256 + 1 + int(sampleCell(0, 1).size());
        const QString allOfColumns23 =
            QStringLiteral("name rows 1-14 not in the file; password rows 1-14 not in the file");
        QTest::newRow("empty file")
            << 0 << 0 << 0
            << "size 0 bytes, not 10752; text rows 1-14 not in the file; " + allOfColumns23;
        QTest::newRow("length byte only")
            << 257 << 0 << 1
            << "size 257 bytes, not 10752; text rows 2-14 not in the file; " + allOfColumns23;
        QTest::newRow("text of slot 1 held")
            << slot1End << 0 << 2
            << QStringLiteral("size %1 bytes, not 10752; text rows 3-14 not in the file; ").arg(slot1End)
                   + allOfColumns23;
        QTest::newRow("one column") << 3584 << 1 << 0
                                    << "size 3584 bytes, not 10752; name rows 1-14 not in the file; "
                                       "password rows 1-14 not in the file";
        QTest::newRow("stored form of slot 13 cut")
            << 10496 + 10 << 2 << 13 << "size 10506 bytes, not 10752; password row 14 not in the file";
        QTest::newRow("only the last tail cut") << 10752 - 10 << 3 << 0 << "size 10742 bytes, not 10752";
    }

    void shortFile()
    {
        QFETCH(int, size);
        QFETCH(int, heldColumn);
        QFETCH(int, heldSlot);
        QFETCH(QString, damage);
        QVERIFY(writeFile(pagePath(), savedSample().left(size)));
        const PassPageLoad load = PassPageFile(pagePath()).load();
        QCOMPARE(load.fileState, FileState::Short);
        QVERIFY(load.isDamaged());
        QCOMPARE(load.damageText(English), damage);
        const int firstMissing = heldColumn * PassSlotCount + heldSlot;
        for (int column = 0; column < PassColumnCount; ++column) {
            for (int slot = 0; slot < PassSlotCount; ++slot) {
                const bool held = column * PassSlotCount + slot < firstMissing;
                QCOMPARE(load.cells.cell(column, slot), held ? sampleCell(column, slot) : QString());
                QCOMPARE(load.cells.damage(column, slot),
                         held ? PassCellDamage::None : PassCellDamage::NotInFile);
            }
        }
        PassPageFile(pagePath()).save(load.cells);
        QCOMPARE(readFile(pagePath()).size(), 10752);
    }

    void undecipherablePasswordIsKept_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("not Base64") << QByteArray("not Base64!");
        QTest::newRow("shorter than a block") << QByteArray("QUJD");
        QTest::newRow("count byte over 7") << storedWithCount(9);
        QTest::newRow("line break") << QByteArray("6Q6FeRmt\nFGI=");
        QTest::newRow("longest slot") << QByteArray(255, '~');
    }

    // The cell shows empty and marked; its stored slot, tail included, goes
    // back to the file byte for byte while the cell keeps its text.
    void undecipherablePasswordIsKept()
    {
        QFETCH(QByteArray, stored);
        const QByteArray damaged = withDamagedPassword(savedSample(), 4, stored);
        QVERIFY(writeFile(pagePath(), damaged));
        const PassPageFile file(pagePath());
        PassPageLoad load = file.load();
        QCOMPARE(load.cells.cell(PassPasswordColumn, 4), QString());
        QCOMPARE(load.cells.damage(PassPasswordColumn, 4), PassCellDamage::Undecipherable);
        QCOMPARE(load.damageText(English), QStringLiteral("password row 5 cannot be deciphered"));
        QCOMPARE(load.damageText(German), QStringLiteral("Kennwort in Zeile 5 nicht zu entschlüsseln"));
        QCOMPARE(load.cells.cell(PassPasswordColumn, 5), sampleCell(PassPasswordColumn, 5));

        load.cells.setCell(PassPasswordColumn, 4, QString()); // an editor refresh, no change
        load.cells.setCell(PassTextColumn, 4, QStringLiteral("edited"));
        file.save(load.cells);
        const QByteArray saved = readFile(pagePath());
        const qsizetype offset = PassPageRecord::slotOffset(PassPasswordColumn, 4);
        QCOMPARE(saved.mid(offset, 256).toHex(), damaged.mid(offset, 256).toHex());
        QCOMPARE(file.load().cells.cell(PassTextColumn, 4), QStringLiteral("edited"));
    }

    void changedDamagedCellIsStored()
    {
        QVERIFY(writeFile(pagePath(), withDamagedPassword(savedSample(), 0, "????")));
        const PassPageFile file(pagePath());
        PassPageCells cells = file.load().cells;
        cells.setCell(PassPasswordColumn, 0, QStringLiteral("new"));
        QCOMPARE(cells.damage(PassPasswordColumn, 0), PassCellDamage::None);
        file.save(cells);
        const PassPageLoad load = file.load();
        QVERIFY(!load.isDamaged());
        QCOMPARE(load.cells.cell(PassPasswordColumn, 0), QStringLiteral("new"));
    }

    void unstorableCellIsRefused_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<PassCellProblem>("problem");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("password of 184")
            << PassPasswordColumn << QString(184, u'p') << PassCellProblem::TooLong << English
            << "Row 7, column password: a password may hold at most 183 characters";
        QTest::newRow("password outside the code page")
            << PassPasswordColumn << QStringLiteral("\u65e5\u672c") << PassCellProblem::NotInCodePage
            << English << "Row 7, column password: holds characters that Windows-1252 cannot represent";
        QTest::newRow("name outside the code page")
            << PassNameColumn << QStringLiteral("a\u0100") << PassCellProblem::NotInCodePage << English
            << "Row 7, column name: holds characters that Windows-1252 cannot represent";
        QTest::newRow("German, password of 184")
            << PassPasswordColumn << QString(184, u'p') << PassCellProblem::TooLong << German
            << "Zeile 7, Spalte Kennwort: ein Kennwort darf höchstens 183 Zeichen haben";
        QTest::newRow("German, text outside the code page")
            << PassTextColumn << QStringLiteral("\u0394") << PassCellProblem::NotInCodePage << German
            << "Zeile 7, Spalte Text: enthält Zeichen, die Windows-1252 nicht darstellen kann";
    }

    // Nothing is written: the old page stays whole on disk.
    void unstorableCellIsRefused()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(PassCellProblem, problem);
        QFETCH(int, language);
        QFETCH(QString, message);
        const QByteArray old = savedSample();
        PassPageCells cells = sampleCells();
        cells.setCell(column, 6, text);
        try {
            PassPageFile(pagePath()).save(cells);
            QFAIL("the save should have been refused");
        } catch (const PassCellError &error) {
            QCOMPARE(error.column(), column);
            QCOMPARE(error.slot(), 6);
            QCOMPARE(error.problem(), problem);
            QCOMPARE(error.textIn(language), message);
            QCOMPARE(error.message(), error.textIn(English));
        }
        QCOMPARE(readFile(pagePath()), old);
    }

    void failedWriteIsReportedAndOldFileKept()
    {
        SKIP_UNLESS_AVAILABLE(FileSizeLimit);
        const QByteArray old = savedSample();
        PassPageCells cells = sampleCells();
        cells.setCell(PassTextColumn, 0, QStringLiteral("changed"));
        try {
            const FileSizeLimit limit(4096);
            PassPageFile(pagePath()).save(cells);
            QFAIL("the write should have failed");
        } catch (const PassPageWriteError &error) {
            QCOMPARE(error.path(), pagePath());
            QVERIFY(!error.reason().isEmpty());
            QVERIFY2(error.message().startsWith("Cannot write " + pagePath() + ": "),
                     qPrintable(error.message()));
        }
        QCOMPARE(readFile(pagePath()), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"pass3.dat"});
    }

    void missingFolderIsReported()
    {
        const QString path = m_dir->filePath("no-such-folder/pass0.dat");
        QVERIFY_THROWS_EXCEPTION(PassPageWriteError, PassPageFile(path).save(PassPageCells()));
    }

    void unreadableFileIsReported()
    {
        QVERIFY(QDir(m_dir->path()).mkdir("pass3.dat"));
        const PassPageLoad load = PassPageFile(pagePath()).load();
        QCOMPARE(load.fileState, FileState::Unreadable);
        QVERIFY(load.isDamaged());
        QCOMPARE(load.damageText(English), QStringLiteral("cannot be read (not a regular file)"));
        compareCells(load.cells, PassPageCells());
    }

    void cellOutsideThePageThrows_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("slot");
        QTest::newRow("slot 14") << 0 << 14;
        QTest::newRow("slot -1") << 1 << -1;
        QTest::newRow("column 3") << 3 << 0;
    }

    void cellOutsideThePageThrows()
    {
        QFETCH(int, column);
        QFETCH(int, slot);
        PassPageCells cells;
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, cells.setCell(column, slot, "x"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, PassPageRecord::slotOffset(column, slot));
    }
};

QTEST_GUILESS_MAIN(TestPassPageFile)
#include "tst_PassPageFile.moc"
