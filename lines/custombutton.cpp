#include "custombutton.h"

#include "mypushbutton.h"
#include "screengeometry.h"
#include "widgetstyle.h"

#include <QFrame>

CustomButton::CustomButton(QWidget *parent)
    : QObject(nullptr)
{
    m_container = new QWidget(parent);
    m_pairFrame = new QFrame(m_container);
    m_onButton = new MyPushButton(m_pairFrame);
    m_offButton = new MyPushButton(m_pairFrame);
    for (MyPushButton *half : {m_onButton, m_offButton}) {
        half->setCheckable(true);
        half->setStyle(Platform::buttonStyle());
    }
    m_onButton->setText(QStringLiteral("ON"));
    m_offButton->setText(QStringLiteral("OFF"));

    connect(m_onButton, SIGNAL(clicked()), this, SLOT(setPuttonONDown()));
    connect(m_offButton, SIGNAL(clicked()), this, SLOT(setPuttonOFFDown()));
    for (MyPushButton *half : {m_onButton, m_offButton})
        connect(half, SIGNAL(enterReleased()), this, SIGNAL(enterReleased()));
    for (MyPushButton *half : {m_onButton, m_offButton})
        connect(half, SIGNAL(buttonEntered()), this, SLOT(emitButtonEntered()));
    for (MyPushButton *half : {m_onButton, m_offButton})
        connect(half, SIGNAL(buttonLeaved()), this, SLOT(emitButtonLeaved()));
    for (MyPushButton *half : {m_onButton, m_offButton})
        connect(half, SIGNAL(clicked()), this, SIGNAL(buttonClicked()));
    for (MyPushButton *half : {m_onButton, m_offButton})
        connect(half, SIGNAL(mouseReleased()), this, SIGNAL(mouseReleased()));
}

CustomButton::~CustomButton()
{
    delete m_container.data();
}

void CustomButton::setGeometry(int x, int y, int width, int height)
{
    if (!hasHalves() || !m_pairFrame || !m_container)
        return;
    const int outer = ScreenGeometry::extent(qint64(width) + 5);
    const int half = outer / 2;
    m_onButton->setGeometry(ScreenGeometry::rect(0, y, half - 2, height));
    m_offButton->setGeometry(ScreenGeometry::rect(half - 2, y, half - 2, height));
    m_container->setGeometry(ScreenGeometry::rect(x, y, outer, height));
    m_pairFrame->setGeometry(ScreenGeometry::rect(0, y, outer, height));
}

void CustomButton::setTexts(const QString &texts)
{
    if (!hasHalves())
        return;
    const int slash = texts.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        m_onButton->setText(texts);
        m_offButton->setText(texts);
        return;
    }
    m_onButton->setText(texts.left(slash));
    m_offButton->setText(texts.mid(slash + 1));
}

void CustomButton::setStyleSheet(const QString &styleSheet)
{
    if (!hasHalves())
        return;
    m_onButton->setStyleSheet(styleSheet);
    m_offButton->setStyleSheet(styleSheet);
}

void CustomButton::setState(bool on)
{
    m_onButton->setChecked(on);
    m_offButton->setChecked(!on);
}

void CustomButton::setPuttonONDown()
{
    if (!hasHalves())
        return;
    setState(true);
    emit sendOnOff(QStringLiteral("1"));
    emit sendOnOff(1);
}

void CustomButton::setPuttonOFFDown()
{
    if (!hasHalves())
        return;
    setState(false);
    emit sendOnOff(QStringLiteral("0"));
    emit sendOnOff(0);
}

void CustomButton::emitButtonEntered()
{
    emit buttonEntered();
}

void CustomButton::emitButtonLeaved()
{
    emit buttonLeaved();
}

void CustomButton::setFocus()
{
    if (!hasHalves())
        return;
    MyPushButton *target = m_onButton->isChecked() ? m_offButton : m_onButton;
    target->setFocus(Qt::OtherFocusReason);
}

void CustomButton::cilckOnEnterPress()
{
    QString text;
    if (isOn()) {
        setState(false);
        emit sendOnOff(0);
        text = QStringLiteral("0");
    } else if (isOff()) {
        setState(true);
        emit sendOnOff(1);
        text = QStringLiteral("1");
    }
    emit sendOnOff(text);
    emit enterPressed();
}

void CustomButton::setValue(int value)
{
    QString text;
    if (value == 1 && hasHalves() && !isOn()) {
        setState(true);
        emit sendOnOff(1);
        emit buttonClicked();
        text = QStringLiteral("1");
    } else if (value == 0 && hasHalves() && !isOff()) {
        setState(false);
        emit sendOnOff(0);
        emit buttonClicked();
        text = QStringLiteral("0");
    }
    emit sendOnOff(text);
}
