#pragma once

#include <QItemSelection>
#include <QList>
#include <QMap>

class QAbstractItemModel;

class QTableWidget;
class QTableWidgetItem;

// The selection of a table, read once when a copy, paste, delete, export or import starts.
//
// The rectangle bounds every selected cell, whatever the order and number of the selected areas
// (Ctrl+click areas, a column chosen with Alt). Commands that change cells act only on the rows
// that hold a selected cell, and there on the columns from the row's first to its last selected
// cell: rows between two separate areas are never touched.
class TableSelection
{
public:
    explicit TableSelection(QTableWidget *table);

    QTableWidget *table() const { return m_table; }
    bool hasSelection() const { return m_hasSelection; }
    // The bounding rectangle; -1 (and counts of 0) without a selection.
    int topRow() const { return m_topRow; }
    int bottomRow() const { return m_bottomRow; }
    int leftColumn() const { return m_leftColumn; }
    int rightColumn() const { return m_rightColumn; }
    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_columnCount; }

    // The rows holding a selected cell, in ascending order.
    QList<int> rows() const { return m_rowColumns.keys(); }
    bool rowSelected(int row) const { return m_rowColumns.contains(row); }
    // The first and last selected column of a row; false for a row without a selected cell.
    bool rowColumns(int row, int *left, int *right) const;
    // The selected items (cells that exist).
    QList<QTableWidgetItem *> items() const;

private:
    QTableWidget *m_table;
    int m_rightColumn = -1;
    int m_bottomRow = -1;
    int m_topRow = -1;
    int m_leftColumn = -1;
    int m_rowCount = 0;
    int m_columnCount = 0;
    bool m_hasSelection = false;
    QMap<int, QPair<int, int>> m_rowColumns; // row -> first, last selected column
};

// Cells gathered as runs of rows per column, to be selected or deselected in one step: cell by
// cell, a large selection is split and merged again for every cell.
class CellRuns
{
public:
    explicit CellRuns(QAbstractItemModel *model) : m_model(model) {}
    void add(int row, int column);
    QItemSelection selection();

private:
    void flush();

    QAbstractItemModel *m_model;
    QItemSelection m_runs;
    int m_column = -1;
    int m_first = 0;
    int m_last = 0;
};
