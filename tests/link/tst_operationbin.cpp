#include "../testfiles.h"
#include "globals.h"
#include "operationbin.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// An image of the given size, all bytes 0 but those given as (address, byte) pairs.
QByteArray bytesWith(int size, std::initializer_list<std::pair<int, int>> set)
{
    QByteArray bytes(size, '\0');
    for (const auto &p : set)
        bytes[p.first] = static_cast<char>(p.second);
    return bytes;
}

void loadBytes(OperationBin &bin, const QByteArray &bytes)
{
    bin.loadHex(bytes.toHex());
}

// A device whose writes fail after a given number of bytes.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 room) : m_room(room) {}
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        const qint64 n = qMin(len, m_room - written.size());
        if (n <= 0)
            return -1;
        written.append(data, int(n));
        return n;
    }

private:
    qint64 m_room;
};

}

// Hears of failed saves as the main window does: connected by the signal's signature, it reads
// what the save met from the image.
class SaveErrorListener : public QObject
{
    Q_OBJECT

public:
    explicit SaveErrorListener(OperationBin *bin) : m_bin(bin)
    {
        connected = connect(bin, SIGNAL(errorWriteFile()), this, SLOT(errorWriteFile()));
    }
    bool connected = false;
    QStringList heard; // "path | reason" of each failed save

public slots:
    void errorWriteFile() { heard << m_bin->failedSavePath() + QLatin1String(" | ") + m_bin->failedSaveReason(); }

private:
    OperationBin *m_bin;
};

class TestOperationBin : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void bits_data();
    void bits();
    void nothingBeforeFirstLoad();
    void centerText_data();
    void centerText();
    void textFields_data();
    void textFields();
    void loadHex_data();
    void loadHex();
    void imageFiles();
    void loadSources_data();
    void loadSources();
    void saveOverLongerFile();
    void failedSaves_data();
    void failedSaves();
    void failedDeviceSaves();
    void writtenInPlaceInFolderWithoutWriteAccess();
    void roundTrip_data();
    void roundTrip();
    void keyRecord_data();
    void keyRecord();
};

// ---- reads: address forms and widths ---------------------------------------------------------

void TestOperationBin::reads_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");

    // Fixture: 0x3B 0xA1 at 14/15, 0xFF at 20, 0x07 0x08 at 0/1, 0x55 at the last byte (63).
    QTest::newRow("U16 hex address") << "U16" << "0x000E" << "15265";
    QTest::newRow("U16 bare hex digits are no address") << "U16" << "e" << "1800";
    QTest::newRow("U16 x inside") << "U16" << "0xe" << "15265";
    QTest::newRow("U16 decimal") << "U16" << "14" << "15265";
    QTest::newRow("U16 uppercase X reads 0") << "U16" << "0X000E" << "1800";
    QTest::newRow("U16 not a number reads 0") << "U16" << "abc" << "1800";
    QTest::newRow("U16 overflow reads 0") << "U16" << "0x1ffffffff" << "1800";
    QTest::newRow("U16 last byte high, 0 low") << "U16" << "63" << "21760";
    QTest::newRow("U16 past end") << "U16" << "64" << "0";
    QTest::newRow("U16 far past end") << "U16" << "0xFFFF" << "0";
    QTest::newRow("U8 reads the byte") << "U8" << "0x000E" << "59";
    QTest::newRow("other type reads 0") << "STRING" << "14" << "0";
    QTest::newRow("word decimal") << "word" << "14" << "15265";
    QTest::newRow("word ignores hex form") << "word" << "0x0E" << "1800";
    QTest::newRow("hexword") << "hexword" << "0x000E" << "3ba1";
    QTest::newRow("hexword last byte only") << "hexword" << "63" << "55";
    QTest::newRow("hexword past end") << "hexword" << "64" << "";
    QTest::newRow("idword") << "idword" << "0x000E" << "3ba1";
    QTest::newRow("byte") << "byte" << "20" << "255";
    QTest::newRow("bytetext 255") << "bytetext" << "20" << "255";
    QTest::newRow("bytetext 59") << "bytetext" << "0x0E" << "59";
    QTest::newRow("bytetext past end") << "bytetext" << "100" << "0";
    QTest::newRow("negative reads 0") << "byte" << "-3" << "7";
    // Only a text that is entirely a number is one.
    QTest::newRow("blank before reads 0") << "U16" << " 14" << "1800";
    QTest::newRow("blank after reads 0") << "U16" << "14 " << "1800";
    QTest::newRow("plus sign reads 0") << "U16" << "+14" << "1800";
    QTest::newRow("blank after 0x reads 0") << "U16" << "0x e" << "1800";
    QTest::newRow("second 0x reads 0") << "U16" << "0x0x0e" << "1800";
    QTest::newRow("idword second 0x reads 0") << "idword" << "0x0x0E" << "0708";
    // The largest address there is: nothing past it is read.
    QTest::newRow("word at the largest int") << "word" << "2147483647" << "0";
    QTest::newRow("U16 at the largest int") << "U16" << "0x7fffffff" << "0";
}

void TestOperationBin::reads()
{
    QFETCH(QString, op);
    QFETCH(QString, address);
    QFETCH(QString, expected);
    OperationBin bin;
    loadBytes(bin, bytesWith(64, {{0, 0x07}, {1, 0x08}, {14, 0x3B}, {15, 0xA1}, {20, 0xFF}, {63, 0x55}}));
    QString got;
    if (op == "word")
        got = QString::number(bin.readWord(address));
    else if (op == "hexword")
        got = bin.readHexWord(address);
    else if (op == "idword")
        got = bin.readIdWord(address);
    else if (op == "byte")
        got = QString::number(bin.readByte(address));
    else if (op == "bytetext")
        got = bin.readByteText(address);
    else
        got = QString::number(bin.readTypedValue(op, address));
    QCOMPARE(got, expected);
    QCOMPARE(bin.image().size(), 64);   // reads never extend the image
}

// ---- writes: words, bytes, growth and refused addresses --------------------------------------

void TestOperationBin::writes_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("size");          // image size before the write
    QTest::addColumn<QByteArray>("expected"); // the whole image after it

    const QByteArray four(4, '\0');
    QTest::newRow("int16 keeps low 16 bits") << "int16" << "1" << "74565" << 4 << QByteArray::fromHex("00234500");
    QTest::newRow("int8 keeps low 8 bits") << "int8" << "0x2" << "300" << 4 << QByteArray::fromHex("00002c00");
    QTest::newRow("hexword") << "hexword" << "0x0" << "3ba1" << 4 << QByteArray::fromHex("3ba10000");
    QTest::newRow("hexword 0x prefix") << "hexword" << "2" << "0xBEEF" << 4 << QByteArray::fromHex("0000beef");
    QTest::newRow("hexword not a number writes 0") << "hexword" << "0" << "zz" << 4 << four;
    QTest::newRow("idword") << "idword" << "0x0001" << "0x3BA1" << 4 << QByteArray::fromHex("003ba100");
    QTest::newRow("word at end extends by two") << "int16" << "4" << "0x0102" << 4 << QByteArray::fromHex("000000000102");
    QTest::newRow("gap is zero-filled") << "int8" << "6" << "9" << 4 << QByteArray::fromHex("00000000000009");
    QTest::newRow("unparsable address writes nothing") << "int16" << "abc" << "0x1234" << 4 << four;
    QTest::newRow("uppercase X writes nothing") << "int16" << "0X0001" << "4660" << 4 << four;
    QTest::newRow("empty address writes nothing") << "int8" << "" << "1" << 4 << four;
    QTest::newRow("negative address writes nothing") << "int8" << "-1" << "1" << 4 << four;
    QTest::newRow("beyond 16-bit space writes nothing") << "int8" << "65536" << "1" << 4 << four;
    QTest::newRow("word across the space's end writes nothing") << "int16" << "0xFFFF" << "1" << 4 << four;
    QTest::newRow("blank before writes nothing") << "int8" << " 2" << "1" << 4 << four;
    QTest::newRow("blank after writes nothing") << "int8" << "2 " << "1" << 4 << four;
    QTest::newRow("plus sign writes nothing") << "int8" << "+2" << "1" << 4 << four;
    QTest::newRow("blank after 0x writes nothing") << "int16" << "0x 2" << "1" << 4 << four;
    QTest::newRow("second 0x writes nothing") << "int16" << "0x0x2" << "1" << 4 << four;
    QTest::newRow("idword second 0x writes nothing") << "idword" << "0x0x2" << "0x3BA1" << 4 << four;
}

void TestOperationBin::writes()
{
    QFETCH(QString, op);
    QFETCH(QString, address);
    QFETCH(QString, value);
    QFETCH(int, size);
    QFETCH(QByteArray, expected);
    OperationBin bin;
    loadBytes(bin, QByteArray(size, '\0'));
    dataModified = false;
    if (op == "int16")
        bin.writeInt16(address, value.toInt(nullptr, 0));
    else if (op == "int8")
        bin.writeInt8(address, value.toInt());
    else if (op == "hexword")
        bin.writeHexWord(value, address);
    else if (op == "idword")
        bin.writeIdWord(address, value);
    QCOMPARE(bin.image().toHex(), expected.toHex());
    QVERIFY(!dataModified);   // the image never marks edits itself
}

// ---- bits and bit fields ---------------------------------------------------------------------

void TestOperationBin::bits_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("value");           // value written, or expected read
    QTest::addColumn<QByteArray>("before");   // bytes at 20/21 (bit ops) or 1536/1537 (fields)
    QTest::addColumn<QByteArray>("after");

    auto b = [](const char *hex) { return QByteArray::fromHex(hex); };
    QTest::newRow("setbit low byte") << "setbit" << "20:3" << 1 << b("0000") << b("0008");
    QTest::newRow("clearbit high byte") << "setbit" << "20:11" << 0 << b("ffff") << b("f7ff");
    QTest::newRow("other text leaves bit") << "setbit" << "20:3" << 2 << b("0008") << b("0008");
    QTest::newRow("bit 16 refused") << "setbit" << "20:16" << 1 << b("0000") << b("0000");
    QTest::newRow("readbit low") << "readbit" << "20:3" << 1 << b("0008") << b("0008");
    QTest::newRow("readbit high") << "readbit" << "20:8" << 1 << b("0100") << b("0100");
    QTest::newRow("readbit clear") << "readbit" << "20:0" << 0 << b("01fe") << b("01fe");
    QTest::newRow("read field low byte") << "readbits" << "1536:5-7" << 5 << b("00a0") << b("00a0");
    QTest::newRow("read field high byte") << "readbits" << "1536:8-9" << 3 << b("0300") << b("0300");
    QTest::newRow("read field across 7/8") << "readbits" << "1536:6-9" << 15 << b("03c0") << b("03c0");
    QTest::newRow("read malformed field") << "readbits" << "1536:5" << 0 << b("ffff") << b("ffff");
    QTest::newRow("write field high byte") << "writebits" << "1536:8-10" << 5 << b("f8ff") << b("fdff");
    QTest::newRow("write field across 7/8") << "writebits" << "1536:6-9" << 15 << b("0000") << b("03c0");
    QTest::newRow("write field clears zeros") << "writebits" << "1536:0-2" << 1 << b("0007") << b("0001");
    QTest::newRow("write field keeps others") << "writebits" << "1536:3-4" << 2 << b("ffff") << b("fff7");
    QTest::newRow("write field masks value") << "writebits" << "1536:0-1" << 7 << b("0000") << b("0003");
    QTest::newRow("write reversed field refused") << "writebits" << "1536:4-2" << 1 << b("0000") << b("0000");
    QTest::newRow("write field past bit 15 refused") << "writebits" << "1536:14-16" << 1 << b("0000") << b("0000");
    // Any int is masked to the field, the sign bit and the bits shifted past it included.
    QTest::newRow("write field -1 sets the field") << "writebits" << "1536:3-5" << -1 << b("0000") << b("0038");
    QTest::newRow("write field of the largest int") << "writebits" << "1536:8-15" << 0x7FFFFFFF << b("0000") << b("ff00");
    QTest::newRow("write field of the smallest int") << "writebits" << "1536:0-15" << int(0x80000000) << b("ffff") << b("0000");
    // A word address that is not a number: a read takes address 0 (the fixture's word), a write
    // changes nothing.
    QTest::newRow("readbit unparsable reads address 0") << "readbit" << "abc" << 1 << b("0001") << b("0001");
    QTest::newRow("readbit blank word reads address 0") << "readbit" << " 20:3" << 1 << b("0008") << b("0008");
    QTest::newRow("read field unparsable word reads address 0") << "readbits" << "x:0-7" << 0x55 << b("0055") << b("0055");
    QTest::newRow("setbit blank word refused") << "setbit" << " 20:3" << 1 << b("0000") << b("0000");
    QTest::newRow("write field signed word refused") << "writebits" << "+1536:0-2" << 5 << b("0000") << b("0000");
}

void TestOperationBin::bits()
{
    QFETCH(QString, op);
    QFETCH(QString, address);
    QFETCH(int, value);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const int word = OperationBin::specAddress(address);
    QByteArray image(2048, '\0');
    image.replace(word, 2, before);
    OperationBin bin;
    loadBytes(bin, image);
    if (op == "setbit")
        bin.writeBit(address, QString::number(value));
    else if (op == "writebits")
        bin.writeBits(address, value);
    else if (op == "readbit")
        QCOMPARE(bin.readBit("U16", address), value);
    else
        QCOMPARE(bin.readBits(address), value);
    QByteArray expected = image;
    expected.replace(word, 2, after);
    QCOMPARE(bin.image().toHex(), expected.toHex());
}

void TestOperationBin::nothingBeforeFirstLoad()
{
    OperationBin bin;
    bin.prepareBuffer();   // the main window's step before a Send opens nothing for writes
    bin.writeInt16("0", 0x1234);
    bin.writeText("4", "AB", "0");
    bin.writeBits("0:0-3", 5);
    QVERIFY(bin.image().isEmpty());
    QCOMPARE(bin.readTypedValue("U16", "0"), 0);
    QCOMPARE(bin.readText("4", "0"), QString());
    QCOMPARE(bin.readHexWord("0"), QString());
    QCOMPARE(bin.bitFieldWidth("1536:5-7"), 3);
    QCOMPARE(bin.firstBit(), 5);
}

// ---- text fields -----------------------------------------------------------------------------

void TestOperationBin::centerText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("odd space at the end") << "AB" << 5 << " AB  ";
    QTest::newRow("even") << "ABC" << 5 << " ABC ";
    QTest::newRow("longer unchanged") << "ABCDEF" << 4 << "ABCDEF";
    QTest::newRow("spaces count") << " A" << 4 << "  A ";
    QTest::newRow("empty") << "" << 3 << "   ";
}

void TestOperationBin::centerText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QCOMPARE(OperationBin::centerText(text, width), expected);
}

void TestOperationBin::textFields_data()
{
    QTest::addColumn<int>("size");          // image size, filled with 0xAA
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("text");      // written at address, unless null
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("written"); // the bytes expected from the address on (after a write)
    QTest::addColumn<QString>("read");      // readText at the same place

    auto le = [](const QString &s) {
        QByteArray out;
        for (QChar c : s) {
            out.append(char(c.unicode() & 0xFF));
            out.append(char(c.unicode() >> 8));
        }
        return out;
    };
    QTest::newRow("empty text, 30 spaces at 0xC0") << 512 << "30" << "" << "0x00C0" << le(QString(30, ' ')) << QString(30, ' ');
    QTest::newRow("centred, odd space at the end") << 64 << "5" << "AB" << "0" << le(" AB  ") << " AB  ";
    QTest::newRow("non-Latin character") << 64 << "3" << QString::fromUtf8("Ž") << "2" << le(QString::fromUtf8(" Ž ")) << QString::fromUtf8(" Ž ");
    QTest::newRow("leading FE FF kept as text") << 64 << "2" << QString(QChar(0xFEFF)) + "A" << "0" << QByteArray::fromHex("fffe4100") << QString(QChar(0xFEFF)) + "A";
    QTest::newRow("too long is cut to the field") << 64 << "3" << "ABCDEF" << "0" << le("ABC") + QByteArray(2, char(0xAA)) << "ABC";
    QTest::newRow("length 0 writes nothing") << 64 << "0" << "AB" << "0" << QByteArray(4, char(0xAA)) << "";
    QTest::newRow("length not a number writes nothing") << 64 << "n" << "AB" << "0" << QByteArray(4, char(0xAA)) << "";
    QTest::newRow("field cut by the image's end reads whole chars") << 64 << "4" << QString() << "61" << QByteArray(3, char(0xAA)) << QString(QChar(0xAAAA));
    QTest::newRow("unprogrammed field reads U+FFFF") << 0 << "3" << QString() << "0" << QByteArray() << QString(3, QChar(0xFFFF));
    QTest::newRow("write at end extends the image") << 4 << "2" << "ab" << "4" << le("ab") << "ab";
    // A length no address space holds: nothing is made for it, nothing written, the read is cut
    // at the image's end.
    QTest::newRow("length past the address space") << 64 << "1073741824" << "AB" << "0" << QByteArray(4, char(0xAA))
                                                    << QString(32, QChar(0xAAAA));
    QTest::newRow("field across the address space's end") << 64 << "2" << "AB" << "0xfffe" << QByteArray() << "";
}

void TestOperationBin::textFields()
{
    QFETCH(int, size);
    QFETCH(QString, length);
    QFETCH(QString, text);
    QFETCH(QString, address);
    QFETCH(QByteArray, written);
    QFETCH(QString, read);
    OperationBin bin;
    loadBytes(bin, size ? QByteArray(size, char(0xAA)) : QByteArray(16, char(0xFF)));
    const QByteArray before = bin.image();
    const int at = OperationBin::byteAddress(address);
    if (!text.isNull())
        bin.writeText(length, text, address);
    const QByteArray after = bin.image();
    QCOMPARE(after.mid(at, written.size()).toHex(), written.toHex());
    // Nothing outside the field changed.
    QCOMPARE(after.left(at).toHex(), before.left(at).toHex());
    if (after.size() > at + written.size() && before.size() > at + written.size())
        QCOMPARE(after.mid(at + written.size()).toHex(), before.mid(at + written.size()).toHex());
    QCOMPARE(bin.readText(length, address), read);
}

// ---- hex text and image files ----------------------------------------------------------------

void TestOperationBin::loadHex_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("either case") << QByteArray("0a1B") << QByteArray::fromHex("0a1b");
    QTest::newRow("blank between pairs") << QByteArray("0a 1B") << QByteArray::fromHex("0a1b");
    QTest::newRow("odd count: first digit alone") << QByteArray("abc") << QByteArray::fromHex("0abc");
    QTest::newRow("stray characters skipped") << QByteArray("*0g1\r\n23") << QByteArray::fromHex("0123");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestOperationBin::loadHex()
{
    QFETCH(QByteArray, hex);
    QFETCH(QByteArray, bytes);
    OperationBin bin;
    bin.loadHex(hex);
    QCOMPARE(bin.image().toHex(), bytes.toHex());
    bin.writeInt8(QString::number(bytes.size()), 1);   // the buffer is open for writes
    QCOMPARE(bin.image().size(), bytes.size() + 1);
}

void TestOperationBin::imageFiles()
{
    QTemporaryDir dir;
    QByteArray full(8192, '\0');
    for (int i = 0; i < full.size(); ++i)
        full[i] = char(i * 7 + 3);
    QVERIFY(writeFile(dir.filePath("full.bin"), full));
    QVERIFY(writeFile(dir.filePath("short.bin"), full.left(100)));

    OperationBin bin;
    bin.loadFile(dir.filePath("full.bin"));
    QCOMPARE(bin.image().size(), 8192);
    QCOMPARE(bin.readByte("14"), int((unsigned char)full.at(14)));
    bin.loadFile(dir.filePath("short.bin"));
    QCOMPARE(bin.image().size(), 100);
    bin.loadFile(dir.filePath("missing.bin"));
    QVERIFY(bin.image().isEmpty());
    bin.writeInt8("2", 9);   // the buffer is open even on an empty image
    QCOMPARE(bin.image().toHex(), QByteArray("000009"));
    bin.prepareBuffer();     // already open: changes nothing
    QCOMPARE(bin.image().toHex(), QByteArray("000009"));
}

void TestOperationBin::loadSources_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("size"); // of the image the load gives

    QTest::newRow("64 KiB") << QString::number(OperationBin::MaxImageSize) << OperationBin::MaxImageSize;
    QTest::newRow("one byte more") << QString::number(OperationBin::MaxImageSize + 1) << 0;
    QTest::newRow("folder") << "folder" << 0;
    QTest::newRow("named pipe") << "fifo" << 0;
    QTest::newRow("link to /dev/zero") << "zero" << 0;
}

// Only a regular file that an image can hold is read; anything else leaves an empty image at once
// (a pipe would block the open, /dev/zero never end) and the buffer open as after any load.
void TestOperationBin::loadSources()
{
    QFETCH(QString, source);
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    QVERIFY(makeSource(path, source));
    OperationBin bin;
    loadBytes(bin, QByteArray(100, 'x'));
    bin.loadFile(path);
    QCOMPARE(bin.image(), QByteArray(size, '\0'));
    bin.writeInt8("1", 9);
    QCOMPARE(bin.readByte("1"), 9);
}

void TestOperationBin::saveOverLongerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("image.bin");
    QVERIFY(writeFile(path, QByteArray(8192, 'x')));
    OperationBin bin;
    loadBytes(bin, QByteArray::fromHex("0102030405"));
    QSignalSpy errors(&bin, &OperationBin::errorWriteFile);
    dataModified = true;
    QFile file(path);
    QVERIFY(bin.saveTo(&file));
    QCOMPARE(readFile(path).toHex(), QByteArray("0102030405"));
    QVERIFY(!dataModified);
    QCOMPARE(errors.count(), 0);
}

void TestOperationBin::failedSaves_data()
{
    QTest::addColumn<QString>("target"); // below the test's folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "no/such/folder/image.bin" << systemReason(ENOENT);
    QTest::newRow("folder is a file") << "plain/image.bin" << systemReason(ENOTDIR);
    QTest::newRow("folder in the file's place") << "folder.bin" << "not a regular file";
    QTest::newRow("named pipe") << "pipe.bin" << "not a regular file";
    QTest::newRow("disk full midway") << "old.bin" << systemReason(EFBIG);
}

// A save that fails, or is refused, leaves what was there as it was and says why, to a slot
// connected by the signal's signature; the flag stays. The old file is larger than the limit the
// disk leaves, so a write in place would cut it.
void TestOperationBin::failedSaves()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QByteArray old(9000, 'o');
    QVERIFY(writeFile(dir.filePath("old.bin"), old));
    QVERIFY(writeFile(dir.filePath("plain"), "plain"));
    QVERIFY(QDir(dir.path()).mkpath("folder.bin/inside"));
    QVERIFY(makeSource(dir.filePath("pipe.bin"), "fifo"));
    const QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);

    OperationBin bin;
    loadBytes(bin, QByteArray(8192, 'i'));
    SaveErrorListener listener(&bin);
    QVERIFY(listener.connected);
    dataModified = true;
    QFile file(dir.filePath(target));
    bool saved = true;
    {
        PipeRescue rescue(dir.filePath("pipe.bin"));
        std::optional<FileSizeLimit> limit;
        if (target == QLatin1String("old.bin"))
            QVERIFY(limit.emplace(4096).isSet());
        saved = bin.saveTo(&file);
        QVERIFY2(!rescue.rescued(), "the save waited in the open of the pipe");
    }

    QVERIFY(!saved);
    QCOMPARE(listener.heard, QStringList{file.fileName() + " | " + reason});
    QVERIFY(dataModified);
    QCOMPARE(readFile(dir.filePath("old.bin")), old);
    QCOMPARE(readFile(dir.filePath("plain")), QByteArray("plain"));
    QVERIFY(QFileInfo(dir.filePath("folder.bin/inside")).isDir());
    QVERIFY(isPipe(dir.filePath("pipe.bin")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), entries);
}

void TestOperationBin::failedDeviceSaves()
{
    OperationBin bin;
    loadBytes(bin, QByteArray(64, 'i'));
    QSignalSpy errors(&bin, &OperationBin::errorWriteFile);

    // A device that takes only part of the image is no success.
    dataModified = true;
    FailingDevice partial(10);
    QVERIFY(!bin.saveTo(&partial));
    QCOMPARE(errors.count(), 1);
    QVERIFY(dataModified);

    dataModified = false;
    QVERIFY(!bin.saveTo(nullptr));
    QCOMPARE(errors.count(), 2);
    QVERIFY(!dataModified);
}

// A file the user may write, in a folder where the user may make no new file (no room for a
// temporary file beside it): the image is written in place, the file cut to its size, and the
// flag cleared. As root every folder is writable, so the save then runs in a child process as an
// unprivileged user.
void TestOperationBin::writtenInPlaceInFolderWithoutWriteAccess()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("image.bin");
    QVERIFY(writeFile(path, QByteArray(8192, 'x')));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                            | QFile::ReadOther | QFile::WriteOther));
    const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), open & ~QFile::WriteOwner));

    OperationBin bin;
    loadBytes(bin, QByteArray::fromHex("0102030405"));
    const auto saved = [&bin, &path]() {
        QSignalSpy errors(&bin, &OperationBin::errorWriteFile);
        dataModified = true;
        QFile file(path);
        return bin.saveTo(&file) && errors.isEmpty() && bin.failedSaveReason().isEmpty() && !dataModified;
    };
    bool wasSaved = false;
    if (geteuid() != 0) {
        wasSaved = saved();
    } else {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const bool ok = setgid(65534) == 0 && setuid(65534) == 0 && saved();
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        wasSaved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    QFile::setPermissions(dir.path(), open | QFile::WriteOwner);
    QVERIFY(wasSaved);
    QCOMPARE(readFile(path), QByteArray::fromHex("0102030405"));
}

void TestOperationBin::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray noise(8192, '\0');
    quint32 seed = 12345;
    for (char &c : noise) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 16);
    }
    QTest::newRow("8192 bytes of noise") << noise;
    QTest::newRow("all 0xFF") << QByteArray(8192, char(0xFF));
    QTest::newRow("odd size") << noise.left(777);
    QTest::newRow("empty") << QByteArray();
    const QString dataDir = QStringLiteral(TKV_DATA_ROOT "/DATA");
    for (const QFileInfo &info : QDir(dataDir).entryInfoList({"*.bin", "*.BIN"}, QDir::Files))
        QTest::newRow(qPrintable("sample " + info.fileName())) << readFile(info.filePath());
}

void TestOperationBin::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("in.bin"), bytes));
    OperationBin bin;
    bin.loadFile(dir.filePath("in.bin"));
    QFile out(dir.filePath("out.bin"));
    QVERIFY(bin.saveTo(&out));
    QCOMPARE(readFile(out.fileName()), bytes);

    QBuffer buffer;
    QVERIFY(bin.saveTo(&buffer));
    QCOMPARE(buffer.data(), bytes);
}

// ---- key record ------------------------------------------------------------------------------

void TestOperationBin::keyRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("emitted");   // "short|long" per record emitted
    //                   0123456789012345678901234567890
    const QString rec = "*#T01-0123456789ABCDEF01-CDAB.";
    const QString other = "*#T01-FFFFFFFFFFFFFFFFFF-3412.";
    QTest::newRow("valid") << rec << QStringList{"ABCD|0123456789ABCDEF01"};
    QTest::newRow("two records: first only") << rec + other << QStringList{"ABCD|0123456789ABCDEF01"};
    QTest::newRow("lower-case t") << QString(rec).replace(2, 1, "t") << QStringList{};
    QTest::newRow("31 characters") << rec + "x" << QStringList{};
    QTest::newRow("29 characters") << rec.left(29) << QStringList{};
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("wrong mark") << QString(rec).replace(0, 1, "#") << QStringList{};
}

void TestOperationBin::keyRecord()
{
    QFETCH(QString, text);
    QFETCH(QStringList, emitted);
    OperationBin bin;
    QStringList order;
    connect(&bin, &OperationBin::newSignal, this, [&](const QString &s) { order << "short:" + s; });
    connect(&bin, &OperationBin::sendTMkeyLongSerialNumber, this, [&](const QString &s) { order << "long:" + s; });
    connect(&bin, &OperationBin::sendTMkeySerialNumber, this, [&](const QString &s) { order << "never:" + s; });
    bin.readTMKey(text);
    bin.readLongTMKey(text);
    QStringList expected;
    for (const QString &e : emitted)
        expected << "short:" + e.section('|', 0, 0) << "long:" + e.section('|', 1, 1);
    QCOMPARE(order, expected);
}

QTEST_GUILESS_MAIN(TestOperationBin)
#include "tst_operationbin.moc"
