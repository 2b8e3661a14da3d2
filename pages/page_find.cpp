// The key table's find functions and its found list: the positions that hold the same key code,
// the positions of a flat, and the way from a listed position into the table.

#include "page.h"

#include "celltexts.h"
#include "datapaths.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "numbertext.h"
#include "tableline.h"

#include <QAction>
#include <QCursor>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>

namespace {

constexpr int FoundColumnWidth = 40;
constexpr int FoundRowHeight = 20;
constexpr int DeleteCaption = 6; // COMMENTS item of the Delete entry
// A found cell keeps the data line of its position here.
constexpr int LineRole = Qt::UserRole;

QTableWidgetItem *foundItem(const QString &text, int line)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    if (line > 0)
        item->setData(LineRole, line);
    return item;
}

}

MyTableWidget *Page::foundList() const
{
    const TableLine *panel = panelLine();
    return panel && panel->panelTextPresent[TableLine::PanelText6] ? panel->foundList.data() : nullptr;
}

// Lists groups of data lines, one row each, their positions from column 0 on; a row shorter than
// the longest shows "-----" in the columns it does not fill. Every search starts from an empty list
// without a current cell, so nothing of an earlier result stays behind; the list is enabled when it
// lists something.
void Page::showFound(MyTableWidget *list, const QVector<QVector<int>> &groups)
{
    list->clear(); // also forgets the current cell
    list->setRowCount(0);
    list->setColumnCount(0);
    int columns = 0;
    for (const QVector<int> &group : groups)
        columns = qMax(columns, group.size());
    list->setColumnCount(columns);
    list->setRowCount(groups.size());
    list->verticalHeader()->setMinimumSectionSize(qMin(list->verticalHeader()->minimumSectionSize(), FoundRowHeight));
    for (int c = 0; c < columns; ++c)
        list->setColumnWidth(c, FoundColumnWidth);
    for (int r = 0; r < groups.size(); ++r) {
        list->setRowHeight(r, FoundRowHeight);
        for (int c = 0; c < columns; ++c) {
            const int line = groups[r].value(c);
            const MyTableWidgetItem *index = line ? tableLine(line)->indexCell() : nullptr;
            const QString text = !line ? EmptyCell : index ? index->text() : QString::number(line - 1);
            list->setItem(r, c, foundItem(text, line));
        }
    }
    list->setEnabled(!groups.isEmpty());
}

void Page::findDuplicates()
{
    MyTableWidget *list = foundList();
    if (!list)
        return;
    // One pass: the lines of each code in table order, codes in the order of their first line.
    QHash<int, int> groupOfCode;
    QVector<QVector<int>> groups;
    for (int k = 1; k <= m_tableSize; ++k) {
        const MyTableWidgetItem *cell = tableLine(k)->tmCodeCell();
        bool isNumber = false;
        const int code = cell ? NumberText::parse(cell->text(), cell->base(), &isNumber) : 0;
        if (!isNumber)
            continue; // a free position ("-----") holds no code
        const auto found = groupOfCode.constFind(code);
        if (found == groupOfCode.constEnd()) {
            groupOfCode.insert(code, groups.size());
            groups.append(QVector<int>{k});
        } else {
            groups[*found].append(k);
        }
    }
    QVector<QVector<int>> duplicates;
    for (const QVector<int> &group : qAsConst(groups)) {
        if (group.size() > 1)
            duplicates.append(group);
    }
    // Without a duplicate the list shows nothing and stays enabled or disabled as it was.
    const bool wasEnabled = list->isEnabled();
    showFound(list, duplicates);
    if (duplicates.isEmpty())
        list->setEnabled(wasEnabled);
}

void Page::findFlat()
{
    const QLineEdit *field = panelEdit(5);
    findFlatText(field ? field->text() : QString());
}

void Page::findFlatFromTab()
{
    MyTableWidget *grid = tableWidget();
    const TableLine *line = grid ? lineOfRow(grid->currentRow()) : nullptr;
    if (!line || !line->tmFlatCell())
        return;
    const QString flat = line->tmFlatText();
    if (QLineEdit *field = panelEdit(5))
        field->setText(flat);
    if (flat != EmptyCell)
        findFlatText(flat);
}

// The positions whose flat cell shows flat (compared as text, letter case ignored).
void Page::findFlatText(const QString &flat)
{
    MyTableWidget *list = foundList();
    if (!list)
        return;
    QVector<int> lines;
    for (int k = 1; k <= m_tableSize; ++k) {
        if (tableLine(k)->hasFlat(flat))
            lines.append(k);
    }
    showFound(list, lines.isEmpty() ? QVector<QVector<int>>() : QVector<QVector<int>>{lines});
}

void Page::scrolToPosition(QTableWidgetItem *item)
{
    if (!item)
        return;
    deselectRow(m_markedLine);
    const int line = item->data(LineRole).toInt();
    if (item->text() == EmptyCell || line < 1 || line > m_tableSize)
        return;
    centreOnLine(line);
    makeCurrentLine(line);
    m_markedLine = line;
    selectRow(line);
}

void Page::findMouseMenu(const QModelIndex &, const QString &type)
{
    // The Menu key opens nothing here; the right button opens the menu at the pointer.
    if (type != QLatin1String("mouse") || !foundList())
        return;
    QMenu *menu = newContextMenu();
    const TableLine *first = tableLine(1);
    m_deletePositionAction = new QAction(QIcon(Platform::resolveDataPath(QStringLiteral("application/png/del-icon.png"))),
                                         first ? first->menuTexts[DeleteCaption] : QString(), menu);
    menu->addAction(m_deletePositionAction);
    connect(menu, &QMenu::triggered, this, &Page::actionFindSlot);
    menu->popup(QCursor::pos());
}

void Page::actionFindSlot(QAction *action)
{
    MyTableWidget *list = foundList();
    if (!action || action != m_deletePositionAction || !list)
        return;
    QTableWidgetItem *position = list->currentItem();
    if (!position)
        return;
    scrolToPosition(position);
    // Only a position that is now the marked line is deleted: anything else selected stays.
    if (position->text() == EmptyCell || m_markedLine != position->data(LineRole).toInt())
        return;
    deleteCells();
    position->setText(EmptyCell);
    position->setData(LineRole, QVariant());
}
