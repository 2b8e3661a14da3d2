#include "editordelegate.h"
#include "mybutton.h"
#include "mycombobox.h"
#include "mytabwidget.h"
#include "pagewidget.h"
#include "tablefixtures.h"

#include <QComboBox>
#include <QGroupBox>
#include <QProgressDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QtTest>

// The number of connections to a signal: QObject::receivers, which is protected, named through a
// class of our own.
struct ReceiverCount : QObject {
    static int of(QObject *sender, const char *signal)
    {
        return sender ? (sender->*(&ReceiverCount::receivers))(signal) : -1;
    }
};

// Building a table page: rows, addresses, grid, header, kind, panel, delegates and connections; the
// page's small slots (help, combo cells, the whole-column combo, the copy flags); lifetime.
class TestTablePage : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void buildSamples_data();
    void buildSamples();
    void sections_data();
    void sections();
    void legendAndPanel();
    void specialFlatItems_data();
    void specialFlatItems();
    void specialFlatStart_data();
    void specialFlatStart();
    void delegates();
    void panelConnections_data();
    void panelConnections();
    void fixtureEdges_data();
    void fixtureEdges();
    void help();
    void comboCellOpensInPlace();
    void wholeColumnCombo();
    void copyFlags();
    void rebuilds();
};

void TestTablePage::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestTablePage::buildSamples_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("keyReader");
    QTest::addColumn<int>("selectKey");
    QTest::addColumn<QStringList>("headers");
    // Row -> "kind=address" of the first and last row, and the first and last index texts.
    QTest::addColumn<QStringList>("firstAddresses");
    QTest::addColumn<QStringList>("lastAddresses");
    QTest::addColumn<QString>("lastIndex");

    QTest::newRow("U65 lock codes") << "U65" << 2 << " Coded lock codes/Flats options" << 254
                                    << QList<int>{53, 53, 73, 73, 103, 73, 108, 113, 98} << 1 << 0 << int(Qt::Key_Z)
                                    << QStringList{"Phy No.", "Log No.", "Lock code", "Melody No.", "Volume", "Rings No.",
                                                   "Mode", "Authorization", "Coded lock"}
                                    << QStringList{"0=1538", "1=514", "bits=1538:0-2 1538:3-4 1538:12-13"}
                                    << QStringList{"0=2044", "1=1020", "bits=2044:0-2 2044:3-4 2044:12-13"} << "254";
    QTest::newRow("U65 keys") << "U65" << 3 << "Key fobs" << 1024 << QList<int>{68, 78, 78} << 2 << 1 << 0
                              << QStringList{"Pos.", "ID No.", "Flat"} << QStringList{"2=2048", "3=4096"}
                              << QStringList{"2=4094", "3=5119"} << "1023";
    QTest::newRow("U65 names") << "U65" << 4 << "Name directory" << 96 << QList<int>{53, 208, 68, 68} << 3 << 0 << 0
                               << QStringList{"No.", "Name", "Flat", "Block"}
                               << QStringList{"4=5120", "5=5148", "6=5150"}
                               << QStringList{"4=8160", "5=8188", "6=8190"} << "95";
    QTest::newRow("H65 keys, flat column 0 wide") << "H65" << 1 << "Key fobs" << 2048 << QList<int>{68, 78, 8} << 2 << 1 << 0
                                                  << QStringList{"Pos.", "ID No.", ""} << QStringList{"2=2048", "3=6144"}
                                                  << QStringList{"2=6142", "3=8191"} << "2047";
}

void TestTablePage::buildSamples()
{
    QFETCH(QString, model);
    QFETCH(int, pageIndex);
    QFETCH(QString, title);
    QFETCH(int, rows);
    QFETCH(QList<int>, widths);
    QFETCH(int, kind);
    QFETCH(int, keyReader);
    QFETCH(int, selectKey);
    QFETCH(QStringList, headers);
    QFETCH(QStringList, firstAddresses);
    QFETCH(QStringList, lastAddresses);
    QFETCH(QString, lastIndex);

    TableRig rig;
    Page *page = rig.buildSample(model, pageIndex);
    MyTableWidget *grid = rig.grid();
    QVERIFY(grid);
    QVERIFY(page->tableBuilt());
    QCOMPARE(page->pageNumber(), pageIndex);
    QCOMPARE(rig.main.tabs->tabText(0), title);
    QCOMPARE(page->tableSize(), rows);
    QCOMPARE(grid->rowCount(), rows);
    QCOMPARE(grid->columnCount(), widths.size());
    int total = 20;
    for (int j = 0; j < widths.size(); ++j) {
        QCOMPARE(grid->columnWidth(j), widths[j]);
        QCOMPARE(grid->horizontalHeaderItem(j)->text(), headers[j]);
        total += widths[j];
    }
    QCOMPARE(grid->geometry(), QRect(0, 0, total, 415));
    QCOMPARE(grid->rowHeight(0), 20);
    QCOMPARE(grid->rowHeight(rows - 1), 20);
    QCOMPARE(page->tableKind(), kind);
    QCOMPARE(page->keyReaderFlag(), keyReader);
    QCOMPARE(grid->columnSelectKey(), selectKey);
    QCOMPARE(rig.text(0, 0), model == "U65" && pageIndex == 2 ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(rig.text(rows - 1, 0), lastIndex);

    const auto checkAddresses = [](TableLine *line, const QStringList &expected) {
        for (const QString &entry : expected) {
            const QString key = entry.section(QLatin1Char('='), 0, 0);
            const QString value = entry.section(QLatin1Char('='), 1);
            if (key == QLatin1String("bits")) {
                const QStringList bits = line->bitAddresses();
                const QStringList wanted = value.split(QLatin1Char(' '));
                // The combo columns of the lock-code table: Melody, Volume and Authorization.
                QCOMPARE(QStringList({bits.value(3), bits.value(4), bits.value(7)}), wanted);
            } else {
                QCOMPARE(line->getAddress(key.toInt()), value.toInt());
            }
        }
    };
    checkAddresses(page->tableLine(1), firstAddresses);
    checkAddresses(page->tableLine(rows), lastAddresses);

    // Building reads the image and writes nothing.
    QCOMPARE(rig.changedBytes(), QList<int>());
    QVERIFY(!dataModified);
    QVERIFY(!page->progressDialog()->isVisible());
    QVERIFY(!page->copyAllowed());
    QVERIFY(!page->copyMenuEnabled());
    QVERIFY(!page->pasteMenuEnabled());
}

void TestTablePage::sections_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("pageIndex");
    // Line number (1-based) and the background colour of its cells.
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QStringList>("colours");
    QTest::newRow("2048 slots") << "H65" << 1 << QList<int>{1, 2000, 2001, 2040, 2041, 2048}
                                << QStringList{"#ffffff", "#ffffff", "#f5fbb8", "#f5fbb8", "#e1fbce", "#e1fbce"};
    QTest::newRow("1024 slots") << "U65" << 3 << QList<int>{1000, 1001, 1020, 1021}
                                << QStringList{"#ffffff", "#f6fbc7", "#f6fbc7", "#e0ffe0"};
}

void TestTablePage::sections()
{
    QFETCH(QString, model);
    QFETCH(int, pageIndex);
    QFETCH(QList<int>, lines);
    QFETCH(QStringList, colours);
    TableRig rig;
    rig.buildSample(model, pageIndex);
    for (int i = 0; i < lines.size(); ++i) {
        for (int column = 0; column < 3; ++column) {
            const QBrush brush = rig.cell(lines[i] - 1, column)->background();
            QCOMPARE(brush.style(), Qt::SolidPattern);
            QCOMPARE(brush.color().name(), colours[i]);
        }
    }
}

void TestTablePage::legendAndPanel()
{
    TableRig rig;
    Page *page = rig.buildSample(QStringLiteral("U65"), 3);
    TableLine *panel = page->panelLine();
    QCOMPARE(panel->parentWidget.data(), static_cast<QWidget *>(page->pageWidget()->container()));
    QCOMPARE(panel->legendEdits[0]->text(), QStringLiteral("Positions 0 - 999: residents' key fobs"));
    QCOMPARE(panel->legendEdits[2]->text(), QStringLiteral("Positions 1020 - 1023: master key fobs"));
    QCOMPARE(panel->legendLabels[1]->styleSheet(), QStringLiteral("background-color:#f6fbc7"));
    QCOMPARE(panel->helpLineEdit.data(), rig.main.helpLine);
    QVERIFY(panel->menuBox);
    QVERIFY(panel->foundList);

    // The lock-code table has no panel: its line exists without widgets.
    TableRig lock;
    Page *lockPage = lock.buildSample(QStringLiteral("U65"), 2);
    QVERIFY(lockPage->panelLine());
    QVERIFY(!lockPage->panelLine()->menuBox);
    QVERIFY(!lockPage->panelLine()->legendEdits[0]);
}

void TestTablePage::specialFlatItems_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<int>("count");
    QTest::newRow("lock codes: FLAT_NR_START 241 of 254") << "U65" << 2 << 14;
    QTest::newRow("key table of 3 columns") << "U65" << 3 << 0;
    QTest::newRow("name table") << "U65" << 4 << 0;
    QTest::newRow("2048 keys") << "H65" << 1 << 0;
}

void TestTablePage::specialFlatItems()
{
    QFETCH(QString, model);
    QFETCH(int, pageIndex);
    QFETCH(int, count);
    TableRig rig;
    Page *page = rig.buildSample(model, pageIndex);
    const QList<MyTableWidgetItem *> items = page->specialFlatItems();
    QCOMPARE(items.size(), count);
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(items[i]->cellType(), int(CellComputedFlat));
        QCOMPARE(items[i]->row(), 240 + i); // lines 241 to 254
    }
    if (count > 0) {
        // The tree pages' special-flat editor drives the cell; it is not written anywhere.
        items[0]->setValue(QStringLiteral("777"));
        QCOMPARE(rig.text(240, 1), QStringLiteral("777"));
        QCOMPARE(rig.changedBytes(), QList<int>());
    }
}

void TestTablePage::specialFlatStart_data()
{
    QTest::addColumn<QString>("flatStart");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("none") << "" << QList<int>{};
    QTest::newRow("0: no special positions") << "0" << QList<int>{};
    QTest::newRow("6 of 8") << "6" << QList<int>{5, 6, 7};
    QTest::newRow("beyond the table") << "9" << QList<int>{};
}

void TestTablePage::specialFlatStart()
{
    QFETCH(QString, flatStart);
    QFETCH(QList<int>, rows);
    using namespace TableXml;
    const QString computed = "<TEXT_TABLE WIDTH=\"45\" POS=\"CENTER\" FTCOL=\"BLUE\" TXT=\"\" VTYPE=\"U16\" VALUE=\"LOGIC\""
                             " FLAT_NR_START=\"\" HELPTXT=\"Log\"/>";
    QString options;
    for (int bits = 0; bits < 10; bits += 2)
        options += TableFixtures::combo(QStringLiteral("1536:%1-%2").arg(bits).arg(bits + 1), "a/b/c/d/");
    Fixture files;
    TableRig rig;
    rig.fillImage('\0');
    Page *page = rig.build(files.definition(Fixture::tablePage(
                               header({"Phy", "Log", "Code", "A", "B", "C", "D", "E"}, {45, 45, 65, 65, 65, 65, 65, 65})
                               + line(tableDim(8, 1, "Copy/Paste/Import/Save/0x5a/") + index() + computed
                                      + edit("CIPHER", "0", "9999", "0x0200", "%04d", flatStart) + options))),
                           0);
    QCOMPARE(page->tableColumnCount(), 8);
    QList<int> found;
    for (MyTableWidgetItem *item : page->specialFlatItems())
        found << item->row();
    QCOMPARE(found, rows);
}

void TestTablePage::delegates()
{
    TableRig rig;
    rig.buildSample(QStringLiteral("U65"), 2);
    MyTableWidget *grid = rig.grid();
    QVERIFY(!qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(0)));
    QVERIFY(!qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(1)));
    auto *code = qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(2));
    QVERIFY(code);
    QCOMPARE(code->parent(), grid);
    QCOMPARE(code->base(), 10);
    QCOMPARE(code->minimum(), 0);
    QCOMPARE(code->maximum(), 9999);
    QCOMPARE(code->markedTextColor(), QColor(Qt::black));
    QCOMPARE(code->selectionTextColor(), QColor(Qt::red));
    for (int j = 3; j < 9; ++j)
        QVERIFY(qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(j)));

    TableRig keys;
    keys.buildSample(QStringLiteral("H65"), 1);
    auto *keyCode = qobject_cast<EditorDelegate *>(keys.grid()->itemDelegateForColumn(1));
    auto *flat = qobject_cast<EditorDelegate *>(keys.grid()->itemDelegateForColumn(2));
    QVERIFY(keyCode && flat);
    QCOMPARE(keyCode->base(), 16);
    QCOMPARE(keyCode->maximum(), 0xFFFF);
    QCOMPARE(flat->base(), 10);
    QCOMPARE(flat->maximum(), 0xFF);

    TableRig names;
    names.buildSample(QStringLiteral("U65"), 4);
    auto *name = qobject_cast<EditorDelegate *>(names.grid()->itemDelegateForColumn(1));
    QVERIFY(name);
    QCOMPARE(name->base(), 0);
    QCOMPARE(name->maxLength(), 14);
}

void TestTablePage::panelConnections_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("pageIndex");
    // newSignal, long serial, TMData, TMLSerial, BUTTON_4, found list (pressed, Return, menu).
    QTest::addColumn<QList<int>>("counts");
    QTest::newRow("1024 keys: whole panel") << "U65" << 3 << QList<int>{1, 1, 6, 1, 1, 1, 1, 1};
    QTest::newRow("2048 keys: whole panel") << "H65" << 1 << QList<int>{1, 1, 6, 1, 1, 1, 1, 1};
    QTest::newRow("lock codes: no panel") << "U65" << 2 << QList<int>{0, 0, 0, 0, -1, -1, -1, -1};
    QTest::newRow("names: no panel") << "U65" << 4 << QList<int>{0, 0, 0, 0, -1, -1, -1, -1};
}

void TestTablePage::panelConnections()
{
    QFETCH(QString, model);
    QFETCH(int, pageIndex);
    QFETCH(QList<int>, counts);
    TableRig rig;
    Page *page = rig.buildSample(model, pageIndex);
    TableLine *panel = page->panelLine();
    MyTableWidget *found = panel->foundList;
    const QList<int> actual{ReceiverCount::of(&rig.image, SIGNAL(newSignal(QString))),
                            ReceiverCount::of(&rig.image, SIGNAL(sendTMkeyLongSerialNumber(QString))),
                            ReceiverCount::of(page, SIGNAL(TMData(QString))),
                            ReceiverCount::of(page, SIGNAL(TMLSerial(QString))),
                            ReceiverCount::of(panel->panelButtons[3], SIGNAL(clicked(bool))),
                            ReceiverCount::of(found, SIGNAL(itemPressed(QTableWidgetItem *))),
                            ReceiverCount::of(found, SIGNAL(goToCell(QTableWidgetItem *))),
                            ReceiverCount::of(found, SIGNAL(rightMenu(QModelIndex, QString)))};
    QCOMPARE(actual, counts);
    if (panel->panelButtons[5]) // the panel itself keeps the mode buttons exclusive
        QCOMPARE(ReceiverCount::of(panel->panelButtons[5], SIGNAL(clicked(bool))), 2);

    // The grid's signals reach the page on every table page, the cell changes in four slots.
    MyTableWidget *grid = rig.grid();
    QCOMPARE(ReceiverCount::of(grid, SIGNAL(cellChanged(int, int))), 4);
    QCOMPARE(ReceiverCount::of(grid, SIGNAL(cellEntered(int, int))), 2);
    QCOMPARE(ReceiverCount::of(grid, SIGNAL(rightMenu(QModelIndex, QString))), 1);
    QCOMPARE(ReceiverCount::of(grid, SIGNAL(control_X())), 0);
    QCOMPARE(ReceiverCount::of(grid->horizontalHeader(), SIGNAL(sectionClicked(int))), 1);
}

void TestTablePage::fixtureEdges_data()
{
    QTest::addColumn<QString>("sections");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("keyReader");
    QTest::addColumn<int>("delegates");

    using namespace TableXml;
    const QString keyHeader = header({"Pos.", "ID No."}, {60, 70});
    const QString keyCells = index() + edit("TMCODE", "0", "0xFFFF", "0x800", "%04X");
    const QString comments = "Copy/Paste/Import/Save//Unserviced/Delete/Duplicates/";
    QTest::newRow("2-column key table") << keyHeader + line(tableDim(8, 0, comments) + keyCells) << 8 << 2 << 2 << 1 << 1;
    QTest::newRow("SIZE 0") << keyHeader + line(tableDim(0, 0, comments) + keyCells) << 0 << 2 << 0 << 0 << 0;
    QTest::newRow("SIZE 5000") << keyHeader + line(tableDim(5000, 0, comments) + keyCells) << 0 << 2 << 0 << 0 << 0;
    QTest::newRow("SIZE 4999") << keyHeader + line(tableDim(4999, 0, comments) + keyCells) << 4999 << 2 << 2 << 1 << 1;
    QTest::newRow("no TABLEDIM") << keyHeader + line(keyCells) << 0 << 2 << 0 << 0 << 0;
    QTest::newRow("comment in DEFINITION")
        << QString(keyHeader).replace("<DEFINITION>", "<DEFINITION><!-- columns -->") + line(tableDim(4, 0, comments) + keyCells)
        << 4 << 3 << 2 << 1 << 1;
    QTest::newRow("no kind: index only") << keyHeader + line(tableDim(4, 0, comments) + index()) << 4 << 2 << 0 << 0 << 0;
    QTest::newRow("TABSECTIONS without BOX_SECTIONS")
        << keyHeader + line(tableDim(4, 0, comments) + TableXml::sections("2 white 3 red 4 nonsense") + keyCells)
               + "<WIDGETS><BOX_MENU X=\"260\" Y=\"10\" W=\"510\" H=\"305\" TITLE=\"Reader\"/>"
                 "<TEXT_1 WIDTH=\"100\" HORIZ_MARG=\"10\" VERT_MARG=\"30\" POS=\"LEFT\" LABEL=\"Code\"/></WIDGETS>"
        << 4 << 2 << 2 << 1 << 1;
}

void TestTablePage::fixtureEdges()
{
    QFETCH(QString, sections);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(int, kind);
    QFETCH(int, keyReader);
    QFETCH(int, delegates);
    Fixture files;
    TableRig rig;
    rig.fillImage('\x11');
    Page *page = rig.build(files.definition(Fixture::tablePage(sections)), 0);
    MyTableWidget *grid = rig.grid();
    QCOMPARE(page->tableSize(), rows);
    QCOMPARE(grid->rowCount(), rows);
    QCOMPARE(page->tableColumnCount(), columns);
    QCOMPARE(grid->columnCount(), columns);
    QCOMPARE(page->tableKind(), kind);
    QCOMPARE(page->keyReaderFlag(), keyReader);
    int made = 0;
    for (int j = 0; j < columns; ++j)
        made += qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(j)) ? 1 : 0;
    QCOMPARE(made, delegates);
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Pos."));
    QCOMPARE(grid->columnWidth(columns - 1), columns == 3 ? 8 : 78);
    QCOMPARE(rig.changedBytes(), QList<int>());
    QVERIFY(!dataModified);

    // Nothing reads a row or cell the table does not have.
    grid->selectAll();
    page->viewHelp(-1, 0);
    page->viewHelp(rows, 0);
    page->viewHelp(0, columns - 1);
    page->showPopUpComb(QModelIndex());
    page->showPopUpComb(grid->model()->index(0, columns - 1));
    page->selectedColumn(-1);
    page->selectedColumn(columns - 1);
    page->setBoxValueForColumn(0);
    page->dataCopy();
    page->dataPast();
    page->deleteCells();
    page->saveTMTable();
    QCOMPARE(page->specialFlatItems().size(), 0);
    if (rows > 0 && sections.contains("TABSECTIONS")) {
        QCOMPARE(rig.cell(1, 0)->background().color(), QColor(Qt::white));
        QCOMPARE(rig.cell(2, 0)->background().color(), QColor(Qt::red));
        QCOMPARE(rig.cell(3, 0)->background().style(), Qt::NoBrush); // no such colour
    }
}

void TestTablePage::help()
{
    TableRig rig;
    Page *page = rig.buildSample(QStringLiteral("U65"), 3);
    MyTableWidget *grid = rig.grid();
    emit grid->cellEntered(5, 1);
    QCOMPARE(rig.main.helpLine->text(), QStringLiteral("Code of the key fob (four hexadecimal digits); ----- is a free position."));
    QCOMPARE(page->helpRow(), 5);
    QCOMPARE(page->helpColumn(), 1);
    emit grid->rowColumnHelp(7, 2);
    QCOMPARE(rig.main.helpLine->text(), QStringLiteral("Door number of the flat the key fob opens."));
    QCOMPARE(page->helpRow(), 7);
    emit grid->tableLeaved();
    QVERIFY(rig.main.helpLine->text().isEmpty());
    emit grid->cellClicked(-1, -1); // no current cell
    QCOMPARE(page->helpRow(), 7);
    QVERIFY(rig.main.helpLine->text().isEmpty());
}

void TestTablePage::comboCellOpensInPlace()
{
    TableRig rig;
    rig.buildSample(QStringLiteral("U65"), 2);
    QVERIFY(rig.main.show());
    MyTableWidget *grid = rig.grid();
    const QWidgetList before = QApplication::topLevelWidgets();
    QVERIFY(!rig.cell(3, 4)->hasComboBox());

    emit grid->sendModelIndex(grid->model()->index(3, 2)); // the lock code: no combo
    QVERIFY(!rig.cell(3, 2)->hasComboBox());
    emit grid->sendModelIndex(grid->model()->index(3, 4));
    MyTableWidgetItem *cell = rig.cell(3, 4);
    QVERIFY(cell->hasComboBox());
    QComboBox *box = cell->comboBox();
    QCOMPARE(box->parentWidget(), grid->viewport());
    QCOMPARE(box->geometry(), grid->visualRect(grid->model()->index(3, 4)));
    QVERIFY(box->isVisible());
    QVERIFY(box->view()->isVisible());
    QCOMPARE(box->currentIndex(), cell->currentIndex());

    // Picking an item writes the cell's bits and marks the data modified.
    const int word = 1536 + 2 * 4;
    const int others = rig.word(word) & ~0x18;
    box->hidePopup();
    box->setCurrentIndex(3);
    QCOMPARE(cell->currentIndex(), 3);
    QCOMPARE(rig.word(word), others | 3 << 3);
    QVERIFY(dataModified);
    // No window of its own: the box belongs to the grid.
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(before.contains(w) || !w->isVisible() || w->inherits("QComboBoxPrivateContainer"), w->metaObject()->className());
}

void TestTablePage::wholeColumnCombo()
{
    TableRig rig;
    Page *page = rig.buildSample(QStringLiteral("U65"), 2);
    QVERIFY(rig.main.show());
    MyTableWidget *grid = rig.grid();
    QComboBox *combo = page->columnCombo();
    QCOMPARE(combo->parentWidget(), static_cast<QWidget *>(page->pageWidget()->container()));

    emit grid->horizontalHeader()->sectionClicked(2); // lock codes: no combo
    QCOMPARE(combo->count(), 0);
    QVERIFY(!combo->isVisible());

    emit grid->sectionPressed(4); // Volume, after 53 + 53 + 73 + 73
    QCOMPARE(combo->geometry(), QRect(2 + 252, 4, 103, 20));
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->itemText(3), QStringLiteral("[M] - Max"));
    QCOMPARE(page->comboColumn(), 4);
    QVERIFY(combo->isVisible());

    // Every row takes the item; rows that had it write nothing again.
    rig.cell(10, 4)->setCurrentIndex(2);
    const QList<int> changedBefore = rig.changedBytes();
    dataModified = false;
    grid->selectAll();
    combo->hidePopup();
    QVERIFY(!combo->isVisible());
    emit combo->activated(2);
    int differing = 0;
    for (int row = 0; row < 254; ++row) {
        QCOMPARE(rig.cell(row, 4)->currentIndex(), 2);
        QVERIFY(!rig.cell(row, 4)->isSelected());
        QVERIFY(rig.cell(row, 3)->isSelected());
        QCOMPARE(rig.word(1538 + 2 * row) >> 3 & 3, 2);
        differing += rig.before.at(1538 + 2 * row + 1) != rig.image.image().at(1538 + 2 * row + 1) ? 1 : 0;
    }
    QVERIFY(differing > 0);
    QVERIFY(dataModified);
    Q_UNUSED(changedBefore);

    // An index the items do not have changes nothing.
    page->setBoxValueForColumn(7);
    QCOMPARE(rig.cell(0, 4)->currentIndex(), 2);
    emit grid->sectionPressed(-1);
    QVERIFY(!combo->isVisible());
}

void TestTablePage::copyFlags()
{
    TableRig rig;
    Page *page = rig.buildSample(QStringLiteral("U65"), 3);
    QVERIFY(!page->copyMenuEnabled());
    rig.select("2:1");
    QVERIFY(page->copyAllowed());
    QVERIFY(page->copyMenuEnabled());
    page->disableCopy();
    QVERIFY(!page->copyAllowed());
    QVERIFY(page->copyMenuEnabled());
    emit rig.grid()->itemSelected();
    QVERIFY(page->copyAllowed());
}

void TestTablePage::rebuilds()
{
    // Ten page builds and deletions of every sample table: the sanitizer build checks for leaks.
    for (int round = 0; round < 10; ++round) {
        for (const auto &[model, pageIndex] : {std::pair<const char *, int>{"U65", 2}, {"U65", 3}, {"U65", 4}, {"H65", 1}}) {
            TableRig rig;
            Page *page = rig.buildSample(QLatin1String(model), pageIndex);
            if (round == 0) {
                rig.select("1:1-3:2");
                page->dataCopy();
                page->tabMouseMenu(QModelIndex(), QStringLiteral("none"));
                page->tabMouseMenu(QModelIndex(), QStringLiteral("none"));
                emit rig.grid()->sendModelIndex(rig.grid()->model()->index(0, 4));
                emit rig.grid()->sectionPressed(4);
            }
            QPointer<QWidget> container = page->pageWidget()->container();
            rig.page.reset();
            QVERIFY(!container);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

QTEST_MAIN(TestTablePage)
#include "tst_tablepage.moc"
