#include "mytabwidget.h"

MyTabWidget::MyTabWidget(QWidget *parent)
    : QTabWidget(parent)
{
    setAttribute(Qt::WA_MouseTracking);
}

void MyTabWidget::mouseMoveEvent(QMouseEvent *)
{
    emit tabEntered();
}

void MyTabWidget::enterEvent(QEvent *)
{
}
