#include "treemodel.h"

#include "xmldefinition.h"

#include <QColor>
#include <QStandardItemModel>

TreeModel::TreeModel(XmlDefinition *definition)
    : m_model(std::make_unique<QStandardItemModel>()), m_definition(definition)
{
}

TreeModel::~TreeModel() = default;

void TreeModel::build(int page)
{
    if (!m_definition)
        return;
    const int heads = qMax(0, m_definition->readHeadLineCounts(page));
    const QVector<int> counts = m_definition->linesPerHeadLine();

    m_headIndexes = QVector<QModelIndex>(heads);
    m_model->insertRows(0, heads, m_rootIndex);
    m_model->insertColumns(0, 1, m_rootIndex);
    for (int h = 0; h < heads; ++h)
        m_headIndexes[h] = m_model->index(h, 0, m_rootIndex);
    for (int h = 0; h < heads; ++h) {
        const int lines = qMax(0, counts.value(h));
        m_model->insertRows(0, lines, m_headIndexes[h]);
        m_model->insertColumns(0, 1, m_headIndexes[h]);
    }
}

QModelIndex TreeModel::rowIndex(int headLine, int line) const
{
    if (headLine < 0 || headLine >= m_headIndexes.size() || line < 0)
        return QModelIndex();
    const QModelIndex head = m_headIndexes[headLine];
    return line == 0 ? head : m_model->index(line - 1, 0, head);
}

void TreeModel::setRowColor(int headLine, int line, const QString &colorName)
{
    setRowColor(rowIndex(headLine, line), colorName);
}

void TreeModel::setRowColor(const QModelIndex &row, const QString &colorName)
{
    QColor color;
    color.setNamedColor(colorName);
    if (row.isValid() && row.model() == m_model.get() && color.isValid())
        m_model->setData(row, color, Qt::BackgroundRole);
}
