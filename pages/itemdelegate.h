#pragma once

#include <QItemDelegate>

// The item delegate of the tree view: every row is 25 pixels high, whatever its index widget.
class ItemDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    using QItemDelegate::QItemDelegate;

    static constexpr int RowHeight = 25;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
