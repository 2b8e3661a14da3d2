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
        keepSize();
    return handled;
}

void MyMessageBox::showEvent(QShowEvent *event)
{
    QMessageBox::showEvent(event);
    keepSize();
}

// The message box has just fixed its size to what its contents need.
void MyMessageBox::keepSize()
{
    setFixedSize(minimumSize().expandedTo(QSize(fixedWidth, fixedHeight)));
}

void MyMessageBox::resizeEvent(QResizeEvent *)
{
}

QMessageBox::StandardButton showPlainBox(QMessageBox::Icon icon, const QString &text,
                                         QMessageBox::StandardButtons buttons, const QString &details)
{
    QMessageBox box(icon, QString(), text, buttons);
    box.setInformativeText(details);
    return QMessageBox::StandardButton(box.exec());
}
