#include "app/FontFallbacks.h"
#include "notes/RtfWriter.h"

#include <QFontInfo>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

// The named fonts resolve to their look-alikes once the packages the build
// lists are installed; a wrong name on either side falls to the system's
// default sans font instead.
class TestFontFallbacks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { FontFallbacks::install(); }

    void resolves_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dialogs") << "MS Sans Serif" << false << "Liberation Sans";
        QTest::newRow("password field") << "Arial" << true << "Liberation Sans";
        QTest::newRow("notes") << "Comic Sans MS" << false << "Comic Neue";
        QTest::newRow("about box") << "Comic Sans MS" << true << "Comic Neue";
    }

    void resolves()
    {
        QFETCH(QString, named);
        QFETCH(bool, bold);
        QFETCH(QString, shown);
        QFont font(named, 10);
        font.setBold(bold);
        QCOMPARE(QFontInfo(font).family(), shown);
    }

    void documentsKeepTheNamedFont()
    {
        QTextDocument document;
        QTextCharFormat format;
        format.setFontFamilies({QStringLiteral("Comic Sans MS")});
        QTextCursor(&document).insertText(QStringLiteral("note"), format);
        const QByteArray rtf = RtfWriter::write(&document);
        QVERIFY2(rtf.contains("Comic Sans MS;"), rtf.constData());
        QVERIFY2(!rtf.contains("Comic Neue"), rtf.constData());
    }
};

QTEST_MAIN(TestFontFallbacks)
#include "tst_FontFallbacks.moc"
