#include "operationbin.h"
#include "pagefixture.h"
#include "xmldefinition.h"

#include <QtTest>

namespace {

using Files = DefinitionFiles;

const QString Head = QStringLiteral("<TEXT WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"Group\"/>");
const QString Label = QStringLiteral("<TEXT WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"Note\"/>");

QString edit(const QString &uid, const QString &address, const QString &format = QString())
{
    return Files::edit(uid, address, 0, format);
}

QString combo(const QString &uid, const QString &address)
{
    return QStringLiteral("<CBEDIT WIDTH=\"160\" POS=\"LEFT\" FTCOL=\"11px/black/\" FTCOL_DIF=\"red\" VTYPE=\"U16\" "
                          "VINIT=\"5265\" EEADDR=\"%2\" VALUE_LIST=\"5265/15265/\" TEXT_LIST=\"RK4820 U65/RK4820 H65/\" "
                          "UID=\"%1\" STYLE_DIFF=\"color:red\"/>")
        .arg(uid, address);
}

QString textEdit(const QString &uid, const QString &address)
{
    return QStringLiteral("<EDIT WIDTH=\"240\" POS=\"LEFT\" FTCOL=\"11px/black/\" FTCOL_DIF=\"red\" VTYPE=\"STRING\" VMIN=\"0\" "
                          "VMAX=\"0\" VINIT=\"\" UID=\"%1\" EEADDR=\"%2\" FORMAT=\"30\" STYLE_DIFF=\"color:red\"/>")
        .arg(uid, address);
}

QString value(const QString &uid, const QString &address)
{
    return QStringLiteral("<VALUE WIDTH=\"80\" POS=\"CENTER\" FTCOL=\"11px/black/\" UID=\"%1\" VTYPE=\"U16\" EEADDR=\"%2\" "
                          "SIZE=\"2\"/>")
        .arg(uid, address);
}

// The image the fixtures read: serial number 42 at 0, model word 15265 at 0x000E, block 3 at 8,
// "Main Street 5" at 0x0100.
void fillImage(OperationBin &image)
{
    image.loadHex(QByteArray(512, '\0').toHex());
    image.writeInt16(QStringLiteral("0"), 42);
    image.writeInt16(QStringLiteral("0x000E"), 15265);
    image.writeInt16(QStringLiteral("8"), 3);
    image.writeText(QStringLiteral("30"), QStringLiteral("Main Street 5"), QStringLiteral("0x0100"));
}

}

class TestTreeQueries : public QObject
{
    Q_OBJECT
private slots:
    void queries_data();
    void queries();
    void sampleFirstPage();
    void addressesKeptWithoutAMatch();
    void flatParameters();
};

void TestTreeQueries::queries_data()
{
    QTest::addColumn<QString>("headLines");
    // FlatUpStairs, ShiftRange, FlatMin, FlatMax, blocNumber addresses; special-flat addresses
    // joined by "|"; SN, IDD, IDO, blocNumber values.
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing to find")
        << Files::headLine(Head, {Label, edit(QString(), QStringLiteral("10"))})
        << QStringList{"", "", "", "", "", "", "", "", "", ""};
    QTest::newRow("one of each")
        << Files::headLine(Head, {edit("FlatUpStairs", "44"), edit("ShiftRange", "42"), edit("FlatMin", "46"),
                                  edit("FlatMax", "48"), edit("blocNumber", "8"), edit("SN", "0", "%05d"),
                                  combo("IDD", "0x000E"), textEdit("IDO", "0x0100")})
        << QStringList{"44", "42", "46", "48", "8", "", "00042", "RK4820 H65", "Main Street 5", "3"};
    QTest::newRow("the last match wins")
        << Files::headLine(Head, {edit("FlatUpStairs", "44"), edit("SN", "8")})
               + Files::headLine(Head, {edit("FlatUpStairs", "0x30"), edit("SN", "0")})
        << QStringList{"0x30", "", "", "", "", "", "42", "", "", ""};
    QTest::newRow("-1 and empty answers never overwrite")
        << Files::headLine(Head, {edit("FlatMax", "48"), edit(QString(), "10"), Label})
        << QStringList{"", "", "", "48", "", "", "", "", "", ""};
    QTest::newRow("an empty EEADDR is skipped")
        << Files::headLine(Head, {edit("FlatMin", "46"), edit("FlatMin", "")})
        << QStringList{"", "", "46", "", "", "", "", "", "", ""};
    QTest::newRow("serial number on a head line, addresses not")
        << Files::headLine(Head + edit("SN", "0", "%05d")) + Files::headLine(Head + edit("FlatUpStairs", "44"))
        << QStringList{"", "", "", "", "", "", "00042", "", "", ""};
    QTest::newRow("serial number as a value display")
        << Files::headLine(Head, {value("SN", "0")}) << QStringList{"", "", "", "", "", "", "42", "", "", ""};
    QTest::newRow("IDD in a number editor")
        << Files::headLine(Head, {edit("IDD", "0x000E", "%04X")})
        << QStringList{"", "", "", "", "", "", "", "3BA1", "", ""};
    QTest::newRow("special flats in file order, head lines left out")
        << Files::headLine(Head + edit("L_9", "90"), {edit("L_2", "52"), edit(QString(), "10")})
               + Files::headLine(Head, {edit("L_1", "0x32")})
        << QStringList{"", "", "", "", "", "52|0x32", "", "", "", ""};
}

void TestTreeQueries::queries()
{
    QFETCH(QString, headLines);
    QFETCH(QStringList, expected);

    DefinitionFiles files;
    XmlDefinition definition(files.write(Files::treePage(QStringLiteral("Queries"), headLines)));
    OperationBin image;
    fillImage(image);
    MainWindowStandIn main;
    std::unique_ptr<Page> page(main.addPage(&definition, &image));
    page->createTreePage(0);

    const QStringList got{page->getFlatUpStairsAddress(), page->getShiftRangeAddress(), page->getFlatMinAddress(),
                          page->getFlatMaxAddress(), page->getBlocNumberAddress(),
                          page->getSpecialFlatAddresses().join(QLatin1Char('|')), page->getSerialNumber(),
                          page->getDataTypeId(), page->getObjectId(), page->getBlocNumber()};
    QCOMPARE(got, expected);
    QCOMPARE(page->getFlatUpStairsAddress(), expected[0]); // a second call answers the same
}

void TestTreeQueries::sampleFirstPage()
{
    QDir::setCurrent(dataRoot());
    XmlDefinition definition(sampleDefinition(QStringLiteral("U65")));
    OperationBin image;
    image.loadFile(sampleImage(QStringLiteral("U65")));
    MainWindowStandIn main;
    std::unique_ptr<Page> page(main.addPage(&definition, &image));
    page->createTreePage(0);
    QCOMPARE(page->getFlatUpStairsAddress(), QStringLiteral("44"));
    QCOMPARE(page->getShiftRangeAddress(), QStringLiteral("42"));
    QCOMPARE(page->getFlatMinAddress(), QStringLiteral("46"));
    QCOMPARE(page->getFlatMaxAddress(), QStringLiteral("48"));
    QCOMPARE(page->getBlocNumberAddress(), QStringLiteral("8"));
    QStringList special;
    for (int i = 0; i < 14; ++i)
        special << QString::number(50 + 2 * i);
    QCOMPARE(page->getSpecialFlatAddresses(), special);
    QCOMPARE(page->getDataTypeId(), QStringLiteral("RK4820 U65"));
    QVERIFY(!page->getSerialNumber().isEmpty());
}

void TestTreeQueries::addressesKeptWithoutAMatch()
{
    // A table page (no lines) answers what was handed over; so does a tree page without the line.
    MainWindowStandIn main;
    OperationBin image;
    std::unique_ptr<Page> table(main.addPage(nullptr, &image));
    table->setFlatParameters("8", "44", "42", "46", "48", {"50", "52"});
    QCOMPARE(table->getBlocNumberAddress(), QStringLiteral("8"));
    QCOMPARE(table->getFlatUpStairsAddress(), QStringLiteral("44"));
    QCOMPARE(table->getShiftRangeAddress(), QStringLiteral("42"));
    QCOMPARE(table->getFlatMinAddress(), QStringLiteral("46"));
    QCOMPARE(table->getFlatMaxAddress(), QStringLiteral("48"));
    QVERIFY(table->getSpecialFlatAddresses().isEmpty()); // asked of the lines, not the hand-over
    QVERIFY(table->getSerialNumber().isEmpty());
}

void TestTreeQueries::flatParameters()
{
    MainWindowStandIn main;
    std::unique_ptr<Page> page(main.addPage(nullptr, nullptr));
    QCOMPARE(page->specialFlatCount(), 0);
    page->setFlatParameters("8", "44", "42", "46", "48", {"50", "52", "54"});
    QCOMPARE(page->specialFlatCount(), 3);
    QCOMPARE(page->specialFlatAddresses(), (QStringList{"50", "52", "54"}));
    page->setFlatParameters("", "", "", "", "", {});
    QCOMPARE(page->specialFlatCount(), 0);
    QVERIFY(page->getFlatUpStairsAddress().isEmpty());
    QVERIFY(page->specialFlatItems().isEmpty());
}

QTEST_MAIN(TestTreeQueries)
#include "tst_treequeries.moc"
