#include "../testfiles.h"
#include "keypanelfixture.h"
#include "modalanswerer.h"
#include "pageset.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

// extractoroutput.cpp: what the extractor writes for rows of position, flat, serial and hash.
QByteArray extractorKeyTable(const QString &title, const QVector<QStringList> &slotRows);

// Table text files of table pages: what an export writes, what an import applies, what it refuses.
class TestTableFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exportsAsTheSamples_data();
    void exportsAsTheSamples();
    void exportWithoutFirstTreePage();
    void exportFailures_data();
    void exportFailures();
    void import_data();
    void import();
    void importRefused_data();
    void importRefused();
    void importNeedsOneCell();
    void columnExportImportedBack();
    void importWarnsOnce();
    void importCombos_data();
    void importCombos();
    void importNameNumbers_data();
    void importNameNumbers();
    void roundTrip_data();
    void roundTrip();
    void ownExportImportedUnchanged_data();
    void ownExportImportedUnchanged();

private:
    QString write(const QString &name, const QByteArray &bytes);
    // Builds a table fixture and imports the text at the given cell through the page's dialog.
    void importInto(TableRig &rig, Fixture &files, const QString &fixture, const QByteArray &text, const QString &cell);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ModalAnswerer> answerer;
};

// "address:hex" of every byte of now that differs from before, separated by blanks.
static QString differingBytes(const QByteArray &before, const QByteArray &now)
{
    QStringList differing;
    for (int i = 0; i < now.size(); ++i)
        if (i >= before.size() || now.at(i) != before.at(i))
            differing << QStringLiteral("%1:%2").arg(i).arg(quint8(now.at(i)), 2, 16, QLatin1Char('0'));
    return differing.join(QLatin1Char(' '));
}

QString TestTableFiles::write(const QString &name, const QByteArray &bytes)
{
    const QString path = dir->filePath(name);
    if (!writeFile(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestTableFiles::importInto(TableRig &rig, Fixture &files, const QString &fixture, const QByteArray &text,
                                const QString &cell)
{
    TableFixtures::build(rig, files, fixture);
    answerer->files << write(QStringLiteral("in"), text);
    rig.select(cell);
    rig.page->loadDataFromFile();
}

void TestTableFiles::initTestCase()
{
    QVERIFY(QDir::setCurrent(QStringLiteral(TKV_DATA_ROOT)));
}

void TestTableFiles::init()
{
    dir = std::make_unique<QTemporaryDir>();
    answerer = std::make_unique<ModalAnswerer>();
    dataModified = false;
}

void TestTableFiles::cleanup()
{
    answerer.reset();
    dir.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The sample table files were written as the U65 sample's tables export: byte for byte the same
// (title from the first tree page, TABs, CR LF, end line without line end, combo indexes, the name
// table's block number, a name outside ASCII).
void TestTableFiles::exportsAsTheSamples_data()
{
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("sample");
    QTest::newRow("lock codes") << 2 << "0:0-63:8" << "flats_sample.op";
    QTest::newRow("keys") << 3 << "0:0-99:2" << "keys_sample.id";
    QTest::newRow("names") << 4 << "0:0-22:3" << "names_sample.nm";
}

void TestTableFiles::exportsAsTheSamples()
{
    QFETCH(int, pageIndex);
    QFETCH(QString, selection);
    QFETCH(QString, sample);
    MainWindowStandIn main;
    OperationBin image;
    image.loadFile(sampleImage(QStringLiteral("U65")));
    PageSet set(main, sampleDefinition(QStringLiteral("U65")), &image);
    Page *page = set.page(pageIndex);
    const QString extension = QFileInfo(sample).suffix();

    const QStringList parts = selection.split(QLatin1Char('-'));
    const QStringList from = parts[0].split(QLatin1Char(':')), to = parts[1].split(QLatin1Char(':'));
    page->tableWidget()->selectionModel()->select(
        QItemSelection(page->tableWidget()->model()->index(from[0].toInt(), from[1].toInt()),
                       page->tableWidget()->model()->index(to[0].toInt(), to[1].toInt())),
        QItemSelectionModel::Select);
    answerer->files << dir->filePath(QStringLiteral("out"));
    page->makeCopyTableToFile();

    QCOMPARE(answerer->fileDialogs.size(), 1);
    QCOMPARE(answerer->fileDialogs[0].nameFilters, QStringList{QStringLiteral("*.") + extension});
    QCOMPARE(answerer->fileDialogs[0].proposedName,
             QStringLiteral("4820_U65_31415_Birch Lane 12, entrance A.") + extension);
    QCOMPARE(readFile(dir->filePath(QStringLiteral("out.") + extension)), readFile(dataRoot() + QStringLiteral("/DATA/") + sample));
    QVERIFY(answerer->messages.isEmpty());
    QVERIFY(!dataModified);
}

// Without a first tree page the default name is made of empty texts and there is no extension.
void TestTableFiles::exportWithoutFirstTreePage()
{
    Fixture files;
    TableRig rig;
    KeyPanelFixture::build(rig, files);
    rig.select(QStringLiteral("4:0-5:2"));
    answerer->files << dir->filePath(QStringLiteral("keys"));
    rig.page->makeCopyTableToFile();
    QCOMPARE(answerer->fileDialogs.size(), 1);
    QCOMPARE(answerer->fileDialogs[0].proposedName, QStringLiteral("__"));
    QCOMPARE(readFile(dir->filePath(QStringLiteral("keys"))),
             QByteArray("*****__*****\r\n4\t4444\t-1\t\r\n5\t1A2B\t12\t\r\nEnd Of Table TM_Flat"));

    // No selected cell: no dialog.
    rig.grid()->clearSelection();
    rig.page->makeCopyTableToFile();
    rig.page->loadDataFromFile();
    QCOMPARE(answerer->fileDialogs.size(), 1);
}

void TestTableFiles::exportFailures_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");
    QTest::newRow("missing folder") << "missing/keys" << "missing/keys.id";
    // The dialog opens a folder that is chosen: the extension makes the name a folder's.
    QTest::newRow("folder in the file's place") << "folder" << "folder.id";
}

// Every failure shows the box with the path and the reason, and keeps what was there.
void TestTableFiles::exportFailures()
{
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("folder.id/inside")));
    const QString earlier = write(QStringLiteral("earlier.id"), "earlier");
    Fixture files;
    TableRig rig;
    KeyPanelFixture::build(rig, files);
    rig.page->setFileExtensions(QStringLiteral(".op/.id/.nm/"));
    rig.page->setFirstTreePage(rig.page.get());
    rig.select(QStringLiteral("5:1"));
    answerer->files << dir->filePath(chosen);
    rig.page->makeCopyTableToFile();

    QCOMPARE(answerer->messages.size(), 1);
    const ModalAnswerer::MessageSeen box = answerer->messages.first();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QStringLiteral("File write error"));
    QCOMPARE(box.title, QString());
    QVERIFY(box.informativeText.startsWith(dir->filePath(path) + QLatin1Char('\n')));
    QVERIFY(box.informativeText.size() > dir->filePath(path).size() + 1);
    QVERIFY(QFileInfo(dir->filePath(QStringLiteral("folder.id/inside"))).isDir());
    QCOMPARE(readFile(earlier), QByteArray("earlier"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("earlier.id")});
}

void TestTableFiles::import_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("rows");  // rows changed, "row=code/flat"
    QTest::addColumn<QStringList>("bytes"); // image bytes changed

    const QByteArray title("*****t*****\r\n");
    const QByteArray end("End Of Table TM_Flat");
    const QByteArray twoRows = title + "0\tABCD\t12\t\r\n1\tbcde\t-----\t\r\n" + end;
    const QStringList twoRowsAt10{"10=ABCD/12", "11=BCDE/-----"};
    const QStringList twoRowsAt10Bytes{"2068:AB", "2069:CD", "2070:BC", "2071:DE", "4106:0C", "4107:00"};
    QTest::newRow("from the selected row") << twoRows << "10:1" << twoRowsAt10 << twoRowsAt10Bytes;
    QTest::newRow("selected in column 2: from column 0") << twoRows << "10:2" << twoRowsAt10 << twoRowsAt10Bytes;
    QTest::newRow("rows past the table's end") << twoRows << "31:0" << QStringList{"31=ABCD/12"}
                                               << QStringList{"2110:AB", "2111:CD", "4127:0C"};
    QTest::newRow("the first row decides the fields")
        << title + "0\tABCD\t\r\n1\tBCDE\t12\t\r\n" + end << "10:0" << QStringList{"10=ABCD/-----", "11=BCDE/-----"}
        << QStringList{"2068:AB", "2069:CD", "2070:BC", "2071:DE", "4106:00", "4107:00"};
    QTest::newRow("end line in a row") << title + "0\tABCD\t12\t\r\nx\tEnd of table\t\r\n1\tBCDE\t12\t\r\n" << "10:0"
                                       << QStringList{"10=ABCD/12"} << QStringList{"2068:AB", "2069:CD", "4106:0C"};
    QTest::newRow("a key emptied, another moved")
        << title + "0\t-----\t-----\t\r\n1\t1A2B\t7\t\r\n" + end << "5:0" << QStringList{"5=-----/-----", "6=1A2B/7"}
        << QStringList{"2058:00", "2059:00", "2060:1A", "2061:2B", "4101:FF", "4102:07"};
    QTest::newRow("lock-code end line") << title + "0\tABCD\t12\t\r\nEnd Of Table Code/Flat Options" << "10:0"
                                        << QStringList{"10=ABCD/12"} << QStringList{"2068:AB", "2069:CD", "4106:0C"};

    // The extractor's key table: position, hash, flat without a TAB after it; the hash becomes the
    // key code, the flat is dropped.
    const QByteArray extracted = extractorKeyTable(QStringLiteral("C:/data/unit.id"),
                                                   {{"   0", "  1f", "0a1b2c3d4e5f", "a1b2"},
                                                    {"   1", "-----", "------------", "-----"},
                                                    {"   2", "   3", "010203040506", "0707"}});
    QTest::newRow("extractor's key table") << extracted << "20:0" << QStringList{"20=A1B2/-----", "22=0707/-----"}
                                           << QStringList{"2088:A1", "2089:B2", "2092:07", "2093:07", "4116:00", "4118:00"};
    // The title is never the end line, whatever words it holds.
    QTest::newRow("extractor's key table in a folder named with the end line's words")
        << extractorKeyTable(QStringLiteral("/srv/End of table backups/unit.id"),
                             {{"   0", "  1f", "0a1b2c3d4e5f", "a1b2"}})
        << "20:0" << QStringList{"20=A1B2/-----"} << QStringList{"2088:A1", "2089:B2", "4116:00"};
    QTest::newRow("unit address with the end line's words in the title")
        << "*****4820_H6501_31415_End of table street 5*****\r\n0\tABCD\t12\t\r\n" + end << "10:0"
        << QStringList{"10=ABCD/12"} << QStringList{"2068:AB", "2069:CD", "4106:0C"};
}

void TestTableFiles::import()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, selected);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, bytes);
    Fixture files;
    TableRig rig;
    KeyPanelFixture::build(rig, files);
    const QStringList before = rowTexts(rig);
    const QString path = write(QStringLiteral("in.id"), file);
    rig.select(selected);
    answerer->files << path;
    rig.page->loadDataFromFile();

    QCOMPARE(answerer->fileDialogs.size(), 1);
    QVERIFY(!answerer->fileDialogs[0].save);
    QCOMPARE(answerer->messages.size(), 0);
    QCOMPARE(changedRows(before, rowTexts(rig)), rows);
    QCOMPARE(changedByteTexts(rig), bytes);
    QCOMPARE(readFile(path), file);
    QVERIFY(dataModified);
    // The index column is never written.
    for (int row = 0; row < 32; ++row)
        QCOMPARE(rig.text(row, 0), QString::number(row));
}

void TestTableFiles::importRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("where"); // the informative text after the path
    QTest::addColumn<QString>("line");  // with the language's texts: what follows where; without: how it ends
    QTest::addColumn<bool>("texts");    // the page has the language's texts for why a file gives nothing

    const QByteArray title("*****t*****\r\n");
    const QByteArray end("End Of Table TM_Flat");
    const QByteArray good = "0\tABCD\t12\t\r\n";
    const struct {
        const char *name;
        QByteArray file;
        QString where;
    } refused[] = {
        {"no end line", title + good + "1\tBCDE\t7\t\r\n", "3: 1 | BCDE | 7 | "},
        {"cut mid-line", title + good + "1\tBC", "3: 1 | BC"},
        {"empty", QByteArray(), "1: "},
        {"code out of range", title + good + "1\t1FFFF\t7\t\r\n" + end, "3: 1 | 1FFFF | 7 | "},
        {"code not a number", title + good + "1\tXYZ\t7\t\r\n" + end, "3: 1 | XYZ | 7 | "},
        {"code with a blank", title + good + "1\t 1A2B\t7\t\r\n" + end, "3: 1 |  1A2B | 7 | "},
        {"empty code", title + good + "1\t\t7\t\r\n" + end, "3: 1 |  | 7 | "},
        {"flat not a number", title + good + "1\tBCDE\tx\t\r\n" + end, "3: 1 | BCDE | x | "},
        {"not UTF-8", title + good + "1\tBCDE\t7\xff\t\r\n" + end, QStringLiteral("3: 1 | BCDE | 7\uFFFD | ")},
    };
    for (const auto &row : refused)
        QTest::newRow(row.name) << row.file << row.where << QString() << true;

    // Files that would give the table no field say why: in the language's text, or in English where
    // the language table has none (as every table written before these texts).
    const struct {
        const char *name;
        QByteArray file;
        const char *why, *english, *line;
    } nothing[] = {
        {"CR alone", "*****t*****\r0\tABCD\t12\t\r" + end + "\r", "CR alone", "The file's lines end in CR alone",
         "\n1: *****t*****<CR>0 | ABCD | 12 | <CR>End Of Table TM_Flat"},
        // An IDO with a line break, as the title was written before control characters became spaces.
        {"title cut by a line break", "*****4820_U65_31415_Block\r\n3*****\r\n" + good + end, "title broken",
         "The title line is broken by a line end", "\n1: *****4820_U65_31415_Block"},
        {"no rows", title + end, "no rows", "The file holds no data rows", ""},
        // A first line without the title mark is tested as an end line.
        {"end line as a first line without the mark", "END OF TABLE\r\n" + good + end, "no rows",
         "The file holds no data rows", ""},
        {"first row without TAB", title + "0 ABCD 12\r\n" + good + end, "no fields", "The first data row has no field",
         "\n2: 0 ABCD 12"},
        {"blank first row", title + "\r\n" + good + end, "no fields", "The first data row has no field", "\n2: "},
        // The key-code column exported alone: its field goes to the row-index column.
        {"fields for no column that takes one", title + "ABCD\t\r\nBCDE\t\r\n" + end, "no column takes",
         "The fields go to the table's columns", "\n2: ABCD | "},
    };
    for (const auto &row : nothing) {
        QTest::newRow(row.name) << row.file << QString::fromUtf8(row.why) << QString::fromUtf8(row.line) << true;
        QTest::addRow("%s, no language text", row.name)
            << row.file << QString::fromUtf8(row.english) << QString::fromUtf8(row.line) << false;
    }
}

// A refused file, and one that would give the table no field, change nothing, not even the
// unsaved-data flag: the box names the file and its first bad line or why it gives nothing.
void TestTableFiles::importRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, where);
    QFETCH(QString, line);
    QFETCH(bool, texts);
    Fixture files;
    TableRig rig;
    if (!texts)
        rig.main.importNothingTexts = ImportNothingTexts();
    KeyPanelFixture::build(rig, files);
    const QString path = write(QStringLiteral("bad.id"), file);
    rig.select(QStringLiteral("10:1"));
    answerer->files << path;
    rig.page->loadDataFromFile();

    QCOMPARE(answerer->messages.size(), 1);
    const ModalAnswerer::MessageSeen box = answerer->messages.first();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QStringLiteral("Error"));
    if (texts) {
        QCOMPARE(box.informativeText, path + QLatin1Char('\n') + where + line);
    } else {
        // The built-in English text, whose beginning the row gives, then the line.
        QVERIFY2(box.informativeText.startsWith(path + QLatin1Char('\n') + where), qPrintable(box.informativeText));
        QVERIFY2(box.informativeText.endsWith(QLatin1Char('.') + line), qPrintable(box.informativeText));
    }
    QVERIFY(rig.changedBytes().isEmpty());
    QCOMPARE(rig.text(10, 1), QStringLiteral("-----"));
    QVERIFY(!dataModified);
}

void TestTableFiles::importNeedsOneCell()
{
    Fixture files;
    TableRig rig;
    KeyPanelFixture::build(rig, files);
    const QString path = write(QStringLiteral("in.id"), "t\r\n0\tABCD\t12\t\r\nEnd Of Table TM_Flat");
    rig.select(QStringLiteral("10:1-11:1"));
    answerer->files << path;
    rig.page->loadDataFromFile();
    QCOMPARE(answerer->fileDialogs.size(), 1);
    QVERIFY(rig.changedBytes().isEmpty());
    QVERIFY(!dataModified);

    // A file the system cannot read: the box gives the system's reason.
    rig.select(QStringLiteral("10:1"));
    answerer->files << QStringLiteral("/proc/self/mem");
    rig.page->loadDataFromFile();
    QCOMPARE(answerer->messages.size(), 1);
    QVERIFY(answerer->messages[0].informativeText.startsWith(QStringLiteral("/proc/self/mem\n")));
    QVERIFY(answerer->messages[0].informativeText.size() > int(strlen("/proc/self/mem\n")));
    QVERIFY(rig.changedBytes().isEmpty());
}

// The lock-code column exported alone and imported back at its own first cell: its fields go to the
// table's first column, which takes none; the box says so, and nothing changes.
void TestTableFiles::columnExportImportedBack()
{
    MainWindowStandIn main;
    OperationBin image;
    image.loadFile(sampleImage(QStringLiteral("U65")));
    PageSet set(main, sampleDefinition(QStringLiteral("U65")), &image);
    Page *page = set.page(2);
    MyTableWidget *grid = page->tableWidget();
    grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 2), grid->model()->index(63, 2)),
                                   QItemSelectionModel::Select);
    answerer->files << dir->filePath(QStringLiteral("codes"));
    page->makeCopyTableToFile();
    const QString path = dir->filePath(QStringLiteral("codes.op"));
    QVERIFY(readFile(path).startsWith("*****4820_U65_31415_Birch Lane 12, entrance A*****\r\n2851\t\r\n"));

    const QByteArray before = image.image();
    grid->setCurrentCell(0, 2);
    answerer->files << path;
    page->loadDataFromFile();
    QCOMPARE(answerer->messages.size(), 1);
    QCOMPARE(answerer->messages[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer->messages[0].informativeText, path + QStringLiteral("\nno column takes\n2: 2851 | "));
    QCOMPARE(differingBytes(before, image.image()), QString());
    QVERIFY(!dataModified);
}

// Unserviced flats: one warning after the import, every such row "e" with flat byte 0.
void TestTableFiles::importWarnsOnce()
{
    Fixture files;
    TableRig rig;
    KeyPanelFixture::build(rig, files);
    const QString path = write(QStringLiteral("in.id"), "t\r\n0\tAAAA\t500\t\r\n1\tBBBB\t600\t\r\n2\tCCCC\te\t\r\n"
                                                         "End Of Table TM_Flat");
    rig.select(QStringLiteral("10:0"));
    answerer->files << path;
    rig.page->loadDataFromFile();
    QCOMPARE(answerer->messages.size(), 1);
    QCOMPARE(answerer->messages[0].text, QStringLiteral("Unserviced flat!"));
    QCOMPARE(rig.text(10, 2), QStringLiteral("e"));
    QCOMPARE(rig.text(12, 2), QStringLiteral("e"));
    QCOMPARE(changedByteTexts(rig), (QStringList{"2068:AA", "2069:AA", "2070:BB", "2071:BB", "2072:CC", "2073:CC",
                                                 "4106:00", "4107:00", "4108:00"}));
    QVERIFY(dataModified);
}

void TestTableFiles::importCombos_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QString>("options"); // flat 1's option word after the import, or "refused"
    // Flat 1: code 1234, options 0x0005 (fields 5 and 0); the second field has 3 items.
    QTest::newRow("indexes") << QByteArray("1\t1\t0042\t7\t2\t") << "0017";
    QTest::newRow("-1 leaves the cell") << QByteArray("1\t1\t0042\t-1\t1\t") << "000D";
    QTest::newRow("index past the items") << QByteArray("1\t1\t0042\t8\t0\t") << "refused";
    QTest::newRow("index not a number") << QByteArray("1\t1\t0042\tx\t0\t") << "refused";
    QTest::newRow("lock code out of range") << QByteArray("1\t1\t10000\t0\t0\t") << "refused";
}

void TestTableFiles::importCombos()
{
    QFETCH(QByteArray, row);
    QFETCH(QString, options);
    Fixture files;
    TableRig rig;
    importInto(rig, files, QStringLiteral("locks"), "*****t*****\r\n" + row + "\r\nEnd Of Table Code/Flat Options",
               QStringLiteral("0:2"));
    if (options == QLatin1String("refused")) {
        QCOMPARE(answerer->messages.size(), 1);
        QVERIFY(rig.changedBytes().isEmpty());
        return;
    }
    QCOMPARE(answerer->messages.size(), 0);
    QCOMPARE(rig.word(0x202), 42);
    QCOMPARE(QString::number(rig.word(1538), 16).rightJustified(4, QLatin1Char('0')).toUpper(), options);
}

// The image bytes of a table's rows: key codes and flats, lock codes and option words, name records.
static QList<int> tableRegion(const Page *page)
{
    QList<int> region;
    const int recordLength = page->tableLine(1)->dbRecordLayout().value(0);
    for (int k = 1; k <= page->tableSize(); ++k) {
        const TableLine *line = page->tableLine(k);
        switch (page->tableKind()) {
        case KeyTable:
            region << line->getAddress(2) << line->getAddress(2) + 1 << line->getAddress(3);
            break;
        case LockCodeTable:
            region << line->getAddress(1) << line->getAddress(1) + 1 << line->getAddress(0) << line->getAddress(0) + 1;
            break;
        case NameTable:
            for (int i = 0; i < recordLength; ++i)
                region << line->getAddress(4) + i;
            break;
        }
    }
    return region;
}

void TestTableFiles::importNameNumbers_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QStringList>("bytes"); // record 1's flat (U16, 0..9999) and block (U8, 0..99), or "refused"
    QTest::newRow("deleted row's empty cells") << QByteArray("1\t\t\t\t") << QStringList{"5181:00", "5182:00"};
    QTest::newRow("erased record's numbers") << QByteArray("1\tAnna\t65535\t255\t") << QStringList{"5180:FF", "5181:FF", "5182:FF"};
    QTest::newRow("flat past its two bytes") << QByteArray("1\tAnna\t65536\t3\t") << QStringList{"refused"};
    QTest::newRow("block past its byte") << QByteArray("1\tAnna\t12\t256\t") << QStringList{"refused"};
}

// A name record's numbers take what the image's record can hold, whatever the columns' ranges.
void TestTableFiles::importNameNumbers()
{
    QFETCH(QByteArray, row);
    QFETCH(QStringList, bytes);
    Fixture files;
    TableRig rig;
    importInto(rig, files, QStringLiteral("names"), "*****t*****\r\n" + row + "\r\nEnd Of Table DB_NAME", QStringLiteral("1:0"));
    const bool refused = bytes == QStringList{"refused"};
    QCOMPARE(answerer->messages.size(), refused ? 1 : 0);
    QCOMPARE(changedByteTexts(rig), refused ? QStringList() : bytes);
}

void TestTableFiles::roundTrip_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QString>("differences");
    QTest::addColumn<QString>("retouch"); // how the exported file is changed before the import
    // Flat 70's authorization field holds 3, which its list lacks: the cell shows the error text,
    // is exported as -1 and is left as it is by the import, so its emptied bits stay empty.
    // Each table as exported, converted to CR LF once more (every line), and with one retouch of its
    // title line each: a blank or a TAB after it (as an editor or a spreadsheet leaves it), the unit's
    // address (IDO) holding the end line's words.
    const struct { const char *name, *model; int page; const char *differences, *titleRetouch; } tables[] = {
        {"U65 lock codes", "U65", 2, "1676:00", "blank after the title"},
        {"U65 keys", "U65", 3, "", "IDO End of table"},
        {"U65 names", "U65", 4, "", "TAB after the title"},
        {"H65 keys", "H65", 1, "", "IDO End of table"}};
    for (const auto &table : tables) {
        for (const char *retouch : {"", "CR CR LF", table.titleRetouch})
            QTest::addRow("%s%s%s", table.name, *retouch ? ", " : "", retouch)
                << table.model << table.page << table.differences << retouch;
    }
}

// A whole table exported and imported into a fresh build over an image whose table was emptied
// brings back the sample image (the names once they are saved).
void TestTableFiles::roundTrip()
{
    QFETCH(QString, model);
    QFETCH(int, pageIndex);
    QFETCH(QString, differences);
    QFETCH(QString, retouch);
    OperationBin sample;
    sample.loadFile(sampleImage(model));
    const QByteArray original = sample.image();
    if (retouch == QLatin1String("IDO End of table"))
        sample.writeText(QStringLiteral("30"), QStringLiteral("End of table street 5"), QStringLiteral("0x0100"));
    QString path;

    QByteArray emptied = original;
    {
        MainWindowStandIn main;
        PageSet set(main, sampleDefinition(model), &sample);
        Page *page = set.page(pageIndex);
        page->tableWidget()->selectAll();
        answerer->files << dir->filePath(QStringLiteral("table"));
        page->makeCopyTableToFile();
        path = dir->filePath(QStringLiteral("table") + set.firstTreePage()->tableFileExtension(page->tableKind() - 1));
        QByteArray exported = readFile(path);
        QVERIFY(exported.startsWith("*****"));
        const int titleEnd = exported.indexOf("\r\n");
        if (retouch == QLatin1String("blank after the title"))
            exported.insert(titleEnd, ' ');
        else if (retouch == QLatin1String("TAB after the title"))
            exported.insert(titleEnd, '\t');
        else if (retouch == QLatin1String("CR CR LF"))
            exported.replace("\r\n", "\r\r\n");
        else if (retouch == QLatin1String("IDO End of table"))
            QVERIFY(exported.left(titleEnd).contains("End of table street 5"));
        QVERIFY(writeFile(path, exported));

        // The table's own bytes: key slots empty, lock codes and options 0, name records blank.
        const int recordLength = page->tableLine(1)->dbRecordLayout().value(0);
        for (int k = 1; k <= page->tableSize(); ++k) {
            const TableLine *line = page->tableLine(k);
            const auto put = [&emptied](int address, char byte) { emptied[address] = byte; };
            switch (page->tableKind()) {
            case KeyTable:
                put(line->getAddress(2), 0), put(line->getAddress(2) + 1, 0), put(line->getAddress(3), char(0xFF));
                break;
            case LockCodeTable:
                for (int i = 0; i < 2; ++i)
                    put(line->getAddress(1) + i, 0), put(line->getAddress(0) + i, 0);
                break;
            case NameTable:
                for (int i = 0; i < recordLength; ++i)
                    put(line->getAddress(4) + i, i < 28 && i % 2 == 0 ? ' ' : 0);
                break;
            }
        }
        QVERIFY(emptied != original);
    }

    OperationBin image;
    image.loadHex(emptied.toHex());
    MainWindowStandIn main;
    PageSet set(main, sampleDefinition(model), &image);
    Page *page = set.page(pageIndex);
    page->tableWidget()->setCurrentCell(0, 0);
    answerer->files << path;
    page->loadDataFromFile();
    page->saveTMTable();
    QCOMPARE(answerer->messages.size(), 0);
    QCOMPARE(differingBytes(original, image.image()), differences);
}

void TestTableFiles::ownExportImportedUnchanged_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QString>("state");
    const struct { const char *name, *model; int page; } tables[] = {
        {"U65 lock codes", "U65", 2}, {"U65 keys", "U65", 3}, {"U65 names", "U65", 4}, {"H65 keys", "H65", 1}};
    for (const auto &table : tables)
        for (const char *state : {"sample", "erased", "row deleted"})
            QTest::addRow("%s, %s", table.name, state) << table.model << table.page << state;
}

// Whatever a table shows, its whole export imported at the first cell is taken and leaves the
// image as it was, and the data unmodified: on the sample, on an image whose table bytes are all 0xFF (names of U+FFFF,
// numbers outside the columns' ranges, combos showing the error text) and after Delete of a row.
void TestTableFiles::ownExportImportedUnchanged()
{
    QFETCH(QString, model);
    QFETCH(int, pageIndex);
    QFETCH(QString, state);
    OperationBin image;
    image.loadFile(sampleImage(model));
    if (state == QLatin1String("erased")) {
        QByteArray erased = image.image();
        {
            TableRig table; // the table page alone gives the addresses
            Page *page = table.build(sampleDefinition(model), pageIndex);
            for (int address : tableRegion(page))
                erased[address] = char(0xFF);
        }
        image.loadHex(erased.toHex());
    }
    MainWindowStandIn main;
    PageSet set(main, sampleDefinition(model), &image);
    Page *page = set.page(pageIndex);
    MyTableWidget *grid = page->tableWidget();
    if (state == QLatin1String("row deleted")) {
        grid->selectRow(2);
        page->deleteCells();
    }
    page->saveTMTable(); // the names in the image, as a Save puts them there
    const QByteArray before = image.image();
    dataModified = false; // as after a Save

    grid->selectAll();
    answerer->files << dir->filePath(QStringLiteral("table"));
    page->makeCopyTableToFile();
    grid->setCurrentCell(0, 0);
    answerer->files << dir->filePath(QStringLiteral("table") + set.firstTreePage()->tableFileExtension(page->tableKind() - 1));
    page->loadDataFromFile();
    page->saveTMTable();
    QCOMPARE(answerer->fileDialogs.size(), 2);
    QStringList shown;
    for (const ModalAnswerer::MessageSeen &message : qAsConst(answerer->messages))
        shown << message.text + QLatin1Char(' ') + message.informativeText;
    QCOMPARE(shown.join(QLatin1Char('\n')), QString());
    QCOMPARE(differingBytes(before, image.image()), QString());
    // No cell changed: the data is as saved.
    QVERIFY(!dataModified);
}

QTEST_MAIN(TestTableFiles)
#include "tst_tablefiles.moc"
