#include "mypushbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

MyPushButton::MyPushButton(QWidget *parent)
    : QPushButton(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void MyPushButton::pressDown()
{
    setDown(true);
}

void MyPushButton::mousePressEvent(QMouseEvent *event)
{
    pressDown();
    QWidget::mousePressEvent(event);
}

void MyPushButton::mouseReleaseEvent(QMouseEvent *event)
{
    QPushButton::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit mouseReleased();
}

void MyPushButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return)
        emit enterPressed();
    else if (event->key() == Qt::Key_Tab)
        setFocusPolicy(Qt::NoFocus);
    event->accept();
}

void MyPushButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return) {
        emit enterReleased();
        emit buttonClicked();
    }
    event->accept();
}

void MyPushButton::enterEvent(QEvent *event)
{
    emit buttonEntered();
    QPushButton::enterEvent(event);
}

void MyPushButton::leaveEvent(QEvent *event)
{
    emit buttonLeaved();
    QPushButton::leaveEvent(event);
}

void MyPushButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (!isChecked())
        return;
    QPainter painter(this);
    const QRect inside = rect().adjusted(2, 2, -2, -2);
    painter.fillRect(inside, QColor(0, 40, 90, 70));
    painter.setPen(QPen(QColor(0, 40, 90, 160), 2));
    painter.drawRect(inside.adjusted(0, 0, -1, -1));
}
