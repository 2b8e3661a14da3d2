#include "mycombobox.h"

MyComboBox::MyComboBox()
    : MyComboBox(static_cast<QWidget *>(nullptr))
{
}

MyComboBox::MyComboBox(QWidget *parent)
    : QComboBox(parent)
{
    connect(this, SIGNAL(activated(int)), this, SLOT(mouseEvent(int)));
}

MyComboBox::MyComboBox(int comboNumber)
    : QComboBox(nullptr), m_comboNumber(comboNumber)
{
    connect(this, SIGNAL(currentIndexChanged(int)), this, SLOT(textChanged()));
}

void MyComboBox::textChanged()
{
    emit comboIndex(m_comboNumber);
}

void MyComboBox::popUp()
{
    showPopup();
}

void MyComboBox::mouseEvent(int)
{
    QWidget *parent = parentWidget();
    if (parent && parent->parentWidget())
        parent->parentWidget()->setFocus(Qt::OtherFocusReason);
}

void MyComboBox::wheelEvent(QWheelEvent *event)
{
    clearFocus();
    QWidget::wheelEvent(event);
}

void MyComboBox::enterEvent(QEvent *event)
{
    emit comboEntered();
    emit comboEntered(m_comboNumber);
    QComboBox::enterEvent(event);
}

void MyComboBox::leaveEvent(QEvent *event)
{
    emit comboLeaved();
    QComboBox::leaveEvent(event);
}
