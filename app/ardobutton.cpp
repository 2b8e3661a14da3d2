#include "ardobutton.h"

#include <QKeyEvent>

ArdoButton::ArdoButton(QWidget *parent) : QToolButton(parent)
{
}

ArdoButton::~ArdoButton() = default;

void ArdoButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return)
        animateClick(100);
    QAbstractButton::keyPressEvent(event);
}

void ArdoButton::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    emit signal_Entered(this);
}

void ArdoButton::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    emit signal_Leaved(this);
}

void ArdoButton::enterEvent(QEvent *event)
{
    QToolButton::enterEvent(event);
    emit signal_Entered(this);
}

void ArdoButton::leaveEvent(QEvent *event)
{
    QToolButton::leaveEvent(event);
    emit signal_Leaved(this);
}
