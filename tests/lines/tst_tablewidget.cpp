#include "mytablewidget.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QtTest>

namespace {

// The widget that holds the grid: records the keys that the grid passes on.
class Holder : public QWidget
{
public:
    QStringList keys;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt) // QTest presses these first
            keys << QKeySequence(int(event->modifiers()) | key).toString();
    }
};

struct Fixture {
    Holder window;
    MyTableWidget *table;
    QLineEdit *other;
    SignalLog log;

    Fixture()
    {
        window.resize(400, 300);
        table = new MyTableWidget(&window);
        table->setGeometry(0, 0, 400, 250);
        table->setRowCount(4);
        table->setColumnCount(3);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                if (!(r == 2 && c == 1)) // one cell without item
                    table->setItem(r, c, new QTableWidgetItem(QStringLiteral("%1%2").arg(r).arg(c)));
        other = new QLineEdit(&window);
        other->setGeometry(0, 260, 100, 25);
        log.watch(table, &MyTableWidget::control_C, "control_C");
        log.watch(table, &MyTableWidget::control_V, "control_V");
        log.watch(table, &MyTableWidget::control_X, "control_X");
        log.watch(table, qOverload<>(&MyTableWidget::deleteKey), "deleteKey");
        log.watch(table, qOverload<int, int>(&MyTableWidget::deleteKey), "deleteKey");
        log.watch(table, &MyTableWidget::rowColumnHelp, "rowColumnHelp");
        log.watch(table, &MyTableWidget::itemSelected, "itemSelected");
        log.watch(table, &MyTableWidget::sendModelIndex, "sendModelIndex");
        log.watch(table, &MyTableWidget::rightMenu, "rightMenu");
        log.watch(table, qOverload<QTableWidgetItem *>(&MyTableWidget::itemPressed), "itemPressed");
        log.watch(table, &MyTableWidget::tableLeaved, "tableLeaved");
        log.watch(table, &MyTableWidget::sectionPressed, "sectionPressed");
        log.watch(table, &MyTableWidget::goToCell, "goToCell");
    }

    bool show()
    {
        if (!showActive(&window))
            return false;
        table->setFocus();
        table->setCurrentCell(1, 1);
        log.take();
        return table->hasFocus();
    }

    QPoint cellCentre(int row, int column) const
    {
        return table->visualRect(table->model()->index(row, column)).center();
    }

    QString current() const { return QStringLiteral("%1:%2").arg(table->currentRow()).arg(table->currentColumn()); }
};

}

class TestTableWidget : public QObject
{
    Q_OBJECT
private slots:
    void construction();
    void keys_data();
    void keys();
    void columnSelectKey_data();
    void columnSelectKey();
    void arrowReleaseReportsTheNewCell();
    void returnStartsEditing();
    void tabLeavesTheTable();
    void shortcutsActOnlyInTheFocusedTable();
    void leftClick();
    void dragSelectsWithoutOpeningCombo();
    void rightClick();
    void middleClickChangesNothing();
    void pointerLeaving();
    void noCurrentCell();
};

void TestTableWidget::construction()
{
    MyTableWidget table(nullptr);
    QVERIFY(table.hasMouseTracking());
    QVERIFY(!table.tabKeyNavigation());
    QCOMPARE(table.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(table.focusPolicy(), Qt::StrongFocus);
    QCOMPARE(table.styleSheet(), QString(MyTableWidget::SelectionStyle));
    QCOMPARE(table.tableKind(), 0);
    table.setTableKind(KeyTable);
    QCOMPARE(table.tableKind(), 2);
    QCOMPARE(table.columnSelectKey(), 0);
}

void TestTableWidget::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("passedOn");
    const QStringList none;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << QStringList{"deleteKey(1,1)", "deleteKey()"} << "1:1" << none;
    QTest::newRow("Menu") << int(Qt::Key_Menu) << 0 << QStringList{"rightMenu(1:1,\"key\")"} << "1:1" << none;
    QTest::newRow("Space") << int(Qt::Key_Space) << 0 << QStringList{"itemPressed([11])"} << "1:1" << none;
    QTest::newRow("Down moves") << int(Qt::Key_Down) << 0 << QStringList{"rowColumnHelp(2,1)"} << "2:1" << none;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << QStringList{"control_C()"} << "1:1" << none;
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier) << QStringList{"control_V()"} << "1:1" << none;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier) << QStringList{"control_X()"} << "1:1" << none;
    QTest::newRow("Ctrl+Z does nothing") << int(Qt::Key_Z) << int(Qt::ControlModifier) << none << "1:1" << none;
    QTest::newRow("Ctrl+Home does nothing") << int(Qt::Key_Home) << int(Qt::ControlModifier) << none << "1:1" << none;
    QTest::newRow("Ctrl+A selects all") << int(Qt::Key_A) << int(Qt::ControlModifier) << none << "1:1" << none;
    QTest::newRow("Ctrl+Tab passed on") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << none << "1:1" << QStringList{"Ctrl+Tab"};
    QTest::newRow("Shift+Down grows") << int(Qt::Key_Down) << int(Qt::ShiftModifier) << QStringList{"rowColumnHelp(2,1)"} << "2:1" << none;
    QTest::newRow("Alt+other does nothing") << int(Qt::Key_Down) << int(Qt::AltModifier) << QStringList{"rowColumnHelp(1,1)"} << "1:1" << none;
}

void TestTableWidget::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, expected);
    QFETCH(QString, current);
    QFETCH(QStringList, passedOn);
    Fixture f;
    QVERIFY(f.show());
    QTest::keyClick(f.table, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.log.take(), expected);
    QCOMPARE(f.current(), current);
    QCOMPARE(f.window.keys, passedOn);
    if (key == Qt::Key_A)
        QCOMPARE(f.table->selectionModel()->selectedIndexes().size(), 12);
}

void TestTableWidget::columnSelectKey_data()
{
    QTest::addColumn<int>("selectKey");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("selected");
    QTest::newRow("lock-code table, Alt+Z") << 0x5a << QStringList{"sectionPressed(1)"} << 3;
    QTest::newRow("key table, no key") << 0 << QStringList() << 1;
}

void TestTableWidget::columnSelectKey()
{
    QFETCH(int, selectKey);
    QFETCH(QStringList, expected);
    QFETCH(int, selected);
    Fixture f;
    f.table->setColumnSelectKey(selectKey);
    QVERIFY(f.show());
    QTest::keyPress(f.table, Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(f.log.take(), expected);
    // Column 1 has a row without a cell: it is skipped.
    QCOMPARE(f.table->selectedItems().size(), selected);
    for (QTableWidgetItem *item : f.table->selectedItems())
        QCOMPARE(item->column(), 1);
}

void TestTableWidget::arrowReleaseReportsTheNewCell()
{
    Fixture f;
    QVERIFY(f.show());
    QTest::keyPress(f.table, Qt::Key_Left);
    QCOMPARE(f.log.take(), QStringList());
    QTest::keyRelease(f.table, Qt::Key_Left);
    QCOMPARE(f.log.take(), QStringList{"rowColumnHelp(1,0)"});
    QTest::keyRelease(f.table, Qt::Key_A);
    QCOMPARE(f.log.take(), QStringList());
    QCOMPARE(f.window.keys, QStringList());
}

void TestTableWidget::returnStartsEditing()
{
    Fixture f;
    QVERIFY(f.show());
    QTest::keyClick(f.table, Qt::Key_Return);
    QCOMPARE(f.log.take(), (QStringList{"sendModelIndex(1:1)", "goToCell([11])"}));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->parentWidget(), f.table->viewport());
    QCOMPARE(editor->text(), QString("11"));
}

void TestTableWidget::tabLeavesTheTable()
{
    Fixture f;
    QVERIFY(f.show());
    QTest::keyClick(f.table, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.other);
    QCOMPARE(f.current(), QString("1:1"));
    QCOMPARE(f.log.take(), QStringList());
}

void TestTableWidget::shortcutsActOnlyInTheFocusedTable()
{
    Fixture f;
    auto *found = new MyTableWidget(&f.window);
    found->setGeometry(200, 260, 100, 30);
    f.log.watch(found, &MyTableWidget::control_C, "found.control_C");
    f.log.watch(found, &MyTableWidget::control_V, "found.control_V");
    QVERIFY(f.show());
    QTest::keyClick(f.table, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(f.table, Qt::Key_V, Qt::ControlModifier);
    found->setFocus();
    QTest::keyClick(found, Qt::Key_V, Qt::ControlModifier);
    f.other->setFocus();
    QTest::keyClick(f.other, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(f.log.take(), (QStringList{"control_C()", "control_V()", "found.control_V()"}));
}

void TestTableWidget::leftClick()
{
    Fixture f;
    QVERIFY(f.show());
    QTest::mousePress(f.table->viewport(), Qt::LeftButton, Qt::NoModifier, f.cellCentre(3, 2));
    QCOMPARE(f.log.take(), QStringList{"itemPressed([32])"});
    QTest::mouseRelease(f.table->viewport(), Qt::LeftButton, Qt::NoModifier, f.cellCentre(3, 2));
    QCOMPARE(f.log.take(), QStringList{"sendModelIndex(3:2)"});
    QCOMPARE(f.current(), QString("3:2"));
    // The page connects by signature: that reaches the grid's own itemPressed, which Space emits
    // too, not the base table's.
    QSignalSpy pressed(f.table, SIGNAL(itemPressed(QTableWidgetItem*)));
    QTest::keyClick(f.table, Qt::Key_Space);
    QCOMPARE(pressed.count(), 1);
}

void TestTableWidget::dragSelectsWithoutOpeningCombo()
{
    Fixture f;
    QVERIFY(f.show());
    QWidget *viewport = f.table->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, f.cellCentre(0, 0));
    QMouseEvent move(QEvent::MouseMove, f.cellCentre(1, 1), viewport->mapToGlobal(f.cellCentre(1, 1)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, f.cellCentre(1, 1));
    QCOMPARE(f.table->selectionModel()->selectedIndexes().size(), 4);
    QCOMPARE(f.log.take(), QStringList{"itemPressed([00])"});
}

void TestTableWidget::rightClick()
{
    Fixture f;
    QVERIFY(f.show());
    QTest::mousePress(f.table->viewport(), Qt::RightButton, Qt::NoModifier, f.cellCentre(3, 0));
    // The menu is reported with the cell that was current before the click.
    QCOMPARE(f.log.take(), (QStringList{"itemSelected()", "rightMenu(1:1,\"mouse\")"}));
    QCOMPARE(f.current(), QString("3:0"));
    QTest::mouseRelease(f.table->viewport(), Qt::RightButton, Qt::NoModifier, f.cellCentre(3, 0));
    QCOMPARE(f.log.take(), QStringList());
}

void TestTableWidget::middleClickChangesNothing()
{
    Fixture f;
    QVERIFY(f.show());
    const QList<QTableWidgetItem *> selected = f.table->selectedItems();
    QTest::mouseClick(f.table->viewport(), Qt::MiddleButton, Qt::NoModifier, f.cellCentre(3, 0));
    QCOMPARE(f.current(), QString("1:1"));
    QCOMPARE(f.table->selectedItems(), selected);
    QCOMPARE(f.log.take(), QStringList());
}

void TestTableWidget::pointerLeaving()
{
    Fixture f;
    sendEnterLeave(f.table, QEvent::Leave);
    QCOMPARE(f.log.take(), QStringList{"tableLeaved()"});
}

void TestTableWidget::noCurrentCell()
{
    Fixture f;
    QVERIFY(f.show());
    f.table->setCurrentIndex(QModelIndex());
    f.table->setColumnSelectKey(0x5a);
    QTest::keyClick(f.table, Qt::Key_Delete);
    QTest::keyClick(f.table, Qt::Key_Space);
    QTest::keyClick(f.table, Qt::Key_Menu);
    QTest::keyClick(f.table, Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(f.log.take(), (QStringList{"deleteKey(-1,-1)", "deleteKey()", "itemPressed(null)",
                                        "rightMenu(invalid,\"key\")", "sectionPressed(-1)"}));
}

QTEST_MAIN(TestTableWidget)
#include "tst_tablewidget.moc"
