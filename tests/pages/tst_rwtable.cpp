// One export or import: the default name, the dialogs, the extension rule and the file that an
// export replaces only once it is complete.

#include "../testfiles.h"
#include "modalanswerer.h"
#include "rwtable.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestRWTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void makeHeader_data();
    void makeHeader();
    void saveDialog_data();
    void saveDialog();
    void cancelledDialogs();
    void openDialogReads();
    void readsRegularFilesOnly_data();
    void readsRegularFilesOnly();
    void writeTable();
    void writeFailures_data();
    void writeFailures();
    void writeFailureKeepsEarlierFile();

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    QDir dir;
    ModalAnswerer answerer;
};

void TestRWTable::init()
{
    answerer.clear();
    tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(tempDir->isValid());
    dir = QDir(tempDir->path());
    QDir::setCurrent(dir.path());
}

void TestRWTable::makeHeader_data()
{
    QTest::addColumn<QStringList>("parts"); // system type, IDD, IDO, SN
    QTest::addColumn<QString>("defaultName");
    QTest::addColumn<QString>("proposedName");
    QTest::addColumn<QString>("title"); // between the title line's marks
    QTest::newRow("sample") << QStringList{"4820_U", "RK4820_U65", "Birch Lane 12, entrance A", "31415"}
                            << QStringLiteral("4820_U65_31415_Birch Lane 12, entrance A")
                            << QStringLiteral("4820_U65_31415_Birch Lane 12, entrance A.id")
                            << QStringLiteral("4820_U65_31415_Birch Lane 12, entrance A");
    QTest::newRow("short IDD, blanks kept") << QStringList{"T", "5", " Gate 1/2 ", " 7"}
                                            << QStringLiteral("T5_ 7_ Gate 1/2 ") << QStringLiteral("T5_ 7_ Gate 1_2 .id")
                                            << QStringLiteral("T5_ 7_ Gate 1/2 ");
    QTest::newRow("no first tree page") << QStringList{"", "", "", ""} << QStringLiteral("__")
                                        << QStringLiteral("__.id") << QStringLiteral("__");
    // Line breaks in the unit's texts: the title stays one line.
    QTest::newRow("control characters") << QStringList{"4820_U", "RK4820_U65", "Block\r\n3", "314\t15"}
                                        << QStringLiteral("4820_U65_314\t15_Block\r\n3")
                                        << QStringLiteral("4820_U65_314_15_Block__3.id")
                                        << QStringLiteral("4820_U65_314 15_Block  3");
}

void TestRWTable::makeHeader()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, defaultName);
    QFETCH(QString, proposedName);
    QFETCH(QString, title);
    RWTable table;
    table.setExtension(QStringLiteral(".id"));
    table.makeHeader(parts[0], parts[1], parts[2], parts[3]);
    QCOMPARE(table.defaultName(), defaultName);
    QCOMPARE(table.headerLine(), QStringLiteral("*****") + title + QStringLiteral("*****"));
    QCOMPARE(table.proposedName(), proposedName);
}

void TestRWTable::saveDialog_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");
    QTest::newRow("appended") << ".id" << "keys" << "keys.id";
    QTest::newRow("has it") << ".id" << "keys.id" << "keys.id";
    QTest::newRow("has it in another case, inside") << ".id" << "keys.ID.txt" << "keys.ID.txt";
    QTest::newRow("other extension") << ".nm" << "names.txt" << "names.txt.nm";
    QTest::newRow("no extension") << "" << "table" << "table";
}

void TestRWTable::saveDialog()
{
    QFETCH(QString, extension);
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    RWTable table;
    table.setExtension(extension);
    table.makeHeader(QStringLiteral("4820_U"), QStringLiteral("RK65"), QStringLiteral("A/B"), QStringLiteral("1"));
    answerer.files << dir.filePath(chosen);
    QVERIFY(table.openForWriting());
    QVERIFY(table.isAccepted());
    QCOMPARE(table.filePath(), dir.filePath(path));

    QCOMPARE(answerer.fileDialogs.size(), 1);
    const ModalAnswerer::FileDialogSeen seen = answerer.fileDialogs.first();
    QVERIFY(seen.save);
    QCOMPARE(seen.nameFilters, QStringList{QStringLiteral("*") + extension});
    QCOMPARE(seen.proposedName, QStringLiteral("4820_U65_1_A_B") + extension);
}

void TestRWTable::cancelledDialogs()
{
    RWTable table;
    table.setExtension(QStringLiteral(".op"));
    QVERIFY(!table.openForWriting());
    QVERIFY(!table.openForReading());
    QVERIFY(!table.isAccepted());
    QCOMPARE(answerer.fileDialogs.size(), 2);
    QVERIFY(!answerer.fileDialogs[1].save);
    QCOMPARE(answerer.fileDialogs[1].nameFilters, QStringList{QStringLiteral("*.op")});
}

void TestRWTable::openDialogReads()
{
    const QString path = dir.filePath(QStringLiteral("in.id"));
    const QByteArray bytes("*****t*****\r\n0\t1A2B\t\r\nEnd Of Table TM_Flat");
    QVERIFY(writeFile(path, bytes));
    RWTable table;
    table.setExtension(QStringLiteral(".id"));
    answerer.files << path;
    QVERIFY(table.openForReading());
    QCOMPARE(table.filePath(), path);
    QCOMPARE(table.result().status, TableTextFile::ReadResult::Ok);
    QCOMPARE(table.rows(), (QVector<QStringList>{{"0", "1A2B"}}));
    QCOMPARE(readFile(path), bytes); // reading never writes

    table.setFilePath(dir.filePath(QStringLiteral("gone.id")));
    table.parse();
    QCOMPARE(table.result().status, TableTextFile::ReadResult::Unreadable);
    QVERIFY(!table.result().reason.isEmpty());
    QVERIFY(table.rows().isEmpty());
}

void TestRWTable::readsRegularFilesOnly_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("folder") << "folder";
    QTest::newRow("named pipe") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
}

// A pipe would block the open for ever and /dev/zero deliver without end: neither is opened, and
// the import is refused with a reason.
void TestRWTable::readsRegularFilesOnly()
{
    QFETCH(QString, source);
    const QString path = dir.filePath(QStringLiteral("in.id"));
    QVERIFY(makeSource(path, source));
    RWTable table;
    table.setFilePath(path);
    table.parse();
    QCOMPARE(table.result().status, TableTextFile::ReadResult::Unreadable);
    QCOMPARE(table.result().reason, QStringLiteral("not a regular file"));
    QVERIFY(table.rows().isEmpty());
}

void TestRWTable::writeTable()
{
    const QString path = dir.filePath(QStringLiteral("out.id"));
    QVERIFY(writeFile(path, QByteArray(5000, 'x')));
    RWTable table;
    table.makeHeader(QStringLiteral("S"), QStringLiteral("65"), QStringLiteral("O"), QStringLiteral("1"));
    table.setFilePath(path);
    QSignalSpy errors(&table, &RWTable::writeToFileError);
    QVERIFY(table.writeTable({{"0", "1A2B", "3"}}, 2));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(readFile(path), QByteArray("*****S65_1_O*****\r\n0\t1A2B\t3\t\r\nEnd Of Table TM_Flat"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.id")}); // no temporary left
}

void TestRWTable::writeFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << QStringLiteral("missing/out.id") << systemReason(ENOENT);
    QTest::newRow("folder is a file") << QStringLiteral("plain/out.id") << systemReason(ENOTDIR);
    QTest::newRow("folder in the file's place") << QStringLiteral("folder.id") << "not a regular file";
    QTest::newRow("named pipe") << QStringLiteral("pipe.id") << "not a regular file";
}

// Refused at once, told by the signal as the page connects it (by its signature) with the path and
// reason the export keeps, and nothing touched: a pipe is not opened (the open would wait for a
// reader) nor replaced by a file.
void TestRWTable::writeFailures()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.id/inside")));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("plain")), "plain"));
    QVERIFY(makeSource(dir.filePath(QStringLiteral("pipe.id")), QStringLiteral("fifo")));
    RWTable table;
    table.setFilePath(dir.filePath(path));
    QSignalSpy errors(&table, SIGNAL(writeToFileError()));
    bool written = true;
    {
        PipeRescue rescue(dir.filePath(QStringLiteral("pipe.id")));
        written = table.writeTable({{"0"}}, 2);
        QVERIFY2(!rescue.rescued(), "the export waited in the open of the pipe");
    }
    QVERIFY(!written);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(table.filePath(), dir.filePath(path));
    QCOMPARE(table.writeErrorReason(), reason);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.id/inside"))).isDir());
    QVERIFY(isPipe(dir.filePath(QStringLiteral("pipe.id"))));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("plain"))), QByteArray("plain"));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
}

// A disk that fills up in the middle of the export (here: a file size limit) leaves the earlier
// file as it was, and the reason is the system's.
void TestRWTable::writeFailureKeepsEarlierFile()
{
    const QString path = dir.filePath(QStringLiteral("keys.id"));
    const QByteArray earlier("*****old*****\r\n0\t1A2B\t\r\nEnd Of Table TM_Flat");
    QVERIFY(writeFile(path, earlier));

    RWTable table;
    table.setFilePath(path);
    QSignalSpy errors(&table, &RWTable::writeToFileError);
    QVector<QStringList> rows(2048, QStringList{"2047", "FFFF", "255"});

    bool written = true;
    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.isSet());
        written = table.writeTable(rows, 2);
    }

    QVERIFY(!written);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(table.writeErrorReason(), systemReason(EFBIG));
    QCOMPARE(readFile(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keys.id")});
}

QTEST_MAIN(TestRWTable)
#include "tst_rwtable.moc"
