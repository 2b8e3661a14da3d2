#include "tablefixtures.h"
#include "tableselection.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QtTest>

// Copy, paste and delete of table cells, and the table menu.
class TestTableClipboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void selectionBounds_data();
    void selectionBounds();
    void copyPaste_data();
    void copyPaste();
    void pasteWarnsOnce();
    void pasteOfComboColumns();
    void pasteNeedsACopyAndAKind();
    void deleteCells_data();
    void deleteCells();
    void menuEntries_data();
    void menuEntries();
    void menuRunsItsEntries();
    void menuAtTheKeyboard_data();
    void menuAtTheKeyboard();
    void menuInsideAnEntryOfThePrevious();
};

void TestTableClipboard::initTestCase()
{
    // The menu's icons come from the data tree, below the working directory.
    QVERIFY(QDir::setCurrent(QStringLiteral(TKV_DATA_ROOT)));
}

void TestTableClipboard::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestTableClipboard::selectionBounds_data()
{
    QTest::addColumn<QString>("areas");
    QTest::addColumn<QList<int>>("bounds"); // top, left, bottom, right, rows, columns
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("one rectangle") << "3:1-5:2" << QList<int>{3, 1, 5, 2, 3, 2} << QList<int>{3, 4, 5};
    QTest::newRow("second area above the first") << "10:1 3:2" << QList<int>{3, 1, 10, 2, 8, 2} << QList<int>{3, 10};
    QTest::newRow("second area below the first") << "3:2 10:1" << QList<int>{3, 1, 10, 2, 8, 2} << QList<int>{3, 10};
    QTest::newRow("three areas") << "7:0-8:0 2:2 5:1" << QList<int>{2, 0, 8, 2, 7, 3} << QList<int>{2, 5, 7, 8};
}

void TestTableClipboard::selectionBounds()
{
    QFETCH(QString, areas);
    QFETCH(QList<int>, bounds);
    QFETCH(QList<int>, rows);
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, "keys3");
    QVERIFY(!TableSelection(rig.grid()).hasSelection());
    rig.select(areas);
    const TableSelection selection(rig.grid());
    QVERIFY(selection.hasSelection());
    QCOMPARE((QList<int>{selection.topRow(), selection.leftColumn(), selection.bottomRow(), selection.rightColumn(),
                         selection.rowCount(), selection.columnCount()}),
             bounds);
    QCOMPARE(selection.rows(), rows);
}

void TestTableClipboard::copyPaste_data()
{
    QTest::addColumn<QString>("copied");  // the selection copied
    QTest::addColumn<QString>("target");  // the selection pasted into
    QTest::addColumn<int>("pointerRow");  // the row the pointer crossed last (-1: none)
    QTest::addColumn<QStringList>("rows"); // "row=code/flat" of the rows that changed, in row order
    QTest::addColumn<QStringList>("bytes");
    QTest::addColumn<int>("warnings");

    QTest::newRow("rectangle into as many rows")
        << "3:1-5:2" << "10:1-12:2" << -1 << QStringList{"10=3333/-----", "11=4444/e", "12=1A2B/12"}
        << QStringList{"2068:33", "2069:33", "2070:44", "2071:44", "2072:1A", "2073:2B", "4106:00", "4107:00", "4108:0C"} << 1;
    QTest::newRow("one row repeated") << "5:1-5:2" << "10:1-13:2" << -1
                                      << QStringList{"10=1A2B/12", "11=1A2B/12", "12=1A2B/12", "13=1A2B/12"}
                                      << QStringList{"2068:1A", "2069:2B", "2070:1A", "2071:2B", "2072:1A", "2073:2B",
                                                     "2074:1A", "2075:2B", "4106:0C", "4107:0C", "4108:0C", "4109:0C"} << 0;
    QTest::newRow("3 rows into 4: nothing") << "3:1-5:1" << "10:1-13:1" << -1 << QStringList{} << QStringList{} << 0;
    QTest::newRow("other columns: nothing") << "3:1-5:1" << "10:2-12:2" << -1 << QStringList{} << QStringList{} << 0;
    QTest::newRow("one cell takes the block from its row") << "3:1-5:1" << "20:2" << 20 << QStringList{"20=3333/-----", "21=4444/-----", "22=1A2B/-----"}
                                                           << QStringList{"2088:33", "2089:33", "2090:44", "2091:44", "2092:1A", "2093:2B",
                                                                          "4116:00", "4117:00", "4118:00"} << 0;
    // The help row follows the pointer; the paste goes where the user selected.
    QTest::newRow("one cell after the pointer crossed another row")
        << "3:1-5:1" << "20:2" << 25 << QStringList{"20=3333/-----", "21=4444/-----", "22=1A2B/-----"}
        << QStringList{"2088:33", "2089:33", "2090:44", "2091:44", "2092:1A", "2093:2B", "4116:00", "4117:00", "4118:00"} << 0;
    QTest::newRow("one cell in the last row") << "3:1-5:1" << "31:1" << -1 << QStringList{"31=3333/-----"}
                                              << QStringList{"2110:33", "2111:33", "4127:00"} << 0;
    QTest::newRow("one cell onto one cell") << "6:1" << "12:1" << 15 << QStringList{"12=6666/-----"}
                                            << QStringList{"2072:66", "2073:66", "4108:00"} << 0;
    // Ctrl+click areas: the bounding rectangle is copied; only rows with a selected cell take it.
    QTest::newRow("areas copied, second above the first") << "5:1 3:1" << "10:1-12:1" << -1
                                                          << QStringList{"10=3333/-----", "11=4444/-----", "12=1A2B/-----"}
                                                          << QStringList{"2068:33", "2069:33", "2070:44", "2071:44", "2072:1A",
                                                                         "2073:2B", "4106:00", "4107:00", "4108:00"} << 0;
    QTest::newRow("pasted into areas, second above the first") << "3:1-5:1" << "12:1 10:1" << -1
                                                               << QStringList{"10=3333/-----", "12=1A2B/-----"}
                                                               << QStringList{"2068:33", "2069:33", "2072:1A", "2073:2B", "4106:00", "4108:00"} << 0;
    QTest::newRow("pasted into areas, first above the second") << "3:1-5:1" << "10:1 12:1" << -1
                                                               << QStringList{"10=3333/-----", "12=1A2B/-----"}
                                                               << QStringList{"2068:33", "2069:33", "2072:1A", "2073:2B", "4106:00", "4108:00"} << 0;
    // Pasting free slots over keys removes them.
    QTest::newRow("free rows over keys") << "0:1-1:2" << "5:1-6:2" << -1 << QStringList{"5=-----/-----", "6=-----/-----"}
                                         << QStringList{"2058:00", "2059:00", "2060:00", "2061:00", "4101:FF", "4102:FF"} << 0;
}

void TestTableClipboard::copyPaste()
{
    QFETCH(QString, copied);
    QFETCH(QString, target);
    QFETCH(int, pointerRow);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, bytes);
    QFETCH(int, warnings);
    Fixture files;
    TableRig rig;
    Page *page = TableFixtures::build(rig, files, "keys3");
    const QStringList before = rowTexts(rig);
    MessageBoxAnswerer answerer;

    rig.select(copied);
    emit rig.grid()->control_C();
    QVERIFY(page->pasteMenuEnabled());
    rig.select(target);
    if (pointerRow >= 0)
        emit rig.grid()->cellEntered(pointerRow, 0);
    dataModified = false;
    emit rig.grid()->control_V();

    QCOMPARE(changedRows(before, rowTexts(rig)), rows);
    QCOMPARE(changedByteTexts(rig), bytes);
    QCOMPARE(dataModified, !rows.isEmpty());
    QCOMPARE(answerer.texts.size(), warnings); // once, after the paste
    // The pasted cells are no longer selected; the progress dialog is closed.
    for (const QString &row : rows)
        QVERIFY(!rig.cell(row.section('=', 0, 0).toInt(), 1)->isSelected());
    QVERIFY(!page->progressDialog()->isVisible());
    // The same columns or one selected cell: the paste ran behind its progress dialog.
    if (!rows.isEmpty() || QByteArray(QTest::currentDataTag()).startsWith("3 rows into 4"))
        QCOMPARE(page->progressDialog()->labelText(), QStringLiteral("Copying data"));
    QVERIFY(!page->operationRunning());
}

void TestTableClipboard::pasteWarnsOnce()
{
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, "keys3");
    rig.select("4:1-4:2"); // 4444 with flat "-1"
    emit rig.grid()->control_C();
    rig.select("10:1-29:2");
    MessageBoxAnswerer answerer;
    emit rig.grid()->control_V();
    QCOMPARE(answerer.texts, QStringList{"Unserviced flat!"});
    for (int row = 10; row < 30; ++row) {
        QCOMPARE(rig.text(row, 2), QStringLiteral("e"));
        QCOMPARE(rig.byte(0x1000 + row), 0);
        QCOMPARE(rig.word(0x800 + 2 * row), 0x4444);
    }
}

void TestTableClipboard::pasteOfComboColumns()
{
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, "locks");
    QCOMPARE(rig.cell(0, 3)->currentIndex(), 5);
    QCOMPARE(rig.cell(1, 4)->currentIndex(), -1); // a value the field has no item for
    QCOMPARE(rig.text(1, 4), QStringLiteral("Error"));

    rig.select("0:2-1:4");
    emit rig.grid()->control_C();
    rig.select("4:2-5:4");
    emit rig.grid()->control_V();
    QCOMPARE(rig.text(4, 2), QStringLiteral("1234"));
    QCOMPARE(rig.cell(4, 3)->currentIndex(), 5);
    QCOMPARE(rig.cell(4, 4)->currentIndex(), 0);
    QCOMPARE(rig.cell(5, 3)->currentIndex(), 2);
    // The copied -1 leaves the target as it was: no error text over an unchanged image.
    QCOMPARE(rig.cell(5, 4)->currentIndex(), 0);
    QCOMPARE(rig.text(5, 4), QStringLiteral("Quiet"));
    // Flats 5 and 6: lock codes at 0x20A and 0x20C, options at 1546 and 1548.
    QCOMPARE(changedByteTexts(rig), (QStringList{"522:04", "523:D2", "1547:05", "1549:02"}));
}

void TestTableClipboard::pasteNeedsACopyAndAKind()
{
    Fixture files;
    TableRig rig;
    Page *page = TableFixtures::build(rig, files, "keys3");
    rig.select("5:1");
    emit rig.grid()->control_V(); // before any copy
    page->dataPast();
    QCOMPARE(rig.changedBytes(), QList<int>());
    QVERIFY(!page->pasteMenuEnabled());
    QVERIFY(!dataModified);

    // A table without a kind copies nothing.
    TableRig plain;
    Page *plainPage = plain.build(files.definition(Fixture::tablePage(
                                      TableXml::header({"Pos."}, {60}) + TableXml::line(TableXml::tableDim(4, 0, TableFixtures::comments()) + TableXml::index()))),
                                  0);
    plain.select("1:0");
    plainPage->dataCopy();
    QVERIFY(!plainPage->pasteMenuEnabled());
}

void TestTableClipboard::deleteCells_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QStringList>("cells"); // "row:column=text" after the delete
    QTest::addColumn<QStringList>("bytes");
    QTest::addColumn<bool>("modified");
    QTest::newRow("key table, whole row") << "keys3" << "5:0-5:2" << QStringList{"5:1=-----", "5:2=-----"}
                                          << QStringList{"2058:00", "2059:00", "4101:FF"} << true;
    QTest::newRow("key table, code") << "keys3" << "5:1" << QStringList{"5:1=-----", "5:2=-----"}
                                     << QStringList{"2058:00", "2059:00", "4101:FF"} << true;
    QTest::newRow("key table, position and code") << "keys3" << "6:0-6:1" << QStringList{"6:1=-----", "6:2=-----"}
                                                  << QStringList{"2060:00", "2061:00", "4102:FF"} << true;
    QTest::newRow("key table, flat") << "keys3" << "5:2" << QStringList{"5:1=1A2B", "5:2=-----"} << QStringList{"4101:00"} << true;
    QTest::newRow("key table, position") << "keys3" << "5:0" << QStringList{"5:1=1A2B", "5:2=12"} << QStringList{} << false;
    // Ctrl+click on two positions: the rows between keep their keys.
    QTest::newRow("key table, two areas") << "keys3" << "6:1 3:1" << QStringList{"3:1=-----", "4:1=4444", "5:1=1A2B", "6:1=-----"}
                                          << QStringList{"2054:00", "2055:00", "2060:00", "2061:00", "4099:FF", "4102:FF"} << true;
    QTest::newRow("2-column key table") << "keys2" << "1:0" << QStringList{"1:1=-----"} << QStringList{"2050:00", "2051:00"} << true;
    QTest::newRow("name table, rectangle") << "names" << "1:0-1:3" << QStringList{"1:0=1", "1:1=", "1:2=", "1:3="}
                                           << QStringList{"5181:00", "5182:00"} << true;
    QTest::newRow("name table, only the selected cells") << "names" << "1:1 3:2"
                                                         << QStringList{"1:1=", "1:2=12", "1:3=3", "3:2="} << QStringList{} << true;
    QTest::newRow("lock codes: selection only") << "locks" << "0:0-1:4" << QStringList{"0:2=1234"} << QStringList{} << false;
}

void TestTableClipboard::deleteCells()
{
    QFETCH(QString, kind);
    QFETCH(QString, selection);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, bytes);
    QFETCH(bool, modified);
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, kind);
    rig.select(selection);
    emit rig.grid()->deleteKey();
    QVERIFY(rig.grid()->selectedItems().isEmpty());
    for (const QString &cell : cells) {
        const QString position = cell.section('=', 0, 0);
        QCOMPARE(rig.text(position.section(':', 0, 0).toInt(), position.section(':', 1).toInt()), cell.section('=', 1));
    }
    QCOMPARE(changedByteTexts(rig), bytes);
    QCOMPARE(dataModified, modified);
}

void TestTableClipboard::menuEntries_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QStringList>("entries"); // captions, "-" for a separator
    QTest::newRow("1024 keys") << "U65" << 3
                               << QStringList{"Copy", "Paste", "-", "Save to file", "Import from file", "-", "Find duplicates", "Find flat", "-", "Delete"};
    QTest::newRow("2048 keys: no Find flat") << "H65" << 1
                                             << QStringList{"Copy", "Paste", "-", "Save to file", "Import from file", "-", "Find duplicates", "-", "Delete"};
    QTest::newRow("lock codes: five items") << "U65" << 2
                                            << QStringList{"Copy", "Paste", "-", "Save to file", "Import from file", "-", "", "-", ""};
}

void TestTableClipboard::menuEntries()
{
    QFETCH(QString, model);
    QFETCH(int, pageIndex);
    QFETCH(QStringList, entries);
    TableRig rig;
    Page *page = rig.buildSample(model, pageIndex);
    page->tabMouseMenu(QModelIndex(), QStringLiteral("other")); // built, not shown
    QMenu *menu = page->tableMenu();
    QVERIFY(menu);
    QVERIFY(!menu->isVisible());
    QVERIFY(!menu->parent());
    QStringList captions;
    for (QAction *action : menu->actions()) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (!action->isSeparator())
            QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
    }
    QCOMPARE(captions, entries);
    const QList<QAction *> actions = menu->actions();
    QVERIFY(!actions[0]->isEnabled()); // Copy until the selection first changes
    QVERIFY(!actions[1]->isEnabled()); // Paste until the first copy
    for (int i = 2; i < actions.size(); ++i)
        QVERIFY(actions[i]->isEnabled());

    rig.select("1:1");
    page->tabMouseMenu(QModelIndex(), QStringLiteral("other"));
    QVERIFY(page->tableMenu()->actions()[0]->isEnabled());
    QVERIFY(!page->tableMenu()->actions()[1]->isEnabled());
    page->dataCopy();
    rig.grid()->clearSelection();
    page->tabMouseMenu(QModelIndex(), QStringLiteral("other"));
    QVERIFY(page->tableMenu()->actions()[0]->isEnabled()); // stays on
    QVERIFY(page->tableMenu()->actions()[1]->isEnabled());
}

void TestTableClipboard::menuRunsItsEntries()
{
    Fixture files;
    TableRig rig;
    Page *page = TableFixtures::build(rig, files, "keys3");
    QVERIFY(rig.main.show());
    rig.select("5:1-5:2");
    emit rig.grid()->rightMenu(QModelIndex(), QStringLiteral("mouse"));
    QMenu *menu = page->tableMenu();
    QVERIFY(menu->isVisible()); // popped up without blocking
    menu->actions()[0]->trigger(); // Copy
    QVERIFY(page->pasteMenuEnabled());
    menu->hide();

    rig.select("9:1-9:2");
    emit rig.grid()->rightMenu(QModelIndex(), QStringLiteral("mouse"));
    page->tableMenu()->actions()[1]->trigger(); // Paste
    QCOMPARE(rig.text(9, 1), QStringLiteral("1A2B"));
    QCOMPARE(rig.text(9, 2), QStringLiteral("12"));
    page->tableMenu()->hide();

    rig.select("9:1");
    page->tabMouseMenu(QModelIndex(), QStringLiteral("other"));
    page->tableMenu()->actions().last()->trigger(); // Delete
    QCOMPARE(rig.text(9, 1), QStringLiteral("-----"));
    QCOMPARE(rig.byte(0x1000 + 9), 0xFF);

    page->actionTabSlot(nullptr);
    // Entries of an earlier menu are no longer recognised: the copy stays that of row 5.
    QPointer<QAction> oldCopy = page->tableMenu()->actions()[0];
    page->tabMouseMenu(QModelIndex(), QStringLiteral("other"));
    rig.select("3:1-3:2");
    page->actionTabSlot(oldCopy);
    rig.select("20:1-20:2");
    page->dataPast();
    QCOMPARE(rig.text(20, 1), QStringLiteral("1A2B"));
}

void TestTableClipboard::menuAtTheKeyboard_data()
{
    QTest::addColumn<int>("row"); // -1: no current cell
    QTest::newRow("a cell") << 4;
    QTest::newRow("the last row") << 31;
    QTest::newRow("no current cell") << -1;
}

// The Menu key opens the menu at the current cell's column + 5 and the next row's top + 10, both
// viewport positions, taken in the table widget's own coordinates (the header's height above the
// place below the cell); without a current cell at (5, 10). The menu blocks until it is closed.
void TestTableClipboard::menuAtTheKeyboard()
{
    QFETCH(int, row);
    Fixture files;
    TableRig rig;
    Page *page = TableFixtures::build(rig, files, "keys3");
    QVERIFY(rig.main.show());
    MyTableWidget *grid = rig.grid();
    grid->resize(grid->width(), 150); // room for the menu below the last row on the test screen
    const QModelIndex index = row >= 0 ? grid->model()->index(row, 1) : QModelIndex();
    grid->scrollTo(index);
    QRect shownAt;
    QTimer::singleShot(50, this, [&] {
        QMenu *menu = page->tableMenu();
        shownAt = menu->geometry();
        menu->close();
    });
    emit grid->rightMenu(index, QStringLiteral("key"));
    const int nextRowTop = row + 1 < grid->rowCount() ? grid->rowViewportPosition(row + 1)
                                                      : grid->rowViewportPosition(row) + grid->rowHeight(row);
    const QPoint wanted =
        grid->mapToGlobal(index.isValid() ? QPoint(grid->columnViewportPosition(1) + 5, nextRowTop + 10) : QPoint(5, 10));
    QVERIFY(grid->viewport()->mapTo(grid, QPoint()).y() > 0); // a header stands above the viewport
    QCOMPARE(shownAt.topLeft(), wanted);
}

void TestTableClipboard::menuInsideAnEntryOfThePrevious()
{
    Fixture files;
    TableRig rig;
    Page *page = TableFixtures::build(rig, files, "keys3");
    page->tabMouseMenu(QModelIndex(), QStringLiteral("other"));
    QPointer<QMenu> first = page->tableMenu();
    QPointer<QAction> firstDelete = first->actions().last();
    // An entry that, while it runs, asks for the next menu (as a file dialog's event loop can).
    connect(first.data(), &QMenu::triggered, page, [page] { page->tabMouseMenu(QModelIndex(), QStringLiteral("other")); });
    rig.select("5:1");
    firstDelete->trigger();
    QCOMPARE(rig.text(5, 1), QStringLiteral("-----"));
    QVERIFY(first); // still there while its entry ran
    QVERIFY(page->tableMenu() != first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    QVERIFY(!firstDelete);
    QCOMPARE(page->tableMenu()->actions().size(), 10);
    rig.select("6:1");
    page->tableMenu()->actions().last()->trigger();
    QCOMPARE(rig.text(6, 1), QStringLiteral("-----"));
}

QTEST_MAIN(TestTableClipboard)
#include "tst_tableclipboard.moc"
