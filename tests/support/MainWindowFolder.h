#pragma once

#include "app/TForm1.h"
#include "notes/NotePage.h"
#include "platform/ProfileFile.h"
#include "support/ProgramFolder.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "support/VaultSamples.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>

#include <memory>

// What the main window's tests share: a program folder of the test's own
// with an empty DATA/, the test environment, and the window shown on them.
// A test class derives from it besides QObject and calls resetFolder() in
// its init().
class MainWindowFolder
{
protected:
    std::unique_ptr<ProgramFolder> m_dir;
    TestEnvironment m_environment;

    // A fresh folder and environment; false when DATA/ cannot be made.
    bool resetFolder()
    {
        m_dir = std::make_unique<ProgramFolder>();
        m_environment = TestEnvironment();
        return QDir(m_dir->path()).mkdir("DATA");
    }

    QString data(const QString &name) const { return m_dir->filePath("DATA/" + name); }

    // The stored value, or "-" for a key note.ini does not hold.
    QString setting(QStringView section, QStringView key) const
    {
        return ProfileFile(data("note.ini")).readString(section, key, "-");
    }

    void writeNotePage(int page, const QString &text) const
    {
        QTextDocument document(text);
        NotePage::save(data(NotePage::fileName(page)), &document);
    }

    // DATA/passwords.kdbx of pages under the password "master".
    void writeVault(const VaultPageSet &pages) const
    {
        const KdbxDatabase database = VaultPages::create(pages, QDateTime::currentDateTimeUtc());
        QVERIFY(writeFile(data("passwords.kdbx"), KdbxFile::write(database, fastVaultKey("master"))));
    }
    VaultPageSet storedVault() const
    {
        return VaultPages::read(KdbxFile::read(readFile(data("passwords.kdbx")), "master").database).pages;
    }
    static void unlock(TForm1 &form, const QString &password)
    {
        auto *typed = form.findChild<QLineEdit *>("VaultPassword");
        QTest::keyClicks(typed, password);
        QTest::keyClick(typed, Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(typed->text().isEmpty());
    }

    std::unique_ptr<TForm1> makeForm()
    {
        auto form = std::make_unique<TForm1>(m_environment, m_dir->path());
        form->show();
        return form;
    }

    static void click(TForm1 &form, const char *name)
    {
        QWidget *control = form.findChild<QWidget *>(name);
        QVERIFY2(control, name);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(10, 10));
    }
};
