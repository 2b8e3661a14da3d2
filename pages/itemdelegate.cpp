#include "itemdelegate.h"

QSize ItemDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(50, RowHeight);
}
