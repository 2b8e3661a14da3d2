#include "mymessagebox.h"

MyMessageBox::MyMessageBox(QWidget *parent, int width, int height)
    : QMessageBox(parent), fixedWidth(width), fixedHeight(height)
{
}

void MyMessageBox::showEvent(QShowEvent *event)
{
    QMessageBox::showEvent(event);
    setFixedSize(fixedWidth, fixedHeight);
}

void MyMessageBox::resizeEvent(QResizeEvent *)
{
}
