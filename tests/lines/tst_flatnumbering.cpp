#include "operationbin.h"
#include "tableline.h"

#include <QtTest>

// Physical flat positions and logical flat numbers, both ways, with staircases (FlatUpStairs),
// a shift (ShiftRange), the served range (FlatMin, FlatMax) and the special flats.
class TestFlatNumbering : public QObject
{
    Q_OBJECT
private slots:
    void conversions_data();
    void conversions();
    void followsTheImage();
};

namespace {

enum Address { ShiftRange = 42, FlatUpStairs = 44, FlatMin = 46, FlatMax = 48, Specials = 50 };
const int Missing = -1; // the model has no such parameter: the page hands an empty address text

void putWord(QByteArray &image, int address, int value)
{
    image[address] = char(value >> 8);
    image[address + 1] = char(value);
}

}

void TestFlatNumbering::conversions_data()
{
    QTest::addColumn<int>("pnu");
    QTest::addColumn<int>("ilp");
    QTest::addColumn<int>("flatMin");
    QTest::addColumn<int>("flatMax");
    QTest::addColumn<int>("fns");
    QTest::addColumn<QList<int>>("specials");
    QTest::addColumn<QString>("conversion"); // "logical" of a physical number, "physical" of a logical one, "serviced"
    QTest::addColumn<uint>("number");
    QTest::addColumn<int>("result");          // serviced: 1 or 0

    const QList<int> three{300, 301, 302};
    auto add = [](const char *name, int pnu, int ilp, int min, int max, int fns, QList<int> specials, const char *conversion,
                  uint number, int result) {
        QTest::newRow(name) << pnu << ilp << min << max << fns << specials << conversion << number << result;
    };
    // The worked examples: FNS 241, special flats 300, 301 and 302.
    add("physical 0", 0, 0, 1, 240, 241, three, "logical", 0, -2);
    add("physical 1", 0, 0, 1, 240, 241, three, "logical", 1, 1);
    add("physical 240", 0, 0, 1, 240, 241, three, "logical", 240, 240);
    add("physical 241: special 1", 0, 0, 1, 240, 241, three, "logical", 241, 300);
    add("physical 243: special 3", 0, 0, 1, 240, 241, three, "logical", 243, 302);
    add("physical 244: no fourth special", 0, 0, 1, 240, 241, three, "logical", 244, -1);
    add("logical 300", 0, 0, 1, 240, 241, three, "physical", 300, 241);
    add("logical 17", 0, 0, 1, 240, 241, three, "physical", 17, 17);
    add("serviced 300", 0, 0, 1, 240, 241, three, "serviced", 300, 1);
    add("serviced 17", 0, 0, 1, 240, 241, three, "serviced", 17, 1);
    add("serviced 0", 0, 0, 1, 240, 241, three, "serviced", 0, 0);
    add("serviced 241", 0, 0, 1, 240, 241, three, "serviced", 241, 0);
    add("4 a staircase: physical 3", 4, 0, 1, 240, 241, three, "logical", 3, 3);
    add("4 a staircase: physical 4", 4, 0, 1, 240, 241, three, "logical", 4, 100);
    add("4 a staircase: physical 5", 4, 0, 1, 240, 241, three, "logical", 5, 101);
    add("4 a staircase: physical 7", 4, 0, 1, 240, 241, three, "logical", 7, 103);
    add("4 a staircase: physical 8", 4, 0, 1, 240, 241, three, "logical", 8, 200);
    add("4 a staircase: logical 101", 4, 0, 1, 240, 241, three, "physical", 101, 5);
    add("4 a staircase: serviced 105", 4, 0, 1, 240, 241, three, "serviced", 105, 0);
    add("10 a staircase: physical 9", 10, 0, 1, 240, 241, three, "logical", 9, 9);
    add("10 a staircase: physical 10", 10, 0, 1, 240, 241, three, "logical", 10, 100);
    add("10 a staircase: physical 25", 10, 0, 1, 240, 241, three, "logical", 25, 205);
    add("10 a staircase: physical 100", 10, 0, 1, 240, 241, three, "logical", 100, 1000);
    add("10 a staircase: physical 240", 10, 0, 1, 240, 241, three, "logical", 240, 2400);
    add("10 a staircase: logical 205", 10, 0, 1, 240, 241, three, "physical", 205, 25);
    add("10 a staircase: logical 1000", 10, 0, 1, 240, 241, three, "physical", 1000, 100);
    add("10 a staircase: logical 100", 10, 0, 1, 240, 241, three, "physical", 100, 10);
    add("10 a staircase: serviced 100", 10, 0, 1, 240, 241, three, "serviced", 100, 1);
    add("10 a staircase: serviced 205", 10, 0, 1, 240, 241, three, "serviced", 205, 1);
    add("10 a staircase: serviced 1000", 10, 0, 1, 240, 241, three, "serviced", 1000, 1);
    add("10 a staircase: serviced 2400", 10, 0, 1, 240, 241, three, "serviced", 2400, 1);
    add("10 a staircase: serviced 115", 10, 0, 1, 240, 241, three, "serviced", 115, 0);
    add("10 a staircase: serviced 2600", 10, 0, 1, 240, 241, three, "serviced", 2600, 0);
    add("10 a staircase: serviced 0", 10, 0, 1, 240, 241, three, "serviced", 0, 0);
    add("shift 1000: physical 5", 0, 1000, 1, 240, 241, three, "logical", 5, 1005);
    add("shift 1000: logical 1005", 0, 1000, 1, 240, 241, three, "physical", 1005, 5);
    add("shift 1000: serviced 3 (below the shift)", 0, 1000, 1, 240, 241, three, "serviced", 3, 0);
    add("shift 1000: serviced 1005", 0, 1000, 1, 240, 241, three, "serviced", 1005, 1);
    add("shift and staircase: physical 25", 10, 1000, 1, 240, 241, three, "logical", 25, 1205);
    add("shift and staircase: logical 1205", 10, 1000, 1, 240, 241, three, "physical", 1205, 25);
    add("shift and staircase: serviced 1205", 10, 1000, 1, 240, 241, three, "serviced", 1205, 1);
    add("shift and staircase: physical 0", 10, 1000, 1, 240, 241, three, "logical", 0, -2);
    add("special equal to a flat wins", 0, 0, 1, 240, 241, QList<int>{17}, "physical", 17, 241);
    add("first of two equal specials", 0, 0, 1, 240, 241, QList<int>{300, 300}, "physical", 300, 241);
    add("no special positions: staircase rule", 0, 0, 1, 240, 0, three, "logical", 241, 241);

    // Special flat i counts only at a real position: FNS > 0 and FNS + i at most 254.
    add("FNS 0: a special flat is no flat", 0, 0, 1, 240, 0, three, "serviced", 300, 0);
    add("FNS 251: special 4 would be 255", 0, 0, 1, 240, 251, QList<int>{300, 301, 302, 303, 304, 305}, "serviced", 304, 0);
    add("FNS 251: special 3 is 254", 0, 0, 1, 240, 251, QList<int>{300, 301, 302, 303, 304, 305}, "physical", 303, 254);
    add("FNS 251: position 255 is none", 0, 0, 1, 240, 251, QList<int>{300, 301, 302, 303, 304, 305}, "logical", 255, -1);
    add("FNS 251: position 254", 0, 0, 1, 240, 251, QList<int>{300, 301, 302, 303, 304, 305}, "logical", 254, 303);
    // A serviced number's physical number is 1 to 254, below FNS when there are special positions.
    add("no range: serviced 0", 0, 0, Missing, Missing, 0, {}, "serviced", 0, 0);
    add("no range: serviced 255", 0, 0, Missing, Missing, 0, {}, "serviced", 255, 0);
    add("no range: serviced 254", 0, 0, Missing, Missing, 0, {}, "serviced", 254, 1);
    add("range over special positions", 0, 0, 1, 255, 241, three, "serviced", 245, 0);
    add("staircase onto 255", 10, 0, 1, 240, 0, {}, "serviced", 2505, 0);
    add("staircase onto 254", 10, 0, 1, 240, 0, {}, "serviced", 2504, 1);
    add("staircase onto a special position", 10, 0, 1, 240, 241, three, "serviced", 2501, 0);
    // A model without flat numbering: not the word at address 0 (the serial number).
    add("missing parameters: physical 5", Missing, Missing, Missing, Missing, 255, {}, "logical", 5, 5);
    add("missing parameters: serviced 5", Missing, Missing, Missing, Missing, 255, {}, "serviced", 5, 1);
}

void TestFlatNumbering::conversions()
{
    QFETCH(int, pnu);
    QFETCH(int, ilp);
    QFETCH(int, flatMin);
    QFETCH(int, flatMax);
    QFETCH(int, fns);
    QFETCH(QList<int>, specials);
    QFETCH(QString, conversion);
    QFETCH(uint, number);
    QFETCH(int, result);

    QByteArray bytes(8192, '\0');
    putWord(bytes, 0, 27182); // the serial number
    QStringList addresses; // FlatUpStairs, ShiftRange, FlatMin, FlatMax
    const QList<QPair<int, int>> parameters{{FlatUpStairs, pnu}, {ShiftRange, ilp}, {FlatMin, flatMin}, {FlatMax, flatMax}};
    for (const auto &parameter : parameters) {
        addresses << (parameter.second == Missing ? QString() : QString::number(parameter.first));
        if (parameter.second != Missing)
            putWord(bytes, parameter.first, parameter.second);
    }
    QStringList specialAddresses;
    for (int i = 0; i < specials.size(); ++i) {
        specialAddresses << QString::number(Specials + 2 * i);
        putWord(bytes, Specials + 2 * i, specials[i]);
    }
    OperationBin image;
    image.loadHex(bytes.toHex());
    TableLine line;
    line.setImage(&image);
    line.setFlatParamAddresses(addresses[0], addresses[1], addresses[2], addresses[3], specialAddresses);
    line.setFlatNumberStart(fns);
    if (conversion == QLatin1String("logical"))
        QCOMPARE(line.physicalToLogicalFlat(number), result);
    else if (conversion == QLatin1String("physical"))
        QCOMPARE(line.logicalToPhysicalFlat(number), result);
    else
        QCOMPARE(int(line.isFlatServiced(number)), result);
}

// Every conversion reads the parameters from the image as it stands.
void TestFlatNumbering::followsTheImage()
{
    OperationBin image;
    image.loadHex(QByteArray(8192, '\0').toHex());
    TableLine line;
    line.setImage(&image);
    line.setFlatParamAddresses("44", "42", "46", "48", {"50"});
    line.setFlatNumberStart(241);
    image.writeInt16("48", 240);
    QCOMPARE(line.physicalToLogicalFlat(5), 5);
    QVERIFY(!line.isFlatServiced(1005));
    image.writeInt16("42", 1000);
    QCOMPARE(line.physicalToLogicalFlat(5), 1005);
    QVERIFY(line.isFlatServiced(1005));
    QCOMPARE(line.physicalToLogicalFlat(241), 0);
    image.writeInt16("50", 300);
    QCOMPARE(line.physicalToLogicalFlat(241), 300);
    QCOMPARE(line.logicalToPhysicalFlat(300), 241);
    image.writeInt16("44", 10);
    QCOMPARE(line.physicalToLogicalFlat(25), 1205);
}

QTEST_MAIN(TestFlatNumbering)
#include "tst_flatnumbering.moc"
