#include "../testfiles.h"
#include "imagefixture.h"
#include "keytable.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestKeyTable : public QObject
{
    Q_OBJECT

private slots:
    void slotRow_data();
    void slotRow();
    void outputFileName_data();
    void outputFileName();
    void fileBytes();
    void secondWriteReplacesFirst();
    void titleStaysOneLine();
    void unopenableFileFails();
    void shortDeviceWriteFails();
};

void TestKeyTable::slotRow_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("flat");
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("flatText");
    QTest::addColumn<QString>("serialText");
    QTest::addColumn<QString>("hash");

    QTest::newRow("flat 0x00 is in use") << 0 << 0x00 << QByteArray::fromHex("010203040506")
                                         << "   0" << "   0" << "010203040506" << "0700";
    QTest::newRow("flat 0xfe, leading zeros") << 1023 << 0xFE << QByteArray::fromHex("000a00000500")
                                              << "1023" << "  fe" << "000a00000500" << "050a";
    QTest::newRow("hash mixes all six bytes") << 300 << 0x12 << QByteArray::fromHex("123456789abc")
                                              << " 300" << "  12" << "123456789abc" << "def0";
    QTest::newRow("serial of 0xff in use") << 42 << 0x80 << QByteArray::fromHex("ffffffffffff")
                                           << "  42" << "  80" << "ffffffffffff" << "ffff";
    QTest::newRow("empty slot") << 7 << 0xFF << QByteArray::fromHex("123456789abc")
                                << "   7" << "-----" << "------------" << "-----";
}

void TestKeyTable::slotRow()
{
    QFETCH(int, slot);
    QFETCH(int, flat);
    QFETCH(QByteArray, serial);
    const QByteArray image = rk4810Image({{slot, quint8(flat), serial}});

    const KeyTable::SlotRow row = KeyTable::slotRow(image, slot);
    QTEST(row.position, "position");
    QTEST(row.flat, "flatText");
    QTEST(row.serial, "serialText");
    QTEST(row.hash, "hash");
}

void TestKeyTable::outputFileName_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("output");

    QTest::newRow("lower case") << "C:/data/unit.bin" << "C:/data/unit.id";
    QTest::newRow("upper case") << "/data/UNIT.BIN" << "/data/UNIT.id";
    QTest::newRow("mixed case") << "/data/unit.Bin" << "/data/unit.id";
    QTest::newRow(".bin in a folder name") << "/keys.bin/unit.bin" << "/keys.bin/unit.id";
    QTest::newRow(".bin folder, other ext") << "/keys.bin/unit.dat" << "/keys.bin/unit.dat.id";
    QTest::newRow(".bin inside the name") << "/data/unit.bin.bak" << "/data/unit.bin.bak.id";
    QTest::newRow("no extension") << "/data/unit" << "/data/unit.id";
    QTest::newRow("image named .id") << "/data/unit.id" << "/data/unit.id.id";
}

void TestKeyTable::outputFileName()
{
    QFETCH(QString, image);
    const QString output = KeyTable::outputFileName(image);
    QTEST(output, "output");
    QVERIFY(output.compare(image, Qt::CaseInsensitive) != 0);
}

static QVector<KeyTable::SlotRow> rowsOf(const QByteArray &image, const QVector<int> &positions)
{
    QVector<KeyTable::SlotRow> rows;
    for (int slot : positions)
        rows << KeyTable::slotRow(image, slot);
    return rows;
}

void TestKeyTable::fileBytes()
{
    const QByteArray image = rk4810Image({{0, 0x00, QByteArray::fromHex("010203040506")},
                                          {7, 0xFF, QByteArray::fromHex("010203040506")},
                                          {1023, 0xFE, QByteArray::fromHex("000a00000500")}});
    QTemporaryDir dir;
    const QString path = dir.filePath("unit.id");
    QString error;
    QVERIFY(KeyTable::writeKeyTableFile(path, rowsOf(image, {0, 7, 1023}), &error));

    const QByteArray expected = "*****" + path.toLocal8Bit() + "*****\r\n"
                                "   0\t0700\t   0\r\n"
                                "   7\t-----\t-----\r\n"
                                "1023\t050a\t  fe\r\n"
                                "End Of Table TM_Flat\r\n";
    QCOMPARE(readFile(path), expected);
}

void TestKeyTable::secondWriteReplacesFirst()
{
    const QByteArray image = rk4810Image({{5, 0x01, QByteArray::fromHex("000000000001")}});
    QTemporaryDir dir;
    const QString path = dir.filePath("unit.id");
    QString error;
    QVERIFY(KeyTable::writeKeyTableFile(path, rowsOf(image, {1, 2, 3, 4, 5}), &error));
    QVERIFY(KeyTable::writeKeyTableFile(path, rowsOf(image, {5}), &error));
    QCOMPARE(readFile(path), "*****" + path.toLocal8Bit() + "*****\r\n   5\t0001\t   1\r\nEnd Of Table TM_Flat\r\n");
}

// The title is the output file's path: a folder whose name holds a line break or another control
// character must not cut the title line, or the rows would be read one line late.
void TestKeyTable::titleStaysOneLine()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(KeyTable::writeKeyTable(buffer, QStringLiteral("/data/new\nunits\r\t\x1b/unit.id"),
                                    rowsOf(rk4810Image({{3, 0x01, QByteArray::fromHex("000000000001")}}), {3})));
    QCOMPARE(bytes, QByteArray("*****/data/new units   /unit.id*****\r\n   3\t0001\t   1\r\nEnd Of Table TM_Flat\r\n"));
}

void TestKeyTable::unopenableFileFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/unit.id");
    QString error;
    QVERIFY(!KeyTable::writeKeyTableFile(path, rowsOf(QByteArray(8192, char(0xFF)), {0}), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(path));
}

// A device that takes only the first few bytes stands for a full disk.
class ShortDevice : public QBuffer
{
protected:
    qint64 writeData(const char *data, qint64 len) override { return QBuffer::writeData(data, qMin<qint64>(len, 10)); }
};

void TestKeyTable::shortDeviceWriteFails()
{
    ShortDevice device;
    QVERIFY(device.open(QIODevice::WriteOnly));
    QVERIFY(!KeyTable::writeKeyTable(device, QStringLiteral("t"), rowsOf(QByteArray(8192, char(0xFF)), {0, 1})));
}

QTEST_APPLESS_MAIN(TestKeyTable)
#include "tst_keytable.moc"
