// Copy, paste and delete of a table page's cells, and the table's context menu. The copied block
// stays inside the page: nothing goes to the system clipboard.

#include "page.h"

#include "celltexts.h"
#include "datapaths.h"
#include "globals.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "tableline.h"
#include "tableselection.h"

#include <QAction>
#include <QCursor>
#include <QItemSelectionModel>
#include <QMenu>

namespace {

const QString NoFindFlat = QStringLiteral("NoMenu");

bool hasCellCommands(int kind)
{
    return kind == LockCodeTable || kind == KeyTable || kind == NameTable;
}

// Menu captions by their place in the table's COMMENTS list.
enum MenuText { CopyText = 0, PasteText = 1, ImportText = 2, SaveText = 3, DeleteText = 6, DuplicatesText = 7, FindFlatText = 8 };

}

void Page::getcopyCellsIndexes()
{
    dataCopy();
}

void Page::getPastCellsIndexes()
{
    dataPast();
}

// The whole bounding rectangle of the selection is copied, cells inside it that were not selected
// included; a combo cell as its item index.
void Page::dataCopy()
{
    MyTableWidget *grid = tableWidget();
    if (!grid || !hasCellCommands(grid->tableKind()))
        return;
    const TableSelection selection(grid);
    if (!selection.hasSelection())
        return;
    m_copyRange = {selection.topRow(), selection.leftColumn(), selection.bottomRow(), selection.rightColumn(),
                   selection.rowCount(), selection.columnCount()};
    m_pasteMenuEnabled = true;
    m_copyBuffer = QVector<QStringList>(m_copyRange.columns);
    for (int c = m_copyRange.left; c <= m_copyRange.right; ++c) {
        QStringList &texts = m_copyBuffer[c - m_copyRange.left];
        texts.reserve(m_copyRange.rows);
        for (int r = m_copyRange.top; r <= m_copyRange.bottom; ++r)
            texts << copiedValue(r, c);
    }
}

QString Page::copiedValue(int row, int column) const
{
    const MyTableWidgetItem *cell = cellAt(row, column);
    return !cell ? QString() : cell->cellType() == CellCombo ? QString::number(cell->currentIndex()) : cell->text();
}

bool Page::takesValue(const MyTableWidgetItem *cell)
{
    if (!cell)
        return false;
    switch (cell->cellType()) {
    case CellCombo:
    case CellLockCode:
    case CellKeyCode:
    case CellKeyFlat:
    case CellNameFlat:
    case CellName:
    case CellBlockNumber:
        return true;
    default:
        return false;
    }
}

// Writes one pasted value into a cell as its type asks; true when the cell took part (it is then
// deselected with the others at the end of the paste).
bool Page::pasteValue(MyTableWidgetItem *cell, const QString &value)
{
    if (!takesValue(cell))
        return false;
    if (cell->cellType() == CellCombo) {
        // An index the cell's list does not have (-1 copied from a cell showing the error text)
        // leaves the cell as it is.
        bool ok = false;
        const int index = value.toInt(&ok);
        if (ok && index >= 0 && index < cell->count())
            cell->setCurrentIndex(index);
        return true;
    }
    cell->setDisplayText(value);
    return true;
}

// Pastes the last copy into the same columns: the copied rows into as many selected rows, or one
// copied row into every selected row. A single selected cell takes the copied block from its own
// row down, in the copied columns, as far as the table goes. Rows without a selected cell stay as
// they are; the cells pasted into are deselected. One unserviced-flat warning at most, after the
// paste.
void Page::dataPast()
{
    MyTableWidget *grid = tableWidget();
    if (!grid || !hasCellCommands(grid->tableKind()) || !m_pasteMenuEnabled || m_copyBuffer.isEmpty())
        return;
    const TableSelection target(grid);
    if (!target.hasSelection())
        return;
    const CopyRange copy = m_copyRange;
    const QVector<QStringList> buffer = m_copyBuffer;
    const QList<QTableWidgetItem *> items = target.items();
    RunningOperation running(this);
    CellRuns pasted(grid->model());

    if (items.size() == 1) {
        const int start = items.first()->row();
        const int last = qMin(start + copy.rows - 1, m_tableSize - 1);
        setupProgressDialog(0, qMax(0, last - start + 1) * copy.columns, 100, m_copyingText);
        int step = 0;
        for (int c = copy.left; c <= copy.right; ++c) {
            for (int k = start; k <= last; ++k) {
                if (pasteValue(cellAt(k, c), buffer[c - copy.left].value(k - start)))
                    pasted.add(k, c);
                setProgressValue(++step);
                dataModified = true;
            }
        }
    } else if (target.leftColumn() == copy.left && target.rightColumn() == copy.right) {
        const int rows = target.rowCount();
        setupProgressDialog(0, rows * copy.columns, 100, m_copyingText);
        const bool block = rows == copy.rows;
        const bool repeat = !block && rows > 1 && copy.rows == 1;
        int step = 0;
        for (int c = copy.left; (block || repeat) && c <= copy.right; ++c) {
            for (int k = target.topRow(); k <= target.bottomRow(); ++k) {
                if (!target.rowSelected(k))
                    continue;
                if (pasteValue(cellAt(k, c), buffer[c - copy.left].value(block ? k - target.topRow() : 0)))
                    pasted.add(k, c);
                setProgressValue(++step);
                dataModified = true;
            }
        }
    } else {
        return;
    }
    grid->selectionModel()->select(pasted.selection(), QItemSelectionModel::Deselect);
    closeProgress();
}

// Empties the selected cells as the table kind allows: in a key table the key code and flat (an
// emptied code empties the slot), in a name table every selected cell but the index; a lock-code
// table only loses its selection.
void Page::deleteCells()
{
    MyTableWidget *grid = tableWidget();
    if (!grid)
        return;
    const TableSelection selection(grid);
    if (!selection.hasSelection())
        return;
    const QList<QTableWidgetItem *> selectedCells = grid->tableKind() == NameTable ? selection.items()
                                                                                   : QList<QTableWidgetItem *>();
    grid->clearSelection();

    if (grid->tableKind() == KeyTable) {
        for (int row : selection.rows()) {
            const TableLine *line = lineOfRow(row);
            MyTableWidgetItem *code = line ? line->tmCodeCell() : nullptr;
            MyTableWidgetItem *flat = line ? line->tmFlatCell() : nullptr;
            if (m_columnCount == 2) {
                if (code) {
                    code->setDisplayText(EmptyCell);
                    dataModified = true;
                }
                continue;
            }
            if (m_columnCount != 3 || !code || !flat)
                continue;
            int left = 0, right = 0;
            selection.rowColumns(row, &left, &right);
            if (left == 2 && right == 2) {
                flat->setDisplayText(EmptyCell);
            } else if (left == 1 || (left == 0 && right >= 1)) {
                code->setDisplayText(EmptyCell);
                flat->setDisplayText(EmptyCell);
            } else {
                continue;
            }
            dataModified = true;
        }
    } else if (grid->tableKind() == NameTable) {
        for (QTableWidgetItem *item : selectedCells) {
            MyTableWidgetItem *cell = cellAt(item->row(), item->column());
            if (!cell || cell->cellType() == CellRowIndex)
                continue;
            cell->setDisplayText(QString());
            dataModified = true;
        }
    }
}

QMenu *Page::newContextMenu()
{
    if (m_tableMenu)
        m_tableMenu->deleteLater();
    m_tableMenu = new QMenu;
    return m_tableMenu;
}

// The table menu: its captions come from the table's COMMENTS list, its icons from the data tree.
// "mouse" opens it at the pointer, "key" below the given cell (a table without a current cell: at
// its top left corner); it runs its entries through actionTabSlot.
void Page::tabMouseMenu(const QModelIndex &index, const QString &type)
{
    QMenu *menu = newContextMenu();
    const TableLine *first = tableLine(1);
    const auto caption = [first](int item) { return first ? first->menuTexts[size_t(item)] : QString(); };
    const auto add = [menu](const char *icon, const QString &text, bool enabled) {
        auto *action = new QAction(QIcon(Platform::resolveDataPath(QLatin1String(icon))), text, menu);
        action->setEnabled(enabled);
        menu->addAction(action);
        return action;
    };
    const bool cellCommands = hasCellCommands(tableKind());
    m_copyAction = add("application/png/copy-icon.png", caption(CopyText), cellCommands && m_copyMenuEnabled);
    m_pasteAction = add("application/png/paste-icon.png", caption(PasteText), cellCommands && m_pasteMenuEnabled);
    menu->addSeparator();
    m_saveToFileAction = add("application/png/close-icon.png", caption(SaveText), true);
    m_importFromFileAction = add("application/png/open-icon.png", caption(ImportText), true);
    menu->addSeparator();
    m_findDuplicatesAction = add("application/png/find-icon.png", caption(DuplicatesText), true);
    const QString findFlat = first ? caption(FindFlatText) : NoFindFlat;
    m_findFlatAction = findFlat != NoFindFlat ? add("application/png/find-icon.png", findFlat, true) : nullptr;
    menu->addSeparator();
    m_deleteAction = add("application/png/del-icon.png", caption(DeleteText), true);
    connect(menu, &QMenu::triggered, this, &Page::actionTabSlot);

    if (type == QLatin1String("key")) {
        MyTableWidget *grid = tableWidget();
        if (!grid)
            return;
        // The cell's column and the next row's top, in viewport coordinates, taken as points of the
        // table widget itself (below the last row, where the next row would begin).
        const int nextRowTop = grid->rowViewportPosition(index.row()) + grid->rowHeight(index.row());
        const QPoint at = index.isValid() ? QPoint(grid->columnViewportPosition(index.column()) + 5, nextRowTop + 10)
                                          : QPoint(5, 10);
        const RoadGate::PageHold hold(m_roadGate);
        menu->exec(grid->mapToGlobal(at));
    } else if (type == QLatin1String("mouse")) {
        menu->popup(QCursor::pos());
    }
}

void Page::actionTabSlot(QAction *action)
{
    if (!action)
        return;
    if (action == m_copyAction)
        dataCopy();
    else if (action == m_pasteAction)
        dataPast();
    else if (action == m_saveToFileAction)
        makeCopyTableToFile();
    else if (action == m_importFromFileAction)
        loadDataFromFile();
    else if (action == m_findDuplicatesAction)
        findDuplicates();
    else if (action == m_findFlatAction)
        findFlatFromTab();
    else if (action == m_deleteAction)
        deleteCells();
}
