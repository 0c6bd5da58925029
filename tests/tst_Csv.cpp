#include "platform/KladdoError.h"
#include "tools/Csv.h"

#include <QTest>

using Records = QList<QStringList>;

class TestCsv : public QObject
{
    Q_OBJECT

private slots:
    void format_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QStringList{"a", "b", "c"} << "a,b,c\r\n";
        QTest::newRow("empty fields") << QStringList{"", "", ""} << ",,\r\n";
        QTest::newRow("comma") << QStringList{"a,b", "c"} << "\"a,b\",c\r\n";
        QTest::newRow("quote") << QStringList{"say \"hi\""} << "\"say \"\"hi\"\"\"\r\n";
        QTest::newRow("Line feed") << QStringList{"a\nb", "c"} << "\"a\nb\",c\r\n";
        QTest::newRow("carriage return") << QStringList{"a\rb"} << "\"a\rb\"\r\n";
        QTest::newRow("blanks kept") << QStringList{" a ", "b "} << " a ,b \r\n";
        QTest::newRow("non-ASCII") << QStringList{"K\u00e4se", "\u20ac"} << "K\u00e4se,\u20ac\r\n";
    }

    void format()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, line);
        QCOMPARE(Csv::formatRecord(fields), line);
        QCOMPARE(Csv::parse(line), Records{fields});
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Records>("records");
        QTest::newRow("empty") << "" << Records{};
        QTest::newRow("CRLF") << "a,b\r\nc,d\r\n" << Records{{"a", "b"}, {"c", "d"}};
        QTest::newRow("LF") << "a,b\nc,d\n" << Records{{"a", "b"}, {"c", "d"}};
        QTest::newRow("no final line end") << "a,b\r\nc,d" << Records{{"a", "b"}, {"c", "d"}};
        QTest::newRow("empty line") << "a\r\n\r\nb\r\n" << Records{{"a"}, {""}, {"b"}};
        QTest::newRow("trailing comma") << "a,\r\n" << Records{{"a", ""}};
        QTest::newRow("quoted comma") << "\"a,b\",c\r\n" << Records{{"a,b", "c"}};
        QTest::newRow("doubled quote") << "\"a\"\"b\"\r\n" << Records{{"a\"b"}};
        QTest::newRow("only a quote") << "\"\"\"\"\r\n" << Records{{"\""}};
        QTest::newRow("quoted CRLF") << "\"a\r\nb\",c\r\n" << Records{{"a\r\nb", "c"}};
        QTest::newRow("quoted empty") << "\"\",x\r\n" << Records{{"", "x"}};
        QTest::newRow("quoted last field") << "a,\"b\"" << Records{{"a", "b"}};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(Records, records);
        QCOMPARE(Csv::parse(text), records);
    }

    void parseErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("quote inside a plain field")
            << "a,b\r\nc\"d\r\n" << "Line 2: a quote inside a field that does not start with one";
        QTest::newRow("text after closing quote")
            << "\"a\"b,c\r\n" << "Line 1: text after a closing quote";
        QTest::newRow("quote never closed")
            << "a\r\n\"b\r\nc\r\n" << "Line 2: a quoted field that never ends";
        QTest::newRow("lone CR") << "a\rb\r\n" << "Line 1: carriage return without line feed";
        QTest::newRow("Line counts quoted breaks")
            << "\"a\nb\"\r\nx\"\r\n" << "Line 3: a quote inside a field that does not start with one";
    }

    void parseErrors()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            Csv::parse(text);
            QFAIL("parsing should have failed");
        } catch (const KladdoError &error) {
            QCOMPARE(error.message(), message);
        }
    }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_Csv.moc"
