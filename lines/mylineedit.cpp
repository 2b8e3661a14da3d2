#include "mylineedit.h"

#include <QKeyEvent>

LineKeyAction lineKeyAction(const QWidget *editor, const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return)
        return LineKeyAction::Leave;
    if (!editor->hasFocus() || event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        return LineKeyAction::Drop;
    return LineKeyAction::Edit;
}

MyLineEdit::MyLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void MyLineEdit::sendControl_Tab()
{
    emit control_Tab();
}

void MyLineEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    QWidget::mousePressEvent(event);
}

void MyLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void MyLineEdit::keyPressEvent(QKeyEvent *event)
{
    switch (lineKeyAction(this, event)) {
    case LineKeyAction::Leave:
        clearFocus();
        emit enterPressed();
        return;
    case LineKeyAction::Drop:
        event->accept();
        return;
    case LineKeyAction::Edit:
        break;
    }
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Escape)
        emit enterPressed();
}

void MyLineEdit::enterEvent(QEvent *event)
{
    emit lineEditEntered();
    QLineEdit::enterEvent(event);
}

void MyLineEdit::leaveEvent(QEvent *event)
{
    emit lineEditLeaved();
    QLineEdit::leaveEvent(event);
}
