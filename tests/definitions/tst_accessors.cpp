#include "fixture.h"
#include "tabledefinition.h"
#include "treepagedefinitions.h"
#include "weblistdata.h"

#include <QtTest>

// The page accessors: one line or section at a time, into buffers of the accessor that every call
// overwrites whole; nothing outside the tables is read.
class TestAccessors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void treeLines();
    void treeOutsideTheTables_data();
    void treeOutsideTheTables();
    void webLine();
    void tableSections();
    void tableOutsideTheShape_data();
    void tableOutsideTheShape();
    void twoTableAccessorsKeepTheirTables();

private:
    Fixture m_files;
    QString m_path;
};

void TestAccessors::initTestCase()
{
    const QString pages = QStringLiteral(
        "<PAGE><PGNAME>Settings</PGNAME><TREE_LIST>"
        "<HEAD_LINE><HEAD_LINE_DEF><FRAME WIDTH=\"420\"/><BGCOL COLOR=\"#d0d0d0\"/><TEXT WIDTH=\"0\" POS=\"LEFT\" FTCOL=\"f\" TXT=\"Unit\"/>"
        "<TEXT WIDTH=\"0\" POS=\"LEFT\" FTCOL=\"f\" TXT=\"Serial\"/><EDIT WIDTH=\"60\" POS=\"CENTER\" FTCOL=\"f\" FTCOL_DIF=\"d\""
        " VTYPE=\"U16\" VMIN=\"0\" VMAX=\"65535\" VINIT=\"0\" UID=\"SN\" EEADDR=\"0x0000\" FORMAT=\"%d\" STYLE_DIFF=\"s\"/>"
        "<HELP TXT=\"The unit's serial number\"/></HEAD_LINE_DEF>"
        "<LINE><TEXT WIDTH=\"1\" POS=\"LEFT\" FTCOL=\"f\" TXT=\"line one\"/></LINE>"
        "<LINE><TEXT WIDTH=\"2\" POS=\"LEFT\" FTCOL=\"f\" TXT=\"line two\"/><HELP TXT=\"h\" A=\"\" B=\"\" C=\"\" D=\"\" E=\"\" F=\"\""
        " G=\"\" H=\"\" I=\"\" J=\"\" K=\"\" L=\"\" M=\"\"/></LINE>"
        "</HEAD_LINE></TREE_LIST></PAGE>"
        "<PAGE><PGNAME>Manual</PGNAME><WEB_LIST><HTML><LINK><URL TEXT=\"/HELP/Manual/EN/manual.html\" A=\"\" B=\"\" C=\"\""
        " D=\"\" E=\"\" F=\"\" G=\"\" H=\"\" I=\"\" J=\"\" K=\"\" L=\"\" M=\"\"/></LINK></HTML></WEB_LIST></PAGE>"
        "<PAGE><PGNAME>Codes</PGNAME><TABLE_LIST><TABLE><DEFINITION><TEXTH WIDTH=\"40\" POS=\"C\" FTCOL=\"f\" TXT=\"Flat\"/></DEFINITION>"
        "<LINE><TABLEDIM SIZE=\"255\" INDEX_MIN=\"1\" INDEX_MAX=\"255\" COMMENTS=\"\"/>x<EDIT UID=\"CIPHER\"/></LINE></TABLE></TABLE_LIST></PAGE>"
        "<PAGE><PGNAME>Keys</PGNAME><TABLE_LIST><TABLE><DEFINITION/><LINE><TABLEDIM SIZE=\"1024\"/></LINE>"
        "<WIDGETS><BOX_MENU X=\"1\"/></WIDGETS></TABLE></TABLE_LIST></PAGE>");
    m_path = m_files.definition(pages);
}

void TestAccessors::treeLines()
{
    XmlDefinition reader(m_path);
    TreePageDefinitions page(&reader);
    QCOMPARE(page.lineTags(0, 0), TreeLineTags{}); // before load: empty
    page.load(0);

    const TreeLineTags &row = page.lineTags(0, 0);
    QCOMPARE(QStringList(row.begin(), row.end()),
             QStringList({"FRAME", "BGCOL", "TEXT", "TEXT", "EDIT", "HELP", "", "", "", ""}));
    const TreeLineSlots &attributes = page.lineAttributes(0, 0);
    QCOMPARE(attributes[0][0], QStringLiteral("420"));
    QCOMPARE(attributes[4][8], QStringLiteral("SN"));
    QCOMPARE(attributes[4][11], QStringLiteral("s"));
    QCOMPARE(filledSlots(attributes[6]), QStringList());

    // One buffer serves every line: asking for line 2 overwrites what line 1 gave.
    const TreeLineSlots &one = page.lineAttributes(0, 1);
    QCOMPARE(one[0][3], QStringLiteral("line one"));
    const TreeLineSlots &two = page.lineAttributes(0, 2);
    QCOMPARE(&one, &two);
    QCOMPARE(one[0][3], QStringLiteral("line two"));
    QCOMPARE(filledSlots(two[1]), QStringList(QVector<QString>(14, QStringLiteral("h")).toList()));
    QCOMPARE(&page.lineTags(0, 1), &row);
    QCOMPARE(row[1], QString());
}

void TestAccessors::treeOutsideTheTables_data()
{
    QTest::addColumn<int>("headLine");
    QTest::addColumn<int>("line");
    QTest::newRow("head line past the last") << 1 << 0;
    QTest::newRow("negative head line") << -1 << 0;
    QTest::newRow("line 100") << 0 << 100;
    QTest::newRow("negative line") << 0 << -1;
    QTest::newRow("line without a node") << 0 << 99;
}

void TestAccessors::treeOutsideTheTables()
{
    QFETCH(int, headLine);
    QFETCH(int, line);
    XmlDefinition reader(m_path);
    TreePageDefinitions page(&reader);
    page.load(0);
    page.lineAttributes(0, 0);
    page.lineTags(0, 0);
    QCOMPARE(page.lineAttributes(headLine, line), TreeLineSlots{});
    QCOMPARE(page.lineTags(headLine, line), TreeLineTags{});
    WebListData web(&reader);
    web.load(0);
    QCOMPARE(web.lineAttributes(headLine, line), WebLineSlots{});
}

void TestAccessors::webLine()
{
    XmlDefinition reader(m_path);
    WebListData web(&reader);
    web.load(1);
    QCOMPARE(web.lineTags(0, 0)[0], QStringLiteral("URL"));
    const WebLineSlots &attributes = web.lineAttributes(0, 0);
    QCOMPARE(int(attributes[0].size()), 11);
    QCOMPARE(filledSlots(attributes[0]), QStringList(QVector<QString>(11, QStringLiteral("/HELP/Manual/EN/manual.html")).toList()));
    QCOMPARE(reader.pageName(1), QStringLiteral("Manual"));
}

void TestAccessors::tableSections()
{
    XmlDefinition reader(m_path);
    TableDefinition table(&reader);
    QCOMPARE(table.sectionTags(0, 0), TableSectionTags{}); // before load: empty
    table.load(2);
    QCOMPARE(reader.tableColumnCount(2), 1);
    const TableSectionTags &headers = table.sectionTags(0, 0);
    QCOMPARE(headers[0], QStringLiteral("TEXTH"));
    const TableSectionTags &row = table.sectionTags(0, 1);
    QCOMPARE(&headers, &row);
    QCOMPARE(QStringList(row.begin(), row.begin() + 4), QStringList({"TABLEDIM", "", "EDIT", ""}));
    const TableSectionSlots &slotsA = table.sectionAttributes(0, 1);
    QCOMPARE(slotsA[0][0], QStringLiteral("255"));
    QCOMPARE(slotsA[2][0], QStringLiteral("CIPHER"));
    const TableSectionSlots &slotsB = table.sectionAttributes(0, 0);
    QCOMPARE(&slotsA, &slotsB);
    QCOMPARE(slotsB[0][3], QStringLiteral("Flat"));
    QCOMPARE(table.sectionTags(0, 2), TableSectionTags{}); // no side panel
    QCOMPARE(table.sectionAttributes(0, 2), TableSectionSlots{});
}

void TestAccessors::tableOutsideTheShape_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("section");
    QTest::newRow("table 1") << 1 << 0;
    QTest::newRow("negative table") << -1 << 1;
    QTest::newRow("section 3") << 0 << 3;
    QTest::newRow("negative section") << 0 << -1;
}

void TestAccessors::tableOutsideTheShape()
{
    QFETCH(int, table);
    QFETCH(int, section);
    XmlDefinition reader(m_path);
    TableDefinition accessor(&reader);
    accessor.load(2);
    accessor.sectionTags(0, 1);
    accessor.sectionAttributes(0, 1);
    QCOMPARE(accessor.sectionTags(table, section), TableSectionTags{});
    QCOMPARE(accessor.sectionAttributes(table, section), TableSectionSlots{});
}

void TestAccessors::twoTableAccessorsKeepTheirTables()
{
    XmlDefinition reader(m_path);
    TableDefinition codes(&reader);
    TableDefinition keys(&reader);
    codes.load(2);
    keys.load(3);
    QCOMPARE(codes.sectionAttributes(0, 1)[0][0], QStringLiteral("255"));
    QCOMPARE(keys.sectionAttributes(0, 1)[0][0], QStringLiteral("1024"));
    QCOMPARE(codes.sectionTags(0, 2)[0], QString());
    QCOMPARE(keys.sectionTags(0, 2)[0], QStringLiteral("BOX_MENU"));
}

QTEST_GUILESS_MAIN(TestAccessors)
#include "tst_accessors.moc"
