#include "mymessagebox.h"

#include <QEvent>

MyMessageBox::MyMessageBox(QWidget *parent, int width, int height)
    : QMessageBox(parent), fixedWidth(width), fixedHeight(height)
{
}

bool MyMessageBox::event(QEvent *event)
{
    const bool handled = QMessageBox::event(event);
    if (event->type() == QEvent::LayoutRequest && isVisible())
        setFixedSize(fixedWidth, fixedHeight);
    return handled;
}

void MyMessageBox::showEvent(QShowEvent *event)
{
    QMessageBox::showEvent(event);
    setFixedSize(fixedWidth, fixedHeight);
}

void MyMessageBox::resizeEvent(QResizeEvent *)
{
}

QMessageBox::StandardButton showPlainBox(QMessageBox::Icon icon, const QString &text,
                                         QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, QString(), text, buttons);
    return QMessageBox::StandardButton(box.exec());
}
