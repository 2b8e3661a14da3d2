#include "mylineboxedit.h"

#include "mylineedit.h"
#include "numbertext.h"
#include "validators.h"

#include <QKeyEvent>
#include <QMouseEvent>

MyLineBoxEdit::MyLineBoxEdit(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, SIGNAL(textChanged(QString)), this, SLOT(currentText(QString)));
    connect(this, SIGNAL(textChanged(QString)), this, SIGNAL(valueChanged(QString)));
    setFocusPolicy(Qt::ClickFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void MyLineBoxEdit::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void MyLineBoxEdit::setFormat(const QString &format)
{
    m_format = format;
    const int base = format.isEmpty() ? 10 : NumberText::baseOfFormat(format);
    QValidator *validator = nullptr;
    if (base == 10)
        validator = new DecimalEditValidator(m_minimum, m_maximum, this);
    else if (base == 16)
        validator = new MyHexValidator(m_minimum, m_maximum, this);
    else if (base == 2)
        validator = new MyBinValidator(m_minimum, m_maximum, this);
    if (!validator)
        return;
    QValidator *old = const_cast<QValidator *>(this->validator());
    setValidator(validator);
    if (old && old->parent() == this)
        delete old;
    m_base = base;
}

void MyLineBoxEdit::updateBase()
{
    const int base = NumberText::baseOfFormat(m_format);
    if (base != 0)
        m_base = base;
}

int MyLineBoxEdit::textValue(const QString &text) const
{
    return NumberText::parse(text, m_base);
}

int MyLineBoxEdit::value()
{
    updateBase();
    return textValue(text());
}

QString MyLineBoxEdit::formatValue(const QString &format, int value)
{
    if (format.isEmpty())
        return QString::number(value);
    return NumberText::format(format, value);
}

void MyLineBoxEdit::reformat()
{
    updateBase();
    setText(formatValue(m_format, textValue(text())));
    restoreIfBelowMinimum();
}

void MyLineBoxEdit::restoreIfBelowMinimum()
{
    updateBase();
    const int v = textValue(text());
    if (v < m_minimum || v > m_maximum)
        setText(formatValue(m_format, textValue(m_currentValueText)));
    else
        m_currentValueText = text();
}

void MyLineBoxEdit::setValue(int value)
{
    setText(formatValue(m_format, value));
    if (value >= m_minimum && value <= m_maximum)
        m_currentValueText = text();
}

void MyLineBoxEdit::currentText(QString text)
{
    emit valueChanged(textValue(text));
}

void MyLineBoxEdit::setCurrentValueText(QString text)
{
    m_currentValueText = text;
}

void MyLineBoxEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
    emit mousePressed();
}

void MyLineBoxEdit::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void MyLineBoxEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    emit mouseDoubleClicked();
}

void MyLineBoxEdit::wheelEvent(QWheelEvent *event)
{
    clearFocus();
    QWidget::wheelEvent(event);
}

void MyLineBoxEdit::keyPressEvent(QKeyEvent *event)
{
    switch (lineKeyAction(this, event)) {
    case LineKeyAction::Leave:
        clearFocus();
        emit enterPressed();
        reformat();
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
    if ((event->modifiers() & Qt::ControlModifier) && event->key() == Qt::Key_Tab)
        emit control_Tab();
}

void MyLineBoxEdit::focusOutEvent(QFocusEvent *event)
{
    restoreIfBelowMinimum();
    QLineEdit::focusOutEvent(event);
}

void MyLineBoxEdit::enterEvent(QEvent *event)
{
    emit spinBoxEntered();
    QLineEdit::enterEvent(event);
}

void MyLineBoxEdit::leaveEvent(QEvent *event)
{
    emit spinBoxLeaved();
    reformat();
    QLineEdit::leaveEvent(event);
}
