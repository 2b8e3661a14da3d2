#include "mybutton.h"

#include <QKeyEvent>

MyButton::MyButton(QWidget *parent)
    : QPushButton(parent)
{
}

void MyButton::keyPressEvent(QKeyEvent *event)
{
    // Return clicks once, after showing the button pressed. The side panel makes its buttons
    // default buttons, whose own Return handling would click them a second time at once.
    if (event->key() == Qt::Key_Return) {
        animateClick(100);
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void MyButton::focusInEvent(QFocusEvent *event)
{
    emit buttonEntered(this);
    QPushButton::focusInEvent(event);
}

void MyButton::focusOutEvent(QFocusEvent *event)
{
    emit buttonLeaved();
    QPushButton::focusOutEvent(event);
}

void MyButton::enterEvent(QEvent *event)
{
    emit buttonEntered(this);
    QPushButton::enterEvent(event);
}

void MyButton::leaveEvent(QEvent *event)
{
    emit buttonLeaved();
    QPushButton::leaveEvent(event);
}
