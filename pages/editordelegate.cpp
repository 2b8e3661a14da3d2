#include "editordelegate.h"

#include "globals.h"
#include "validators.h"

#include <QLineEdit>

EditorDelegate::EditorDelegate(QObject *parent)
    : QItemDelegate(parent)
{
}

void EditorDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem shown(option);
    const QVariant foreground = index.model() ? index.data(Qt::ForegroundRole) : QVariant();
    QColor textColor;
    if (foreground.userType() == QMetaType::QColor)
        textColor = foreground.value<QColor>();
    else if (foreground.userType() == QMetaType::QBrush)
        textColor = foreground.value<QBrush>().color();
    if (textColor.isValid()) {
        const QColor &selected = textColor == m_markedTextColor ? m_markedTextColor : m_selectionTextColor;
        shown.palette.setBrush(QPalette::All, QPalette::HighlightedText, QBrush(selected));
    }
    QItemDelegate::paint(painter, shown, index);
}

QWidget *EditorDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    if (!(index.flags() & Qt::ItemIsEditable))
        return nullptr;
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    switch (m_base) {
    case 10:
        editor->setValidator(new MyIntValidator(m_minimum, m_maximum, editor));
        break;
    case 16:
        editor->setValidator(new MyHexValidator(m_minimum, m_maximum, editor));
        break;
    case 2:
        editor->setValidator(new MyBinValidator(m_minimum, m_maximum, editor));
        break;
    case 0:
        if (m_maxLength > 0)
            editor->setMaxLength(m_maxLength);
        break;
    default:
        break;
    }
    return editor;
}

void EditorDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(editor))
        edit->setText(index.data(Qt::EditRole).toString());
}

void EditorDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit || !model)
        return;
    model->setData(index, edit->text(), Qt::EditRole);
    dataModified = true;
}

void EditorDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
