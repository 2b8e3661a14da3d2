#pragma once

#include <QColor>
#include <QItemDelegate>
#include <QPointer>

class QLineEdit;

// The cell editor of one column of a table page: a frameless line edit that takes only numbers of
// the column's base within its range (base 10, 16 or 2), or text up to the column's length (base 0).
// Committing writes the text into the cell, which runs the page's write-back, and marks the data as
// modified, changed or not.
//
// The delegate also paints the column: a selected cell keeps its normal text colour (the marked
// colour) when it shows it, and any other text colour (a changed value) is drawn in the selection
// colour, so that changes stay visible inside a selection. Cells that are not editable (combo
// cells) get no editor: for them the delegate only paints.
class EditorDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit EditorDelegate(QObject *parent);

    void setBase(int base) { m_base = base; }
    void setMinimum(int minimum) { m_minimum = minimum; }
    void setMaximum(int maximum) { m_maximum = maximum; }
    void setMaxLength(int length) { m_maxLength = length; }
    void setSelectionTextColor(const QColor &color) { m_selectionTextColor = color; }
    void setMarkedTextColor(const QColor &color) { m_markedTextColor = color; }

    int base() const { return m_base; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int maxLength() const { return m_maxLength; }
    QColor selectionTextColor() const { return m_selectionTextColor; }
    QColor markedTextColor() const { return m_markedTextColor; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The editor's validator belongs to the editor and goes with it.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    // Commits the text of the editor this delegate has open and closes it, as leaving the cell
    // does: a text its validator does not take, even after its fixup, is dropped. A command that
    // reads the image or the unsaved-data flag calls it first, since a menu, a shortcut or the
    // window system's close does not take the focus from the editor. Nothing when no editor is
    // open.
    void commitOpenEditor();

private:
    int m_base = 0;
    int m_maximum = 0;
    int m_minimum = 0;
    int m_maxLength = 0;
    QColor m_selectionTextColor;
    QColor m_markedTextColor;
    // The editor open in the column, until the view lets it go.
    mutable QPointer<QLineEdit> m_openEditor;
    // The editor whose text setModelData is writing, and whether the view let it go meanwhile.
    mutable QPointer<QLineEdit> m_writingEditor;
    mutable bool m_destroyAfterWriting = false;
};
