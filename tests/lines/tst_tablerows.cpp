#include "../definitions/fixture.h"
#include "globals.h"
#include "mycombobox.h"
#include "tablepagefixture.h"
#include "testsupport.h"

#include <QtTest>

// Data lines: the row template, the cells of each column kind as read from an image, the key
// lookup on a row, combo-cell changes and the lifetimes of lines, cells and grid.
class TestTableRows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void rowTemplate_data();
    void rowTemplate();
    void menuTexts_data();
    void menuTexts();
    void addressesOfShippedTables();
    void shippedCells_data();
    void shippedCells();
    void buildingWritesNothing_data();
    void buildingWritesNothing();
    void cellsOfFixtureTemplates();
    void flatCellsShowTheLogicalNumber_data();
    void flatCellsShowTheLogicalNumber();
    void keyLookup_data();
    void keyLookup();
    void rowQueries();
    void comboChange();
    void comboOutsideItems();
    void linesAndGridInEitherOrder_data();
    void linesAndGridInEitherOrder();
    void untakenCells();

private:
    static QString shipped(const QString &file) { return QStringLiteral(TKV_DATA_ROOT "/application/xml/") + file; }
    QString table(const QString &definition, const QString &line)
    {
        return m_files.definition(
            Fixture::tablePage(QStringLiteral("<DEFINITION>%1</DEFINITION><LINE>%2</LINE>").arg(definition, line)));
    }
    static void word(QByteArray &image, int address, int value)
    {
        image[address] = char(value >> 8);
        image[address + 1] = char(value);
    }
    static void text(QByteArray &image, int address, const QString &value, int length)
    {
        const QString field = OperationBin::centerText(value, length);
        for (int i = 0; i < length; ++i) {
            image[address + 2 * i] = char(field.at(i).unicode() & 0xFF);
            image[address + 2 * i + 1] = char(field.at(i).unicode() >> 8);
        }
    }
    // Values at the first and last rows of every shipped table.
    static QByteArray sampleImage();
    static TablePageFixture::FlatParameters u65Numbering()
    {
        QStringList specials;
        for (int i = 0; i < 14; ++i)
            specials << QString::number(50 + 2 * i);
        return {QStringLiteral("44"), QStringLiteral("42"), QStringLiteral("46"), QStringLiteral("48"), specials};
    }
    // A shipped table built once over the sample image, with the U65's numbering where it has one.
    TablePageFixture *built(const QString &file, int page)
    {
        const QString key = file + QString::number(page);
        if (!m_built.contains(key)) {
            auto *fixture = new TablePageFixture(shipped(file), page);
            fixture->build(&m_image, file.contains("U65") ? u65Numbering() : TablePageFixture::FlatParameters{});
            m_built.insert(key, fixture);
        }
        return m_built.value(key);
    }
    Fixture m_files;
    OperationBin m_image;
    QHash<QString, TablePageFixture *> m_built;
};

QByteArray TestTableRows::sampleImage()
{
    QByteArray image(8192, '\0');
    word(image, 46, 1);    // FlatMin
    word(image, 48, 240);  // FlatMax
    for (int i = 0; i < 14; ++i)
        word(image, 50 + 2 * i, 300 + i);
    // Lock codes: row 1 (flat 1) and row 254.
    word(image, 0x202, 1234);
    word(image, 0x3FC, 0xFFFF);
    // Options of flat 1: melody 5, volume 3, rings 4, mode 1, authorization 3 (no item), coded lock 2.
    word(image, 1538, 5 | 3 << 3 | 4 << 5 | 1 << 8 | 3 << 12 | 2 << 10);
    // 1024 keys: position 0 code 3BA1 flat 5, position 1 flat 241 (a special flat), position 1023 empty.
    word(image, 0x800, 0x3BA1);
    image[0x1000] = 5;
    word(image, 0x802, 0x1234);
    image[0x1001] = char(241);
    word(image, 0xFFE, 0x0042);
    image[0x13FF] = char(255);
    // 2048 keys: flat bytes at 0x1800; position 2047 holds code 0xBEEF without flat.
    image[0x1800] = 5;
    word(image, 0x17FE, 0xBEEF);
    image[0x1FFF] = 0;
    // Names: record 0 and record 95.
    text(image, 0x1400, "Adamski", 14);
    word(image, 0x141C, 7);
    image[0x141E] = 2;
    text(image, 0x1FE0, "Porter", 14);
    word(image, 0x1FFC, 300);
    image[0x1FFE] = 12;
    return image;
}

void TestTableRows::initTestCase()
{
    m_image.loadHex(sampleImage().toHex());
}

void TestTableRows::cleanupTestCase()
{
    qDeleteAll(m_built);
}

// ---- row template ---------------------------------------------------------------------------------

void TestTableRows::rowTemplate_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QStringList>("bits");
    QTest::addColumn<int>("firstCombo");
    QTest::addColumn<int>("flatNumberStart");
    QTest::addColumn<QList<int>>("addresses"); // getAddress 0 to 6
    QTest::newRow("lock codes") << "RK4820_U65_EN.xlx" << 2
                                << QStringList{"TI", "TT", "CIPHER", "CB", "CB", "CB", "CB", "CB", "CB"}
                                << QStringList{"NO", "NO", "NO", "1536:0-2", "1536:3-4", "1536:5-7", "1536:8-9",
                                               "1536:12-13", "1536:10-11"}
                                << 3 << 241 << QList<int>{1536, 512, 0, 0, 0, 0, 0};
    QTest::newRow("1024 keys") << "RK4820_U65_EN.xlx" << 3 << QStringList{"TI", "TMCODE", "TMFLAT"}
                               << QStringList{"NO", "NO", "NO"} << 1000 << 241 << QList<int>{0, 0, 0x800, 0x1000, 0, 0, 0};
    QTest::newRow("2048 keys, stray text") << "RK4820_H65_PL.xlx" << 1 << QStringList{"TI", "TMCODE", "TMFLAT"}
                                           << QStringList{"NO", "NO", "NO"} << 1000 << 255
                                           << QList<int>{0, 0, 0x800, 0x1800, 0, 0, 0};
    QTest::newRow("names, BLOC_NUMBER") << "RK4820_U65_EN.xlx" << 4 << QStringList{"TI", "DBNAME", "DBFLAT", "DBBNUMBER"}
                                        << QStringList{"NO", "NO", " ", "NO"} << 1000 << 0
                                        << QList<int>{0, 0, 0, 0, 0x1400, 0x141C, 0};
}

void TestTableRows::rowTemplate()
{
    QFETCH(QString, file);
    QFETCH(int, page);
    QFETCH(QStringList, kinds);
    QFETCH(QStringList, bits);
    QFETCH(int, firstCombo);
    QFETCH(int, flatNumberStart);
    QFETCH(QList<int>, addresses);
    TablePageFixture fixture(shipped(file), page);
    TableLine line;
    line.setDefinition(0, 1, fixture.definition.get(), page);
    line.readLineDefinition();
    QCOMPARE(line.columnKinds(), kinds);
    QCOMPARE(line.bitAddresses(), bits);
    QCOMPARE(line.firstComboColumn, firstCombo);
    QCOMPARE(line.flatNumberStart, flatNumberStart);
    for (int kind = 0; kind <= 6; ++kind)
        QCOMPARE(line.getAddress(kind), addresses[kind]);
    QCOMPARE(line.getAddress(7), 0);
}

void TestTableRows::menuTexts_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("menu");
    QTest::addColumn<bool>("sections");
    QTest::newRow("lock-code table")
        << "<TABLEDIM SIZE=\"1\" INDEX_MIN=\"1\" INDEX_MAX=\"1\" COMMENTS=\"Copy/Paste/Import from file/Save to file/0x5a/\"/>"
        << QStringList{"Copy", "Paste", "Import from file", "Save to file", "0x5a", "", "", "", "NoMenu"} << false;
    QTest::newRow("three items")
        << "<TABLEDIM SIZE=\"1\" INDEX_MIN=\"1\" INDEX_MAX=\"1\" COMMENTS=\"Copy/Paste/Import/\"/>"
        << QStringList{"", "", "", "", "", "", "", "", "NoMenu"} << false;
    QTest::newRow("key table with sections")
        << "<TABLEDIM SIZE=\"1\" INDEX_MIN=\"0\" INDEX_MAX=\"0\" COMMENTS=\"C/P/I/S//Unserviced/Delete/Find duplicates/Find flat/\"/>"
           "<TABSECTIONS SECTION_1=\"2000\" COLOR_1=\"white\" SECTION_2=\"2040\" COLOR_2=\"#f5fbb8\" SECTION_3=\"x\" "
           "COLOR_3=\"#e1fbce\" TEXT_1=\"one\" TEXT_2=\"two\" TEXT_3=\"three\"/>"
        << QStringList{"C", "P", "I", "S", "", "Unserviced", "Delete", "Find duplicates", "Find flat"} << true;
}

void TestTableRows::menuTexts()
{
    QFETCH(QString, line);
    QFETCH(QStringList, menu);
    QFETCH(bool, sections);
    XmlDefinition reader(table("<TEXTH/>", line));
    TableDefinition accessor(&reader);
    accessor.load(0);
    TableLine first;
    first.setDefinition(0, 1, &accessor, 0);
    first.readLineDefinition();
    QCOMPARE(QStringList(first.menuTexts.begin(), first.menuTexts.end()), menu);
    QCOMPARE(first.hasSections, sections);
    if (sections) {
        QCOMPARE(first.sectionLimits, (std::array<int, 3>{2000, 2040, 0}));
        QCOMPARE(first.sectionColors[1], QString("#f5fbb8"));
        QCOMPARE(first.sectionTexts[2], QString("three"));
    }
    QVERIFY(first.columnKinds().isEmpty());
}

// The page's arithmetic on the first data line's template gives every row its own words.
void TestTableRows::addressesOfShippedTables()
{
    TablePageFixture locks(shipped("RK4820_U65_EN.xlx"), 2);
    locks.build(&m_image, u65Numbering());
    QCOMPARE(locks.rows.size(), 254);
    QCOMPARE(locks.row(1)->getAddress(1), 0x0202);
    QCOMPARE(locks.row(1)->bitAddresses().mid(3), (QStringList{"1538:0-2", "1538:3-4", "1538:5-7", "1538:8-9",
                                                               "1538:12-13", "1538:10-11"}));
    QCOMPARE(locks.row(254)->getAddress(1), 0x03FC);
    QCOMPARE(locks.row(254)->bitAddresses().value(8), QString("2044:10-11"));
    QCOMPARE(locks.grid->tableKind(), int(LockCodeTable));

    TablePageFixture keys(shipped("RK4820_H65_EN.xlx"), 1);
    keys.build(&m_image);
    QCOMPARE(keys.row(1)->getAddress(2), 0x800);
    QCOMPARE(keys.row(1)->getAddress(3), 0x1800);
    QCOMPARE(keys.row(2048)->getAddress(2), 0x17FE);
    QCOMPARE(keys.row(2048)->getAddress(3), 0x1FFF);
}

// ---- cells ---------------------------------------------------------------------------------------------

void TestTableRows::shippedCells_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("colour"); // text colour
    QTest::addColumn<bool>("editable");

    const QString u65 = QStringLiteral("RK4820_U65_EN.xlx"), h65 = QStringLiteral("RK4820_H65_EN.xlx");
    QTest::newRow("lock row 1 index") << u65 << 2 << 1 << 0 << 1007 << "1" << "" << "#000000" << false;
    QTest::newRow("lock row 1 logical") << u65 << 2 << 1 << 1 << 1000 << "1" << "" << "#0000ff" << false;
    QTest::newRow("lock row 241 logical: special flat") << u65 << 2 << 241 << 1 << 1000 << "300" << "" << "#0000ff" << false;
    QTest::newRow("lock row 254 logical") << u65 << 2 << 254 << 1 << 1000 << "313" << "" << "#0000ff" << false;
    QTest::newRow("lock code 1234") << u65 << 2 << 1 << 2 << 1001 << "1234" << "1234" << "#000000" << true;
    QTest::newRow("lock code beyond range") << u65 << 2 << 254 << 2 << 1001 << "0000" << "0000" << "#000000" << true;
    QTest::newRow("melody") << u65 << 2 << 1 << 3 << 1004 << "6" << "6" << "#000000" << false;
    QTest::newRow("volume") << u65 << 2 << 1 << 4 << 1004 << "[M] - Max" << "[M] - Max" << "#000000" << false;
    QTest::newRow("rings") << u65 << 2 << 1 << 5 << 1004 << "5" << "5" << "#000000" << false;
    QTest::newRow("mode") << u65 << 2 << 1 << 6 << 1004 << "[U] - Handset" << "[U] - Handset" << "#000000" << false;
    QTest::newRow("authorization without item") << u65 << 2 << 1 << 7 << 1004 << "Error" << "" << "#000000" << false;
    QTest::newRow("coded lock") << u65 << 2 << 1 << 8 << 1004 << "[T] - Temporary" << "[T] - Temporary" << "#000000" << false;
    QTest::newRow("last row option") << u65 << 2 << 254 << 8 << 1004 << "[-] - Disabled" << "[-] - Disabled" << "#000000" << false;
    QTest::newRow("key 0 code") << u65 << 3 << 1 << 1 << 1002 << "3BA1" << "3BA1" << "#000000" << true;
    QTest::newRow("key 0 flat") << u65 << 3 << 1 << 2 << 1003 << "5" << "5" << "#000000" << true;
    QTest::newRow("key 1 special flat") << u65 << 3 << 2 << 2 << 1003 << "300" << "300" << "#000000" << true;
    QTest::newRow("key 1023 code without flat") << u65 << 3 << 1024 << 1 << 1002 << "-----" << "-----" << "#000000" << true;
    QTest::newRow("key 1023 flat") << u65 << 3 << 1024 << 2 << 1003 << "-----" << "-----" << "#000000" << true;
    QTest::newRow("key 1023 index") << u65 << 3 << 1024 << 0 << 1007 << "1023" << "" << "#000000" << false;
    QTest::newRow("name 0") << u65 << 4 << 1 << 1 << 1006 << "   Adamski    " << "   Adamski    " << "#000000" << true;
    QTest::newRow("name 0 flat") << u65 << 4 << 1 << 2 << 1005 << "7" << "" << "#000000" << true;
    QTest::newRow("name 0 block") << u65 << 4 << 1 << 3 << 1009 << "2" << "" << "#000000" << true;
    QTest::newRow("name 95") << u65 << 4 << 96 << 1 << 1006 << "    Porter    " << "    Porter    " << "#000000" << true;
    QTest::newRow("name 95 flat") << u65 << 4 << 96 << 2 << 1005 << "300" << "" << "#000000" << true;
    QTest::newRow("name 95 block") << u65 << 4 << 96 << 3 << 1009 << "12" << "" << "#000000" << true;
    QTest::newRow("2048 keys: flat without numbering") << h65 << 1 << 1 << 2 << 1003 << "5" << "5" << "#000000" << true;
    QTest::newRow("2048 keys: code with flat 0") << h65 << 1 << 2048 << 1 << 1002 << "BEEF" << "BEEF" << "#000000" << true;
    QTest::newRow("2048 keys: flat 0") << h65 << 1 << 2048 << 2 << 1003 << "-----" << "-----" << "#000000" << true;
}

void TestTableRows::shippedCells()
{
    QFETCH(QString, file);
    QFETCH(int, page);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QString, accepted);
    QFETCH(QString, colour);
    QFETCH(bool, editable);
    // The H65 has no flat numbering: the page hands empty address texts.
    TablePageFixture &fixture = *built(file, page);
    MyTableWidgetItem *cell = fixture.row(row)->cells().value(column);
    QVERIFY(cell);
    QCOMPARE(fixture.grid->item(row - 1, column), cell);
    QCOMPARE(cell->cellType(), type);
    QCOMPARE(cell->text(), text);
    QCOMPARE(cell->acceptedText(), accepted);
    QCOMPARE(cell->foreground().color().name(), colour);
    QCOMPARE(bool(cell->flags() & Qt::ItemIsEditable), editable);
    QCOMPARE(cell->textAlignment(), file.contains("U65") && page == 4 && column == 1 ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                                                    : int(Qt::AlignCenter));
    if (type != 1000 && type != 1007) {
        QCOMPARE(cell->changedColor(), QColor(Qt::red));
        QCOMPARE(fixture.row(row)->changedColorNames().value(column), QString("RED"));
    }
}

void TestTableRows::buildingWritesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::newRow("lock codes") << "RK4820_U65_EN.xlx" << 2;
    QTest::newRow("keys") << "RK4820_U65_EN.xlx" << 3;
    QTest::newRow("names") << "RK4820_U65_EN.xlx" << 4;
}

// Building sets every combo cell's index, yet writes nothing and marks nothing; nor does it add a
// top-level window.
void TestTableRows::buildingWritesNothing()
{
    QFETCH(QString, file);
    QFETCH(int, page);
    dataModified = false;
    const QByteArray before = m_image.image();
    const int windows = QApplication::topLevelWidgets().size();
    TablePageFixture fixture(shipped(file), page);
    fixture.build(&m_image, u65Numbering());
    QCOMPARE(QApplication::topLevelWidgets().size(), windows + 1); // the page's container
    QVERIFY(!dataModified);
    QVERIFY(m_image.image() == before);
}

// Column kinds and settings no shipped template has.
void TestTableRows::cellsOfFixtureTemplates()
{
    const QString path = table(
        "<TEXTH/><TEXTH/><TEXTH/><TEXTH/><TEXTH/>",
        "<TABLEDIM SIZE=\"2\" INDEX_MIN=\"0\" INDEX_MAX=\"1\" COMMENTS=\"\"/>"
        "<TEXT_TABLE WIDTH=\"45\" POS=\"left\" FTCOL=\"BLUE\" TXT=\"\" VTYPE=\"U16\" VALUE=\"INDEX\"/>"
        "<EDIT UID=\"PIN\" WIDTH=\"65\" POS=\"CENTER\" FTCOL=\"BLACK\" FTCOL_DIF=\"RED\" VTYPE=\"U16\" VMIN=\"0\" VMAX=\"9\" VINIT=\"0\" TABADDR=\"0x40\"/>"
        "<EDIT UID=\"TMCODE\" WIDTH=\"65\" POS=\"RIGHT\" FTCOL=\"#123456\" FTCOL_DIF=\"GREEN\" VTYPE=\"U16\" VMIN=\"0\" VMAX=\"0xFFFF\" VINIT=\"0\" TABADDR=\"0x800\" HELPTXT=\"code\" FLAT_NR_START=\"\" FORMAT=\"%04X\"/>"
        "<EDIT UID=\"TMFLAT\" WIDTH=\"65\" POS=\"CENTER\" FTCOL=\"BLACK\" FTCOL_DIF=\"RED\" VTYPE=\"U8\" VMIN=\"0\" VMAX=\"0xFF\" VINIT=\"0\" TABADDR=\"0x1000\" HELPTXT=\"flat\" FLAT_NR_START=\"241\" FORMAT=\"%d\"/>"
        "<EDIT UID=\"DBFLAT\" WIDTH=\"65\" POS=\"CENTER\" FTCOL=\"BLACK\" FTCOL_DIF=\"RED\" VTYPE=\"S16\" VMIN=\"0\" VMAX=\"9999\" VINIT=\"0\" TABADDR=\"0x1400\" HELPTXT=\"\" FLAT_NR_START=\"\" FORMAT=\"%d\"/>"
        "<CBEDIT WIDTH=\"65\" POS=\"CENTER\" FTCOL=\"BLACK\" FTCOL_DIF=\"RED\" VTYPE=\"U16\" VMIN=\"0\" VMAX=\"3\" VINIT=\"0\" TABADDR=\"1536:0-1\" VALUE_LIST=\"\"/>");
    QByteArray bytes(8192, '\0');
    word(bytes, 0x800, 0x3BA1);
    bytes[0x1000] = char(255);
    QByteArray second = bytes;
    OperationBin image;
    image.loadHex(bytes.toHex());
    TablePageFixture fixture(path, 0);
    fixture.build(&image);
    TableLine *row = fixture.row(1);
    // PIN names no column: no cell, and the later cells keep their columns.
    QCOMPARE(row->columnKinds(), (QStringList{"TT", "TMCODE", "TMFLAT", "DBFLAT", "CB"}));
    const QList<MyTableWidgetItem *> cells = row->cells();
    QCOMPARE(cells.size(), 5);
    QCOMPARE(cells[0]->text(), QString());          // VALUE "INDEX": no number
    QVERIFY(!cells[0]->data(Qt::TextAlignmentRole).isValid());
    QCOMPARE(cells[1]->text(), QString("3BA1"));   // five columns: the flat byte 255 leaves the code
    QCOMPARE(cells[1]->foreground().color(), QColor("#123456"));
    QCOMPARE(cells[1]->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(row->helpTexts[1], QString("code"));
    QCOMPARE(row->helpTexts[2], QString("flat"));
    QCOMPARE(cells[2]->text(), QString("-----"));
    QCOMPARE(cells[3]->text(), QString());         // a value type that is neither U8 nor U16
    QCOMPARE(cells[3]->valueType(), QString("S16"));
    QCOMPARE(cells[4]->count(), 0);
    QCOMPARE(cells[4]->text(), QString("Error"));  // no items
    QCOMPARE(row->comboIndexes().value(4), -1);
    QCOMPARE(row->chipColors[TableLine::ChipTMCode], QString("GREEN"));
    QCOMPARE(row->flatNumberStart, 0); // the last of CIPHER, TMCODE, TMFLAT, DBNAME and DBFLAT
}

void TestTableRows::flatCellsShowTheLogicalNumber_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("flatByte");
    QTest::addColumn<QString>("text");
    QTest::newRow("2048 keys (up to 0xFF): shifted number") << "RK4820_H65_EN.xlx" << 1 << 5 << "1005";
    QTest::newRow("special position without special flat") << "RK4820_U65_EN.xlx" << 3 << 245 << "-1";
}

// A flat cell shows the number the flat numbering gives, also beyond the column's range: shown as
// 0 it would be written back as flat 0 with the next edit of the key's code.
void TestTableRows::flatCellsShowTheLogicalNumber()
{
    QFETCH(QString, file);
    QFETCH(int, page);
    QFETCH(int, flatByte);
    QFETCH(QString, text);
    QByteArray bytes(8192, '\0');
    word(bytes, 42, 1000); // ShiftRange
    word(bytes, 48, 240);  // FlatMax
    word(bytes, 0x800, 0x1A2B);
    bytes[page == 1 ? 0x1800 : 0x1000] = char(flatByte);
    OperationBin image;
    image.loadHex(bytes.toHex());
    TablePageFixture fixture(shipped(file), page);
    fixture.build(&image, {QString(), QStringLiteral("42"), QString(), QStringLiteral("48"), {"50", "52", "54"}});
    MyTableWidgetItem *flat = fixture.row(1)->tmFlatCell();
    QCOMPARE(flat->text(), text);
    QCOMPARE(flat->acceptedText(), text);
    QCOMPARE(fixture.row(1)->tmCodeText(), QString("1A2B"));
}

// ---- key lookup ---------------------------------------------------------------------------------------------

void TestTableRows::keyLookup_data()
{
    QTest::addColumn<QString>("cellCode");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("holds");
    QTest::newRow("same") << "3BA1" << "3BA1" << true;
    QTest::newRow("lower case") << "3BA1" << "3ba1" << true;
    QTest::newRow("prefix") << "3BA1" << "0x3BA1" << true;
    QTest::newRow("other") << "3BA1" << "3BA2" << false;
    QTest::newRow("zero code") << "0000" << "0" << true;
    QTest::newRow("empty cell holds no code") << "-----" << "0000" << false;
    QTest::newRow("empty against empty") << "-----" << "-----" << false;
    QTest::newRow("ERROR matches nothing") << "-----" << "ERROR" << false;
}

void TestTableRows::keyLookup()
{
    QFETCH(QString, cellCode);
    QFETCH(QString, code);
    QFETCH(bool, holds);
    TableLine *row = built("RK4820_U65_EN.xlx", 3)->row(3);
    row->tmCodeCell()->setDisplayText(cellCode);
    QCOMPARE(row->hasTMCode(code), holds);
    QCOMPARE(row->tmCodeText(), cellCode);
}

void TestTableRows::rowQueries()
{
    TablePageFixture keys(shipped("RK4820_U65_EN.xlx"), 3);
    keys.build(&m_image, u65Numbering());
    TableLine *row = keys.row(1024);
    QCOMPARE(row->tmCodeText(), QString("-----"));
    QVERIFY(row->isCellEmpty(CellKeyCode));
    QVERIFY(!row->isCellEmpty(CellKeyFlat)); // an empty flat shows "-----", not "0"
    row->addTMCode("1A2B", false);
    QCOMPARE(row->tmCodeText(), QString("1A2B"));
    QVERIFY(!row->isCellEmpty(CellKeyCode));
    row->addTMCode("FFFF", false);
    QCOMPARE(row->tmCodeText(), QString("1A2B"));
    row->addTMCode("FFFF", true);
    QCOMPARE(row->tmCodeText(), QString("FFFF"));
    row->tmCodeCell()->setDisplayText("0000");
    QVERIFY(!row->isCellEmpty(CellKeyCode));
    row->addFlat("105");
    QCOMPARE(row->tmFlatText(), QString("105"));
    QVERIFY(row->hasFlat("105"));
    QVERIFY(!row->hasFlat("0105"));
    row->addFlat("0");
    QVERIFY(row->isCellEmpty(CellKeyFlat));
    QVERIFY(!row->textTableCell());
    QVERIFY(!row->hasTextTableCell());
    QCOMPARE(row->indexCell()->text(), QString("1023"));
    QCOMPARE(row->cellOfType(CellKeyFlat), row->tmFlatCell());
    QVERIFY(!row->cellOfType(CellCombo));

    TablePageFixture locks(shipped("RK4820_U65_EN.xlx"), 2);
    locks.build(&m_image, u65Numbering());
    TableLine *flat = locks.row(1);
    QCOMPARE(flat->cellOfType(CellCombo), flat->cells().at(8));
    QCOMPARE(flat->textTableCell(), flat->cells().at(1));
    QVERIFY(flat->hasTextTableCell());
    QCOMPARE(flat->tmCodeText(), QString());
    QCOMPARE(flat->tmFlatText(), QString());
    QVERIFY(!flat->hasTMCode("1234"));
    QVERIFY(!flat->hasFlat(""));
    flat->addFlat("5"); // no flat cell: nothing happens
    QCOMPARE(flat->comboItemLists().value(4), (QStringList{"[C] - Quiet", "[N] - Normal", "[G] - Loud", "[M] - Max"}));
    QCOMPARE(flat->comboItemLists().value(2), QStringList());
}

// ---- combo cells -----------------------------------------------------------------------------------------------

// A change of one combo cell colours it, marks the data, writes its field once (the other bits of
// the word stay) and shows the new item; the same index again does nothing.
void TestTableRows::comboChange()
{
    OperationBin image;
    image.loadHex(sampleImage().toHex());
    TablePageFixture fixture(shipped("RK4820_U65_EN.xlx"), 2);
    fixture.build(&image, u65Numbering());
    TableLine *row = fixture.row(1);
    MyTableWidgetItem *rings = row->cells().at(5);
    QCOMPARE(rings->currentIndex(), 4);
    const int before = image.readWord("1538");

    SignalLog log;
    log.watch(fixture.grid, &QTableWidget::cellChanged, "cellChanged");
    for (MyTableWidgetItem *cell : row->cells())
        if (cell->cellType() == CellCombo)
            log.watch(cell, &MyTableWidgetItem::comboIndex, "comboIndex");
    log.watch(row, &TableLine::binData, "binData");
    log.watch(row, &TableLine::indexComb, "indexComb");
    dataModified = false;

    rings->setCurrentIndex(6);
    // Colour (a cell change of the grid), write, then the new item's text; the log hears each
    // signal after the line's own slots have run.
    QCOMPARE(log.take(), (QStringList{"cellChanged(0,5)", "binData(\"1538:5-7\",6)", "comboIndex(5)",
                                      "cellChanged(0,5)", "indexComb(5,6)"}));
    QCOMPARE(image.readWord("1538"), (before & ~(7 << 5)) | 6 << 5);
    QCOMPARE(rings->text(), QString("7"));
    QCOMPARE(rings->foreground().color(), QColor(Qt::red));
    QVERIFY(dataModified);
    QCOMPARE(row->comboIndexes().value(5), 6);

    rings->setCurrentIndex(6);
    QCOMPARE(log.take(), QStringList());

    // The page's pop-up: a choice in the cell's box is the same change.
    dataModified = false;
    row->cells().at(3)->comboBox()->setCurrentIndex(0);
    QCOMPARE(log.take(), (QStringList{"cellChanged(0,3)", "binData(\"1538:0-2\",0)", "comboIndex(3)",
                                      "cellChanged(0,3)", "indexComb(3,0)"}));
    QCOMPARE(image.readWord("1538"), (before & ~(7 << 5) & ~7) | 6 << 5);
    QVERIFY(dataModified);

    // Another row writes its own word.
    fixture.row(254)->cells().at(4)->setCurrentIndex(2);
    QCOMPARE(image.readWord("2044"), 2 << 3);
    QCOMPARE(image.readWord("1538"), (before & ~(7 << 5) & ~7) | 6 << 5);
}

// An index outside the items (a pasted or imported number beyond them) writes nothing: all ones
// would turn a two-bit volume to its loudest item.
void TestTableRows::comboOutsideItems()
{
    OperationBin image;
    image.loadHex(sampleImage().toHex());
    TablePageFixture fixture(shipped("RK4820_U65_EN.xlx"), 2);
    fixture.build(&image, u65Numbering(), "Fehler");
    TableLine *row = fixture.row(254);
    MyTableWidgetItem *volume = row->cells().at(4);
    SignalLog log;
    log.watch(row, &TableLine::binData, "binData");
    log.watch(row, &TableLine::indexComb, "indexComb");
    const QByteArray before = image.image();
    volume->setCurrentIndex(7);
    QCOMPARE(volume->currentIndex(), -1);
    QCOMPARE(log.take(), QStringList{"indexComb(4,-1)"});
    QCOMPARE(volume->text(), QString("Fehler"));
    QVERIFY(image.image() == before);
    row->sendValueAddress(4, -1);
    row->updateBinData("2044:3-4", -1);
    QVERIFY(image.image() == before);
    // Back to an item: written as usual.
    volume->setCurrentIndex(1);
    QCOMPARE(log.take(), (QStringList{"binData(\"2044:3-4\",1)", "indexComb(4,1)"}));
    QCOMPARE(image.readWord("2044"), 1 << 3);
}

// ---- lifetimes ----------------------------------------------------------------------------------------------------

void TestTableRows::linesAndGridInEitherOrder_data()
{
    QTest::addColumn<bool>("linesFirst");
    QTest::newRow("lines first") << true;
    QTest::newRow("grid first") << false;
}

// Pages delete their lines and their widgets in either order; a combo cell's box shown over the
// grid goes with whichever goes first.
void TestTableRows::linesAndGridInEitherOrder()
{
    QFETCH(bool, linesFirst);
    OperationBin image;
    image.loadHex(sampleImage().toHex());
    auto *fixture = new TablePageFixture(shipped("RK4820_U65_EN.xlx"), 2);
    fixture->build(&image, u65Numbering());
    fixture->linesFirst = linesFirst;
    MyComboBox *box = fixture->row(1)->cells().at(4)->comboBox();
    box->setParent(fixture->grid->viewport());
    if (!linesFirst) {
        TableLine *row = fixture->row(1);
        delete fixture->container;
        fixture->container = nullptr;
        QVERIFY(!row->cells().at(4));
        QVERIFY(!row->tmCodeCell());
        QCOMPARE(row->tmCodeText(), QString());
        row->emitCombIndex();
    }
    delete fixture;
}

// Cells that no grid took belong to their line.
void TestTableRows::untakenCells()
{
    TablePageFixture fixture(shipped("RK4820_U65_EN.xlx"), 2);
    auto *never = new TableLine;
    never->setDefinition(0, 1, fixture.definition.get(), 2);
    never->setRowNumber(1);
    never->createLineItems();
    QCOMPARE(never->cells().size(), 9);
    delete never;

    MyTableWidget small(nullptr);
    small.setRowCount(1);
    small.setColumnCount(4);
    auto *row = new TableLine;
    row->setDefinition(0, 1, fixture.definition.get(), 2);
    row->setRowNumber(1);
    row->insertLine(0, &small);
    QCOMPARE(small.item(0, 3), row->cells().at(3));
    row->insertLine(0, &small); // once only
    QCOMPARE(row->cells().size(), 9);
    delete row;
    QVERIFY(small.item(0, 3));
}

QTEST_MAIN(TestTableRows)
#include "tst_tablerows.moc"
