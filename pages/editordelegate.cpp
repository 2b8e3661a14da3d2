#include "editordelegate.h"

#include "globals.h"
#include "validators.h"

#include <QLineEdit>
#include <QValidator>

#include <utility>

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
    m_openEditor = editor;
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
    // The write-back may show a box, in whose event loop the view may close this editor (a second
    // Return's queued commit): the editor then goes once the write has returned.
    m_writingEditor = edit;
    model->setData(index, edit->text(), Qt::EditRole);
    m_writingEditor.clear();
    dataModified = true;
    if (std::exchange(m_destroyAfterWriting, false))
        edit->deleteLater();
}

void EditorDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

void EditorDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (editor == m_openEditor)
        m_openEditor.clear();
    if (editor && editor == m_writingEditor) {
        editor->hide();
        m_destroyAfterWriting = true;
        return;
    }
    QItemDelegate::destroyEditor(editor, index);
}

// What the view's handling of a focus leaving the editor does: a text the validator does not
// accept gets its fixup, and only an acceptable text is committed; the editor closes either way.
void EditorDelegate::commitOpenEditor()
{
    const QPointer<QLineEdit> editor = m_openEditor;
    if (!editor)
        return;
    if (!editor->hasAcceptableInput()) {
        if (const QValidator *validator = editor->validator()) {
            QString text = editor->text();
            validator->fixup(text);
            editor->setText(text);
        }
    }
    if (editor->hasAcceptableInput())
        emit commitData(editor);
    // The write-back may have shown the unserviced-flat warning, whose event loop may end the page.
    if (editor)
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}
