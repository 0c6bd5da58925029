#include "tools/PageNumber.h"

#include <QTest>

class TestPageNumber : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1 = refused
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("9") << "9" << 9;
        QTest::newRow("two digits") << "10" << -1;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("leading blank") << " 3" << -1;
        QTest::newRow("letter") << "a" << -1;
        QTest::newRow("Arabic-Indic three") << "\u0663" << -1;
        QTest::newRow("fullwidth three") << "\uFF13" << -1;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(parsePageNumber(text).value_or(-1), expected);
    }
};

QTEST_APPLESS_MAIN(TestPageNumber)
#include "tst_PageNumber.moc"
