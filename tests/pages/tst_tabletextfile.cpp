// The table text format on devices: what a table writes, what a reader takes, what it refuses.

#include "keytable.h"
#include "tabletextfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TableTextFile::ReadResult::Status)

using Rows = QVector<QStringList>;

class TestTableTextFile : public QObject
{
    Q_OBJECT

private slots:
    void write_data();
    void write();
    void writeToFullDevice();
    void read_data();
    void read();
    void readExtractorFile_data();
    void readExtractorFile();
    void readUnreadable();
    void readTooLarge();
    void describeLine_data();
    void describeLine();
    void proposedFileName_data();
    void proposedFileName();
};

void TestTableTextFile::write_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("key table") << QStringLiteral("4820_H65_00042_Gate 1")
                               << Rows{{"0", "1A2B", "12"}, {"1", "-----", "-----"}} << 2
                               << QByteArray("*****4820_H65_00042_Gate 1*****\r\n"
                                             "0\t1A2B\t12\t\r\n"
                                             "1\t-----\t-----\t\r\n"
                                             "End Of Table TM_Flat");
    QTest::newRow("lock codes") << QString() << Rows{{"1", "1", "0123", "0", "3"}} << 1
                                << QByteArray("**********\r\n1\t1\t0123\t0\t3\t\r\nEnd Of Table Code/Flat Options");
    // Names outside ASCII are written as UTF-8, without byte-order mark.
    QTest::newRow("names") << QStringLiteral("Łąka") << Rows{{"0", QStringLiteral("  Żółć  "), "7", "2", "2"}} << 3
                           << QByteArray("*****\xc5\x81\xc4\x85ka*****\r\n"
                                         "0\t  \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87  \t7\t2\t2\t\r\n"
                                         "End Of Table DB_NAME");
    // A line break in the unit's texts (the IDO) would cut the title line.
    QTest::newRow("control characters in the title")
        << QStringLiteral("4820_U65_1_Block\r\n3\t\x7f") << Rows{{"0", "1A2B", "12"}} << 2
        << QByteArray("*****4820_U65_1_Block  3  *****\r\n0\t1A2B\t12\t\r\nEnd Of Table TM_Flat");
    QTest::newRow("no rows") << QStringLiteral("t") << Rows{} << 2 << QByteArray("*****t*****\r\nEnd Of Table TM_Flat");
    QTest::newRow("empty row") << QStringLiteral("t") << Rows{{}} << 2
                               << QByteArray("*****t*****\r\n\r\nEnd Of Table TM_Flat");
    QTest::newRow("other kind") << QStringLiteral("t") << Rows{{"x"}} << 0 << QByteArray("*****t*****\r\nx\t\r\n");
}

void TestTableTextFile::write()
{
    QFETCH(QString, title);
    QFETCH(Rows, rows);
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);

    QByteArray written;
    QBuffer buffer(&written);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(TableTextFile::write(buffer, title, rows, kind));
    QCOMPARE(written, bytes);

    // What was written reads back as it was.
    if (kind == 0)
        return;
    buffer.close();
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const TableTextFile::ReadResult read = TableTextFile::read(buffer);
    QCOMPARE(read.status, TableTextFile::ReadResult::Ok);
    QCOMPARE(read.rows, rows);
}

void TestTableTextFile::writeToFullDevice()
{
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        QSKIP("no /dev/full");
    QVERIFY(!TableTextFile::write(full, QStringLiteral("t"), Rows{{"1", "2"}}, 2));
}

void TestTableTextFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TableTextFile::ReadResult::Status>("status");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("badLine");
    QTest::addColumn<QString>("badLineText");

    using R = TableTextFile::ReadResult;
    const QByteArray end("End Of Table TM_Flat");
    QTest::newRow("CR LF") << QByteArray("*****t*****\r\n1\t2\t\r\n3\t4\t\r\n") + end << R::Ok
                           << Rows{{"1", "2"}, {"3", "4"}} << 0 << QString();
    QTest::newRow("LF") << QByteArray("*****t*****\n1\t2\t\n") + end + "\n" << R::Ok << Rows{{"1", "2"}} << 0 << QString();
    QTest::newRow("text after the last TAB") << QByteArray("t\n1\t2\t3\n") + end << R::Ok << Rows{{"1", "2"}} << 0
                                             << QString();
    QTest::newRow("line without TAB") << QByteArray("t\nabc\n") + end << R::Ok << Rows{{}} << 0 << QString();
    QTest::newRow("two TABs in a row") << QByteArray("t\n1\t\t3\t\n") + end << R::Ok << Rows{{"1", "", "3"}} << 0
                                       << QString();
    QTest::newRow("blank line") << QByteArray("t\r\n\r\n1\t\r\n") + end << R::Ok << Rows{{}, {"1"}} << 0 << QString();
    // A first line that opens with the title mark is the title, whatever follows its closing mark
    // (as an editor, a spreadsheet or a second CR LF conversion leaves it) and whatever its text says.
    QTest::newRow("blank after the title") << QByteArray("*****t***** \r\n1\t2\t\r\n") + end << R::Ok
                                           << Rows{{"1", "2"}} << 0 << QString();
    QTest::newRow("TAB after the title") << QByteArray("*****t*****\t\r\n1\t2\t\r\n") + end << R::Ok
                                         << Rows{{"1", "2"}} << 0 << QString();
    QTest::newRow("CR CR LF") << QByteArray("*****t*****\r\r\n1\t2\t\r\r\n3\t4\t\r\r\n") + end + "\r\r\n" << R::Ok
                              << Rows{{"1", "2"}, {"3", "4"}} << 0 << QString();
    QTest::newRow("end line's words in the title")
        << QByteArray("*****4820_U6501_31415_End of table street 5*****\r\n1\t2\t\r\n") + end << R::Ok
        << Rows{{"1", "2"}} << 0 << QString();
    QTest::newRow("end line's words after the title") << QByteArray("*****t*****End Of Table\r\n1\t2\t\r\n") + end
                                                      << R::Ok << Rows{{"1", "2"}} << 0 << QString();
    // A title written before control characters became spaces: its CR joins no rows to it.
    QTest::newRow("CR and the end line's words in the title")
        << QByteArray("*****Block\rEnd of table 5*****\r\n1\t2\t\r\n") + end << R::Ok << Rows{{"1", "2"}} << 0
        << QString();
    QTest::newRow("end line as the title") << QByteArray("*****END OF TABLE*****\r\n1\t2\t\r\n") + end << R::Ok
                                           << Rows{{"1", "2"}} << 0 << QString();
    QTest::newRow("end line as a first line without the mark") << QByteArray("END OF TABLE\r\n1\t2\t\r\n") + end
                                                               << R::Ok << Rows{} << 0 << QString();
    QTest::newRow("end line in a row") << QByteArray("t\n1\t\nx\tend of table\t\n2\t\n") << R::Ok << Rows{{"1"}} << 0
                                       << QString();
    QTest::newRow("lock-code end line") << QByteArray("t\n1\t\nEnd Of Table Code/Flat Options") << R::Ok
                                        << Rows{{"1"}} << 0 << QString();
    QTest::newRow("name outside ASCII") << QByteArray("t\n0\t \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87 \t\n") + end << R::Ok
                                        << Rows{{"0", QStringLiteral(" Żółć ")}} << 0 << QString();
    QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbft\n1\t\n") + end << R::Ok << Rows{{"1"}} << 0
                                     << QString();
    QTest::newRow("title not UTF-8") << QByteArray("*****\xa3\xb9ka*****\n1\t\n") + end << R::Ok << Rows{{"1"}} << 0
                                     << QString();
    QTest::newRow("bytes after the end line") << QByteArray("t\n1\t\n") + end + "\n\xff\xfe\n" << R::Ok
                                              << Rows{{"1"}} << 0 << QString();
    QTest::newRow("CR alone") << QByteArray("*****t*****\r1\t2\t\r3\t4\t\r") + end << R::LoneCr << Rows{} << 1
                              << QStringLiteral("*****t*****\r1\t2\t\r3\t4\t\r") + end;
    QTest::newRow("CR alone after the title") << QByteArray("*****t*****\r\n1\t2\t\r") + end + "\r" << R::LoneCr << Rows{}
                                              << 2 << QStringLiteral("1\t2\t\r") + end;
    QTest::newRow("CR alone, end line's words in the title")
        << QByteArray("*****End of table street 5*****\r1\t2\t\r") + end << R::LoneCr << Rows{} << 1
        << QStringLiteral("*****End of table street 5*****\r1\t2\t\r") + end;
    QTest::newRow("CR inside the title") << QByteArray("*****Block\r3*****\r\n1\t2\t\r\n") + end << R::Ok
                                         << Rows{{"1", "2"}} << 0 << QString();
    QTest::newRow("title cut by a line break") << QByteArray("*****4820_U65_1_Block\r\n3*****\r\n1\t2\t\r\n") + end
                                               << R::BrokenTitle << Rows{} << 1 << QStringLiteral("*****4820_U65_1_Block");
    QTest::newRow("title cut after its mark") << QByteArray("*****\n*****\n1\t2\t\n") + end << R::BrokenTitle << Rows{}
                                              << 1 << QStringLiteral("*****");
    QTest::newRow("empty") << QByteArray() << R::NoEndLine << Rows{} << 1 << QString();
    QTest::newRow("title only") << QByteArray("*****t*****\r\n") << R::NoEndLine << Rows{} << 1
                                << QStringLiteral("*****t*****");
    QTest::newRow("no end line") << QByteArray("t\r\n1\t2\t\r\n3\t4\t\r\n") << R::NoEndLine << Rows{} << 3
                                 << QStringLiteral("3\t4\t");
    QTest::newRow("cut mid-line") << QByteArray("t\r\n1\t2\t\r\n3\t4") << R::NoEndLine << Rows{} << 3
                                  << QStringLiteral("3\t4");
    QTest::newRow("cut in the end line") << QByteArray("t\r\n1\t2\t\r\nEnd Of Ta") << R::NoEndLine << Rows{} << 3
                                         << QStringLiteral("End Of Ta");
    QTest::newRow("row not UTF-8") << QByteArray("t\r\n0\tAdamski\t\r\n1\t\xa3uk\t\r\n") + end << R::NotUtf8 << Rows{}
                                   << 3 << QStringLiteral("1\t\uFFFDuk\t");
    QTest::newRow("overlong UTF-8") << QByteArray("t\n0\t\xc0\xaf\t\n") + end << R::NotUtf8 << Rows{} << 2
                                    << QStringLiteral("0\t\uFFFD\uFFFD\t");
    QTest::newRow("end line not UTF-8") << QByteArray("t\n1\t\nEnd Of Table \xff") << R::NotUtf8 << Rows{} << 3
                                        << QStringLiteral("End Of Table \uFFFD");
}

void TestTableTextFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TableTextFile::ReadResult::Status, status);
    QFETCH(Rows, rows);
    QFETCH(int, badLine);
    QFETCH(QString, badLineText);

    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const TableTextFile::ReadResult result = TableTextFile::read(buffer);
    QCOMPARE(result.status, status);
    QCOMPARE(result.rows, rows);
    QCOMPARE(result.badLine, badLine);
    QCOMPARE(result.badLineText, badLineText);
}

void TestTableTextFile::readExtractorFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("folder with a line break") << QStringLiteral("C:/da\nta/unit.id");
    QTest::newRow("folder named with the end line's words") << QStringLiteral("/srv/End of table backups/unit.id");
}

// The extractor's key tables end every line, the end line included, and put no TAB after the flat:
// a reader takes position and hash, whatever the path in the title holds.
void TestTableTextFile::readExtractorFile()
{
    QFETCH(QString, path);
    const QVector<KeyTable::SlotRow> slotRows{{QStringLiteral("   0"), QStringLiteral("  1f"), QStringLiteral("0a1b2c3d4e5f"),
                                            QStringLiteral("a1b2")},
                                           {QStringLiteral("   1"), QStringLiteral("-----"),
                                            QStringLiteral("------------"), QStringLiteral("-----")}};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(KeyTable::writeKeyTable(buffer, path, slotRows));
    buffer.close();
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const TableTextFile::ReadResult result = TableTextFile::read(buffer);
    QCOMPARE(result.status, TableTextFile::ReadResult::Ok);
    QCOMPARE(result.rows, (Rows{{"   0", "a1b2"}, {"   1", "-----"}}));
}

void TestTableTextFile::readUnreadable()
{
    QTemporaryDir dir;
    QFile missing(dir.filePath(QStringLiteral("missing.id")));
    QVERIFY(!missing.open(QIODevice::ReadOnly));
    TableTextFile::ReadResult result = TableTextFile::read(missing);
    QCOMPARE(result.status, TableTextFile::ReadResult::Unreadable);
    QVERIFY(!result.reason.isEmpty());

    QFile folder(dir.path());
    folder.open(QIODevice::ReadOnly);
    result = TableTextFile::read(folder);
    QCOMPARE(result.status, TableTextFile::ReadResult::Unreadable);
    QVERIFY(!result.reason.isEmpty());
}

void TestTableTextFile::readTooLarge()
{
    QByteArray bytes(TableTextFile::MaxFileSize + 1, 'a');
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const TableTextFile::ReadResult result = TableTextFile::read(buffer);
    QCOMPARE(result.status, TableTextFile::ReadResult::TooLarge);
    QVERIFY(!result.reason.isEmpty());
}

void TestTableTextFile::describeLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("fields") << QStringLiteral("7\tXYZ\t3\t") << QStringLiteral("12: 7 | XYZ | 3 | ");
    QTest::newRow("line ends") << QStringLiteral("a\r\nb\r") << QStringLiteral("12: a<CR><LF>b<CR>");
    QTest::newRow("other control characters") << QStringLiteral("a\x01" "b\x7f")
                                              << QStringLiteral("12: a<0x01>b<0x7F>");
    QTest::newRow("long line") << QString(130, QLatin1Char('x')) << QStringLiteral("12: ") + QString(120, QLatin1Char('x')) + QChar(0x2026);
}

void TestTableTextFile::describeLine()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(TableTextFile::describeLine(12, text), shown);
}

void TestTableTextFile::proposedFileName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("4820_U65_31415_Birch Lane 12, entrance A")
                           << QStringLiteral("4820_U65_31415_Birch Lane 12, entrance A");
    QTest::newRow("folders") << QStringLiteral("4820_U65_1_Block 3/4\\5") << QStringLiteral("4820_U65_1_Block 3_4_5");
    QTest::newRow("parent folder") << QStringLiteral("../../etc") << QStringLiteral(".._.._etc");
    QTest::newRow("control characters") << QStringLiteral("a\tb\nc\x7f" "d") << QStringLiteral("a_b_c_d");
    QTest::newRow("letters outside ASCII") << QStringLiteral("Łąka 5") << QStringLiteral("Łąka 5");
}

void TestTableTextFile::proposedFileName()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QCOMPARE(::proposedFileName(text), name);
}

QTEST_GUILESS_MAIN(TestTableTextFile)
#include "tst_tabletextfile.moc"
