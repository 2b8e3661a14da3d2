#include "mylineedit.h"

#include <QKeyEvent>
#include <QShortcut>

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
    // While the line edit has the focus it takes Ctrl+C itself (copy); elsewhere in its window
    // the key reaches this shortcut.
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL + Qt::Key_C), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, SIGNAL(activated()), this, SLOT(sendControl_Tab()));
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
