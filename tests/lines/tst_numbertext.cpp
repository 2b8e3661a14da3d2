#include "numbertext.h"
#include "validators.h"

#include <QtTest>

class TestNumberText : public QObject
{
    Q_OBJECT
private slots:
    void format_data();
    void format();
    void baseOfFormat_data();
    void baseOfFormat();
    void parse_data();
    void parse();
    void validators_data();
    void validators();
};

void TestNumberText::format_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    // The formats of the shipped definition files print as printf prints them.
    QTest::newRow("%04d") << "%04d" << 7 << "0007";
    QTest::newRow("%04d wide") << "%04d" << 12345 << "12345";
    QTest::newRow("%04X") << "%04X" << 255 << "00FF";
    QTest::newRow("%04x") << "%04x" << 0x3ba1 << "3ba1";
    QTest::newRow("%d") << "%d" << -42 << "-42";
    QTest::newRow("empty") << "" << 42 << "42";
    QTest::newRow("literal text and %%") << "L%%=%3d!" << 5 << "L%=  5!";
    QTest::newRow("left aligned") << "[%-4d]" << 5 << "[5   ]";
    QTest::newRow("plus") << "%+d" << 5 << "+5";
    QTest::newRow("zero pad after sign") << "%05d" << -5 << "-0005";
    QTest::newRow("alternate hex") << "%#06x" << 255 << "0x00ff";
    QTest::newRow("octal") << "%o" << 8 << "10";
    QTest::newRow("unsigned of negative") << "%u" << -1 << "4294967295";
    QTest::newRow("%i") << "%i" << 9 << "9";
    // Base 2 prints the value's own digits, padded to the width, at any size.
    QTest::newRow("%08b") << "%08b" << 5 << "00000101";
    QTest::newRow("%08b 1024") << "%08b" << 1024 << "10000000000";
    QTest::newRow("%b 0") << "%b" << 0 << "0";
    QTest::newRow("%08B") << "%08B" << 6 << "00000110";
    // Anything printf would read as another conversion, or more than one, prints the decimal.
    QTest::newRow("%s") << "%s" << 12 << "12";
    QTest::newRow("%n") << "%n" << 12 << "12";
    QTest::newRow("two conversions") << "%d%d" << 12 << "12";
    QTest::newRow("precision") << "%.3d" << 12 << "12";
    QTest::newRow("length modifier") << "%ld" << 12 << "12";
    QTest::newRow("no conversion") << "30" << 12 << "12";
    QTest::newRow("only %%") << "%%" << 12 << "12";
    QTest::newRow("trailing %") << "%04d%" << 12 << "12";
    QTest::newRow("huge width") << "%999999999d" << 12 << "12";
}

void TestNumberText::format()
{
    QFETCH(QString, format);
    QFETCH(int, value);
    QFETCH(QString, expected);
    QCOMPARE(NumberText::format(format, value), expected);
}

void TestNumberText::baseOfFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("base");
    QTest::newRow("%04X") << "%04X" << 16;
    QTest::newRow("%04d") << "%04d" << 10;
    QTest::newRow("%d") << "%d" << 10;
    QTest::newRow("%08b") << "%08b" << 2;
    QTest::newRow("%08B") << "%08B" << 2;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("d before x") << "%x %d" << 10;
    QTest::newRow("bare length") << "30" << 0;
}

void TestNumberText::baseOfFormat()
{
    QFETCH(QString, format);
    QFETCH(int, base);
    QCOMPARE(NumberText::baseOfFormat(format), base);
}

void TestNumberText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("base");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "0042" << 10 << true << 42;
    QTest::newRow("negative") << "-7" << 10 << true << -7;
    QTest::newRow("hex") << "3ba1" << 16 << true << 0x3ba1;
    QTest::newRow("hex prefix") << "0xFF" << 16 << true << 255;
    QTest::newRow("prefix not in base 10") << "0x10" << 10 << false << 0;
    QTest::newRow("binary") << "101" << 2 << true << 5;
    QTest::newRow("not binary") << "102" << 2 << false << 0;
    QTest::newRow("group separator") << "1,000" << 10 << false << 0;
    QTest::newRow("blank") << " 12" << 10 << false << 0;
    QTest::newRow("empty") << "" << 10 << false << 0;
    QTest::newRow("empty cell") << "-----" << 10 << false << 0;
    QTest::newRow("base 0 reads decimal") << "12" << 0 << true << 12;
    QTest::newRow("too large") << "99999999999" << 10 << false << 0;
}

void TestNumberText::parse()
{
    QFETCH(QString, text);
    QFETCH(int, base);
    QFETCH(bool, ok);
    QFETCH(int, value);
    bool parsed = !ok;
    QCOMPARE(NumberText::parse(text, base, &parsed), value);
    QCOMPARE(parsed, ok);
}

void TestNumberText::validators_data()
{
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");
    const int A = QValidator::Acceptable, I = QValidator::Intermediate, N = QValidator::Invalid;
    QTest::newRow("int empty cell") << 10 << 0 << 9999 << "-----" << A;
    QTest::newRow("int empty") << 10 << 0 << 9999 << "" << A;
    QTest::newRow("int dot") << 10 << 0 << 9999 << "." << A;
    QTest::newRow("int top") << 10 << 0 << 9999 << "9999" << A;
    QTest::newRow("int above") << 10 << 0 << 9999 << "10000" << N;
    QTest::newRow("int negative") << 10 << 0 << 9999 << "-1" << N;
    QTest::newRow("int letters") << 10 << 0 << 9999 << "abc" << N;
    QTest::newRow("int group separator") << 10 << 0 << 9999 << "1,000" << N;
    QTest::newRow("int blank") << 10 << 0 << 9999 << "1 0" << N;
    QTest::newRow("int empty cell below 1") << 10 << 1 << 9999 << "-----" << N;
    QTest::newRow("int 0 below 1") << 10 << 1 << 9999 << "0" << N;
    QTest::newRow("int empty with 1..") << 10 << 1 << 9999 << "" << A;
    QTest::newRow("hex empty cell") << 16 << 0 << 0xFFFF << "-----" << A;
    QTest::newRow("hex empty") << 16 << 0 << 0xFFFF << "" << A;
    QTest::newRow("hex ffff") << 16 << 0 << 0xFFFF << "ffff" << A;
    QTest::newRow("hex 00FF") << 16 << 0 << 0xFFFF << "00FF" << A;
    QTest::newRow("hex above") << 16 << 0 << 0xFFFF << "10000" << N;
    QTest::newRow("hex G1") << 16 << 0 << 0xFFFF << "G1" << N;
    QTest::newRow("hex group separator") << 16 << 0 << 0xFFFF << "1,0" << N;
    QTest::newRow("hex empty below 1") << 16 << 1 << 0xFFFF << "" << N;
    QTest::newRow("bin in range") << 2 << 4 << 7 << "101" << A;
    QTest::newRow("bin below while typing") << 2 << 4 << 7 << "11" << I;
    QTest::newRow("bin above") << 2 << 4 << 7 << "1000" << N;
    QTest::newRow("bin not base 2") << 2 << 4 << 7 << "12" << N;
    QTest::newRow("bin 0 below range") << 2 << 4 << 7 << "0" << N;
    QTest::newRow("bin empty below range") << 2 << 4 << 7 << "" << N;
    QTest::newRow("bin empty cell below range") << 2 << 4 << 7 << "-----" << N;
    QTest::newRow("bin 0 in range") << 2 << 0 << 7 << "0" << A;
    QTest::newRow("bin empty in range") << 2 << 0 << 7 << "" << A;
    QTest::newRow("bin empty cell in range") << 2 << 0 << 7 << "-----" << A;
    QTest::newRow("bin group separator") << 2 << 0 << 7 << "1,0" << N;
    QTest::newRow("edit decimal partial") << 0 << 5 << 9999 << "3" << I;
    QTest::newRow("edit decimal in range") << 0 << 5 << 9999 << "0012" << A;
    QTest::newRow("edit decimal group separator") << 0 << 0 << 9999 << "1,000" << N;
    QTest::newRow("edit decimal above") << 0 << 0 << 9999 << "10000" << N;
    QTest::newRow("edit decimal above, as many digits as the maximum") << 0 << 0 << 255 << "300" << N;
    QTest::newRow("edit decimal above, leading zero") << 0 << 0 << 255 << "0256" << N;
    QTest::newRow("edit decimal at the maximum") << 0 << 0 << 255 << "255" << A;
    QTest::newRow("edit decimal negative still on its way down") << 0 << -100 << -10 << "-5" << I;
}

void TestNumberText::validators()
{
    QFETCH(int, base);
    QFETCH(int, bottom);
    QFETCH(int, top);
    QFETCH(QString, text);
    QFETCH(int, state);
    QObject owner;
    QValidator *validator = nullptr;
    switch (base) {
    case 10: validator = new MyIntValidator(bottom, top, &owner); break;
    case 16: validator = new MyHexValidator(bottom, top, &owner); break;
    case 2: validator = new MyBinValidator(bottom, top, &owner); break;
    default: validator = new DecimalEditValidator(bottom, top, &owner); break;
    }
    QString input = text;
    int pos = input.size();
    QCOMPARE(int(validator->validate(input, pos)), state);
    QCOMPARE(input, text);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
