#include "mytreeview.h"

#include <QKeyEvent>

MyTreeView::MyTreeView(QWidget *parent)
    : QTreeView(parent)
{
}

bool MyTreeView::takeCurrentPosition()
{
    const QModelIndex current = QTreeView::currentIndex();
    const QModelIndex parent = current.parent();
    if (!parent.isValid()) {
        m_currentChildRow = HeadRow;
        m_currentParentRow = current.row();
        return true;
    }
    m_currentChildRow = current.row();
    m_currentParentRow = parent.row();
    return false;
}

bool MyTreeView::isGroup(const QModelIndex &index) const
{
    return index.isValid() && !index.parent().isValid() && model() && model()->rowCount(index) > 0;
}

void MyTreeView::mousePressEvent(QMouseEvent *event)
{
    QTreeView::mousePressEvent(event);
    takeCurrentPosition();
    emit currentIndex(m_currentChildRow, m_currentParentRow);
    emit mousePressed();
}

void MyTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    takeCurrentPosition();
    emit mouseDoubleClicked(m_currentChildRow, m_currentParentRow);
}

void MyTreeView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool sideways = key == Qt::Key_Left || key == Qt::Key_Right;
    if (!sideways)
        QTreeView::keyPressEvent(event);

    const bool headRow = takeCurrentPosition();
    const QModelIndex current = QTreeView::currentIndex();
    switch (key) {
    case Qt::Key_Down:
        emit currentIndex(m_currentChildRow, m_currentParentRow);
        break;
    case Qt::Key_Up:
        if (!headRow)
            emit currentIndex(m_currentChildRow, m_currentParentRow);
        break;
    case Qt::Key_Right:
        if (isGroup(current) && !isExpanded(current))
            expand(current);
        break;
    case Qt::Key_Left:
        if (isGroup(current) && isExpanded(current))
            collapse(current);
        break;
    case Qt::Key_Return:
        emit enterCurrentIndex(m_currentChildRow, m_currentParentRow);
        if (isGroup(current))
            setExpanded(current, !isExpanded(current));
        break;
    default:
        break;
    }
    if (key == Qt::Key_Tab && (event->modifiers() & Qt::ControlModifier))
        emit control_Tab(QStringLiteral("tree"));
}

void MyTreeView::keyReleaseEvent(QKeyEvent *event)
{
    QWidget::keyReleaseEvent(event);
}
