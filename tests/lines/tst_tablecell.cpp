#include "mycombobox.h"
#include "mylineboxedit.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "testsupport.h"

#include <QtTest>

namespace {

const QColor Changed(Qt::red);
const QColor Normal(Qt::black);

MyTableWidgetItem *makeCell(int type, const QString &format, const QString &vmin, const QString &vmax)
{
    auto *cell = new MyTableWidgetItem(type);
    cell->setFormat(format);
    cell->setRange(vmin, vmax);
    cell->setTextColor(Normal);
    cell->setChangedColor(Changed);
    return cell;
}

}

class TestTableCell : public QObject
{
    Q_OBJECT
private slots:
    void base_data();
    void base();
    void range_data();
    void range();
    void formattedValue_data();
    void formattedValue();
    void formatValueInBase_data();
    void formatValueInBase();
    void initValue();
    void acceptEditedText_data();
    void acceptEditedText();
    void reformatSlot_data();
    void reformatSlot();
    void colours();
    void onlyComboCellsHaveABox();
    void comboCell_data();
    void comboCell();
    void comboBoxGoesWithItsCell();
    void specialFlatCellFollowsEditor();
};

void TestTableCell::base_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("base");
    QTest::newRow("%04X") << "%04X" << 16;
    QTest::newRow("%04d") << "%04d" << 10;
    QTest::newRow("%08b") << "%08b" << 2;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("d and x") << "%dx" << 10;
}

void TestTableCell::base()
{
    QFETCH(QString, format);
    QFETCH(int, base);
    MyTableWidgetItem cell(CellLockCode);
    QCOMPARE(cell.base(), 10);
    cell.setFormat(format);
    QCOMPARE(cell.base(), base);
    QCOMPARE(cell.format(), format);
}

void TestTableCell::range_data()
{
    QTest::addColumn<QString>("vmin");
    QTest::addColumn<QString>("vmax");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::newRow("hex") << "0" << "0xFF" << 0 << 255;
    QTest::newRow("upper-case X") << "0" << "0XFFFF" << 0 << 0xFFFF;
    QTest::newRow("decimal") << "0" << "255" << 0 << 255;
    QTest::newRow("lock codes") << "0" << "9999" << 0 << 9999;
    QTest::newRow("hex minimum, decimal maximum") << "0x10" << "255" << 0 << 255;
    QTest::newRow("not numbers") << "a" << "b" << 0 << 0;
}

void TestTableCell::range()
{
    QFETCH(QString, vmin);
    QFETCH(QString, vmax);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    MyTableWidgetItem cell(CellLockCode);
    cell.setRange(vmin, vmax);
    QCOMPARE(cell.minimum(), minimum);
    QCOMPARE(cell.maximum(), maximum);
}

void TestTableCell::formattedValue_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("vmax");
    QTest::addColumn<int>("base");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lock code above range") << int(CellLockCode) << "%04d" << "9999" << 10 << "10000" << "0000";
    QTest::newRow("lock code") << int(CellLockCode) << "%04d" << "9999" << 10 << "42" << "0042";
    QTest::newRow("key code") << int(CellKeyCode) << "%04X" << "0xFFFF" << 16 << "3ba1" << "3BA1";
    QTest::newRow("empty flat") << int(CellKeyFlat) << "%d" << "0xFF" << 10 << "-----" << "-----";
    QTest::newRow("empty key") << int(CellKeyCode) << "%04X" << "0xFFFF" << 16 << "-----" << "-----";
    QTest::newRow("empty lock code") << int(CellLockCode) << "%04d" << "9999" << 10 << "-----" << "0000";
    QTest::newRow("flat -1") << int(CellKeyFlat) << "%d" << "0xFF" << 10 << "-1" << "0";
    QTest::newRow("no format shows the value") << int(CellLockCode) << "" << "9999" << 10 << "42" << "42";
    QTest::newRow("format from file with %s") << int(CellLockCode) << "%s" << "9999" << 10 << "42" << "42";
}

void TestTableCell::formattedValue()
{
    QFETCH(int, type);
    QFETCH(QString, format);
    QFETCH(QString, vmax);
    QFETCH(int, base);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QScopedPointer<MyTableWidgetItem> cell(makeCell(type, format, "0", vmax));
    cell->setFormattedValue(base, text);
    QCOMPARE(cell->text(), shown);
}

void TestTableCell::formatValueInBase_data()
{
    QTest::addColumn<QString>("cellFormat");
    QTest::addColumn<int>("base");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("cell of base 16 prints upper case") << "%04X" << 16 << "%04x" << "3ba1" << "3BA1";
    QTest::newRow("cell of base 10 keeps case") << "%04d" << 16 << "%04x" << "3ba1" << "3ba1";
    QTest::newRow("empty format returns the text") << "%04d" << 10 << "" << "abc" << "abc";
    QTest::newRow("base 2") << "%08b" << 2 << "%08b" << "101" << "00000101";
    QTest::newRow("base 2 above 1023") << "%08b" << 10 << "%08b" << "1024" << "10000000000";
    QTest::newRow("not a number") << "%04d" << 10 << "%04d" << "zz" << "0000";
}

void TestTableCell::formatValueInBase()
{
    QFETCH(QString, cellFormat);
    QFETCH(int, base);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QFETCH(QString, result);
    MyTableWidgetItem cell(CellNameFlat);
    cell.setFormat(cellFormat);
    QCOMPARE(cell.formatValueInBase(base, format, text), result);
}

void TestTableCell::initValue()
{
    MyTableWidgetItem cell(CellNameFlat);
    cell.setFormat("%03d");
    cell.initValue(10, "7");
    QCOMPARE(cell.text(), QString("007"));
    QCOMPARE(cell.acceptedText(), QString());
    MyTableWidgetItem bare(CellBlockNumber);
    bare.initValue(10, "12"); // no format: the value as given
    QCOMPARE(bare.text(), QString("12"));
}

void TestTableCell::acceptEditedText_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("acceptedAfter");
    QTest::addColumn<bool>("marked");
    QTest::newRow("lock code") << int(CellLockCode) << "%04d" << "0012" << "42" << "0042" << "0042" << true;
    QTest::newRow("key code") << int(CellKeyCode) << "%04X" << "0000" << "3ba1" << "3BA1" << "3BA1" << true;
    QTest::newRow("flat") << int(CellKeyFlat) << "%d" << "5" << "7" << "7" << "7" << true;
    QTest::newRow("unchanged") << int(CellLockCode) << "%04d" << "12" << "12" << "12" << "12" << false;
    QTest::newRow("flat 0 becomes empty") << int(CellKeyFlat) << "%d" << "5" << "0" << "-----" << "5" << false;
    QTest::newRow("empty key stays") << int(CellKeyCode) << "%04X" << "3BA1" << "-----" << "-----" << "3BA1" << false;
    QTest::newRow("combo keeps text") << int(CellCombo) << "" << "A" << "B" << "B" << "B" << true;
    QTest::newRow("name keeps accepted") << int(CellName) << "30" << "Old" << "New" << "New" << "Old" << true;
    QTest::newRow("no format keeps typed text") << int(CellNameFlat) << "" << "1" << "17" << "17" << "17" << true;
    QTest::newRow("no range check") << int(CellLockCode) << "%04d" << "0012" << "99999" << "99999" << "99999" << true;
}

void TestTableCell::acceptEditedText()
{
    QFETCH(int, type);
    QFETCH(QString, format);
    QFETCH(QString, accepted);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, acceptedAfter);
    QFETCH(bool, marked);
    QScopedPointer<MyTableWidgetItem> cell(makeCell(type, format, "0", "0xFFFF"));
    cell->setAcceptedText(accepted);
    cell->setDisplayText(typed);
    cell->acceptEditedText();
    QCOMPARE(cell->text(), shown);
    QCOMPARE(cell->acceptedText(), acceptedAfter);
    QCOMPARE(cell->foreground().color(), marked ? Changed : Normal);
}

void TestTableCell::reformatSlot_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("marked");
    QTest::newRow("lock code") << int(CellLockCode) << "42" << "0042" << true;
    QTest::newRow("not a number") << int(CellLockCode) << "4x" << "ERROR" << true;
    QTest::newRow("zero leaves the text") << int(CellLockCode) << "0" << "0" << false;
    QTest::newRow("name takes its colour") << int(CellName) << "Bob" << "Bob" << true;
    QTest::newRow("empty key") << int(CellKeyCode) << "-----" << "-----" << false;
}

void TestTableCell::reformatSlot()
{
    QFETCH(int, type);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, marked);
    MyTableWidget table(nullptr);
    table.setRowCount(1);
    table.setColumnCount(1);
    MyTableWidgetItem *cell = makeCell(type, "%04d", "0", "9999");
    cell->setAcceptedText("0012");
    table.setItem(0, 0, cell);
    cell->setDisplayText(typed);
    cell->setSelected(true);
    cell->setTextFormat();
    QCOMPARE(cell->text(), shown);
    QCOMPARE(cell->foreground().color(), marked ? Changed : Normal);
    if (shown == "0042") {
        QCOMPARE(cell->acceptedText(), shown);
        QVERIFY(!cell->isSelected());
    }
}

void TestTableCell::colours()
{
    MyTableWidgetItem cell(CellLockCode);
    QVERIFY(!cell.textColor().isValid());
    cell.setTextColor(Qt::blue);
    QCOMPARE(cell.textColor(), QColor(Qt::blue));
    QCOMPARE(cell.foreground().color(), QColor(Qt::blue));
    cell.setChangedColor(Changed);
    cell.showChangedColor();
    QCOMPARE(cell.foreground().color(), Changed);
    cell.setForegroundBrush(QBrush(Qt::green));
    QCOMPARE(cell.foreground().color(), QColor(Qt::green));
    QCOMPARE(cell.textColor(), QColor(Qt::blue));
}

// Cells hold no widget: a grid of thousands of combo cells would otherwise add as many windows.
void TestTableCell::onlyComboCellsHaveABox()
{
    const int before = QApplication::topLevelWidgets().size();
    QList<MyTableWidgetItem *> cells;
    for (int type : {1000, 1001, 1002, 1003, 1005, 1006, 1007, 1009})
        cells << new MyTableWidgetItem(type);
    for (MyTableWidgetItem *cell : cells) {
        cell->appendItems({"a"});
        cell->setCurrentIndex(0);
        QCOMPARE(cell->count(), 0);
        QCOMPARE(cell->currentIndex(), -1);
        QCOMPARE(cell->itemText(0), QString());
        QVERIFY(!cell->comboBox());
    }
    MyTableWidgetItem combo(CellCombo, 3);
    combo.appendItems({"a", "b"});
    combo.setCurrentIndex(1);
    QVERIFY(!combo.hasComboBox());
    QCOMPARE(QApplication::topLevelWidgets().size(), before);
    qDeleteAll(cells);

    MyComboBox *box = combo.comboBox();
    QVERIFY(box);
    QCOMPARE(combo.comboBox(), box);
    QVERIFY(!box->isVisible());
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(combo.cellType(), int(CellCombo));
}

// Every index change, by the program or by the cell's box, reports the combo number and then the
// new item's text, once; an index outside the items becomes -1.
void TestTableCell::comboCell_data()
{
    QTest::addColumn<bool>("withBox");
    QTest::newRow("no box") << false;
    QTest::newRow("box made first") << true;
}

void TestTableCell::comboCell()
{
    QFETCH(bool, withBox);
    MyTableWidgetItem cell(CellCombo, 5);
    cell.setComboColumn(5);
    QCOMPARE(cell.comboColumn(), 5);
    if (withBox)
        QVERIFY(cell.comboBox());
    cell.appendItems({"0", "1 ", "2"});
    QCOMPARE(cell.count(), 3);
    QCOMPARE(cell.currentIndex(), -1);
    QCOMPARE(cell.itemText(1), QString("1 "));
    SignalLog log;
    log.watch(&cell, &MyTableWidgetItem::comboIndex, "comboIndex");
    log.watch(&cell, &MyTableWidgetItem::currentIndexChanged, "indexText");
    cell.setCurrentIndex(2);
    cell.setCurrentIndex(2);
    QCOMPARE(cell.currentIndex(), 2);
    QCOMPARE(log.take(), (QStringList{"comboIndex(5)", "indexText(\"2\")"}));
    cell.setCurrentIndex(7);
    QCOMPARE(cell.currentIndex(), -1);
    QCOMPARE(log.take(), (QStringList{"comboIndex(5)", "indexText(\"\")"}));
    cell.setCurrentIndex(-4);
    QCOMPARE(log.take(), QStringList());

    // The box follows the cell, and a choice in the box is the cell's change.
    MyComboBox *box = cell.comboBox();
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->currentIndex(), -1);
    cell.setCurrentIndex(0);
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(log.take(), (QStringList{"comboIndex(5)", "indexText(\"0\")"}));
    box->setCurrentIndex(1);
    QCOMPARE(cell.currentIndex(), 1);
    QCOMPARE(log.take(), (QStringList{"comboIndex(5)", "indexText(\"1 \")"}));
    cell.appendItems({"3"});
    QCOMPARE(box->count(), 4);
    QCOMPARE(cell.currentIndex(), 1);
    QCOMPARE(log.take(), QStringList());
}

void TestTableCell::comboBoxGoesWithItsCell()
{
    auto *cell = new MyTableWidgetItem(CellCombo, 0);
    QPointer<MyComboBox> box = cell->comboBox();
    delete cell;
    QVERIFY(box.isNull());
    // The page shows a combo over its cell, as a child of the grid: when the grid's widgets go
    // before its cells, the cell must not delete the box again.
    auto *table = new MyTableWidget(nullptr);
    table->setRowCount(1);
    table->setColumnCount(1);
    auto *shown = new MyTableWidgetItem(CellCombo, 0);
    table->setItem(0, 0, shown);
    shown->comboBox()->setParent(table->viewport());
    delete table;
}

void TestTableCell::specialFlatCellFollowsEditor()
{
    MyLineBoxEdit editor(nullptr);
    editor.setRange(0, 9999);
    editor.setFormat("%d");
    MyTableWidget table(nullptr);
    table.setRowCount(1);
    table.setColumnCount(1);
    auto *cell = new MyTableWidgetItem(CellComputedFlat);
    table.setItem(0, 0, cell);
    QVERIFY(connect(&editor, SIGNAL(valueChanged(QString)), cell, SLOT(setValue(QString))));
    QSignalSpy changed(&table, &QTableWidget::cellChanged);
    editor.setValue(305);
    QCOMPARE(cell->text(), QString("305"));
    QCOMPARE(changed.count(), 1);
    cell->setDisplayText("305");
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(TestTableCell)
#include "tst_tablecell.moc"
