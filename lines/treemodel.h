#pragma once

#include <QModelIndex>
#include <QVector>

#include <memory>

class QStandardItemModel;
class XmlDefinition;

// The skeleton of a tree page's one-column tree: one top-level row per head line and, under it, one
// child row per line of that head line. Rows carry no text and no data of their own; each is
// covered by the row frame of a tree line, and the only data ever set is a row's background colour
// (Qt::BackgroundRole), by the page and by the tree lines.
//
// Row addressing: head line h is top-level row h (headIndexes()[h]); line l >= 1 of head line h is
// child row l - 1 of that row. Line 0 is the head line itself.
class TreeModel
{
public:
    explicit TreeModel(XmlDefinition *definition);
    ~TreeModel();
    TreeModel(const TreeModel &) = delete;
    TreeModel &operator=(const TreeModel &) = delete;

    // Creates the rows of page from the definition's counts. Called once, right after construction.
    void build(int page);

    // The model the page's tree view shows; it belongs to the tree model.
    QStandardItemModel *model() const { return m_model.get(); }
    // Entry h: the index of head line h's row (column 0). Empty before build().
    const QVector<QModelIndex> &headIndexes() const { return m_headIndexes; }
    // The invisible root: the parent index of the head-line rows. Always invalid.
    QModelIndex rootIndex() const { return m_rootIndex; }

    // The row of line (headLine, line), line 0 being the head row; invalid when there is none.
    QModelIndex rowIndex(int headLine, int line) const;
    // Paints that row with the colour named colorName (QColor::setNamedColor); an unknown name or
    // a row that does not exist changes nothing.
    void setRowColor(int headLine, int line, const QString &colorName);
    void setRowColor(const QModelIndex &row, const QString &colorName);

private:
    std::unique_ptr<QStandardItemModel> m_model;
    QVector<QModelIndex> m_headIndexes;
    QModelIndex m_rootIndex;
    XmlDefinition *m_definition;
};
