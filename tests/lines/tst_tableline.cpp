#include "tableline.h"

#include <QtTest>

// The table line object: construction, the shared setters and the static helpers.
class TestTableLine : public QObject
{
    Q_OBJECT
private slots:
    void freshLine();
    void parseAddress_data();
    void parseAddress();
    void bitRange_data();
    void bitRange();
    void splitList_data();
    void splitList();
};

void TestTableLine::freshLine()
{
    TableLine line;
    QCOMPARE(line.tableSize, 0);
    QCOMPARE(line.indexMin, 0);
    QCOMPARE(line.firstComboColumn, TableLine::NoComboColumn);
    QCOMPARE(line.flatNumberStart, 0);
    QCOMPARE(line.rowNumber, 0);
    QCOMPARE(line.headerColumnCount, 0);
    QCOMPARE(line.columnWidths(), QVector<int>(15, 0));
    QVERIFY(line.cells().isEmpty());
    QVERIFY(!line.hasTextTableCell());
    QVERIFY(!line.treeFlag);
    for (bool flag : line.panelTextPresent)
        QVERIFY(!flag);
    QCOMPARE(line.soundNewKey(), QString());
}

void TestTableLine::parseAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("address");
    QTest::newRow("hex") << "0x0200" << 512;
    QTest::newRow("decimal") << "1536" << 1536;
    QTest::newRow("upper-case X") << "0X0200" << 0;
    QTest::newRow("not a number") << "word" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestTableLine::parseAddress()
{
    QFETCH(QString, text);
    QFETCH(int, address);
    QCOMPARE(TableLine::parseAddress(text), address);
}

void TestTableLine::bitRange_data()
{
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("range");
    QTest::newRow("field") << "1536:0-2" << ":0-2";
    QTest::newRow("bit") << "20:3" << ":3";
    QTest::newRow("no colon") << "NO" << "NO";
}

void TestTableLine::bitRange()
{
    QFETCH(QString, spec);
    QFETCH(QString, range);
    QCOMPARE(TableLine::bitRange(spec), range);
}

void TestTableLine::splitList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("terminated") << "0/1 /2/" << QStringList{"0", "1 ", "2"};
    QTest::newRow("empty item kept") << "a//b/" << QStringList{"a", "", "b"};
    QTest::newRow("tail dropped") << "a/b" << QStringList{"a"};
    QTest::newRow("no slash") << "abc" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
}

void TestTableLine::splitList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QCOMPARE(TableLine::splitList(text), items);
}

QTEST_MAIN(TestTableLine)
#include "tst_tableline.moc"
