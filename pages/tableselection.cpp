#include "tableselection.h"

#include <QItemSelectionModel>
#include <QTableWidget>

TableSelection::TableSelection(QTableWidget *table)
    : m_table(table)
{
    const QItemSelectionModel *model = table ? table->selectionModel() : nullptr;
    if (!model)
        return;
    // The areas of the selection, not every index: a selected column of a 2048-row table is one
    // range. Ranges of a QItemSelection may overlap; a row's columns are merged to their bounds.
    const QItemSelection selection = model->selection();
    for (const QItemSelectionRange &range : selection) {
        if (!range.isValid() || range.isEmpty())
            continue;
        m_hasSelection = true;
        if (m_topRow < 0 || range.top() < m_topRow)
            m_topRow = range.top();
        m_bottomRow = qMax(m_bottomRow, range.bottom());
        if (m_leftColumn < 0 || range.left() < m_leftColumn)
            m_leftColumn = range.left();
        m_rightColumn = qMax(m_rightColumn, range.right());
        for (int row = range.top(); row <= range.bottom(); ++row) {
            auto found = m_rowColumns.find(row);
            if (found == m_rowColumns.end()) {
                m_rowColumns.insert(row, qMakePair(range.left(), range.right()));
            } else {
                found->first = qMin(found->first, range.left());
                found->second = qMax(found->second, range.right());
            }
        }
    }
    if (!m_hasSelection)
        return;
    m_rowCount = m_bottomRow - m_topRow + 1;
    m_columnCount = m_rightColumn - m_leftColumn + 1;
}

bool TableSelection::rowColumns(int row, int *left, int *right) const
{
    const auto found = m_rowColumns.constFind(row);
    if (found == m_rowColumns.constEnd())
        return false;
    *left = found->first;
    *right = found->second;
    return true;
}

QList<QTableWidgetItem *> TableSelection::items() const
{
    return m_table ? m_table->selectedItems() : QList<QTableWidgetItem *>();
}

void CellRuns::add(int row, int column)
{
    if (column == m_column && row == m_last + 1) {
        m_last = row;
        return;
    }
    flush();
    m_column = column;
    m_first = m_last = row;
}

QItemSelection CellRuns::selection()
{
    flush();
    return m_runs;
}

void CellRuns::flush()
{
    if (m_column >= 0 && m_model)
        m_runs.select(m_model->index(m_first, m_column), m_model->index(m_last, m_column));
    m_column = -1;
}
