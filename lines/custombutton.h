#pragma once

#include "mypushbutton.h"

#include <QFrame>
#include <QObject>
#include <QPointer>
#include <QString>

// The on/off pair of a tree line: two checkable halves side by side, of which exactly one is down
// once a value has been set (value 1: the ON half, 0: the OFF half). Clicks, the page's Enter
// handling and values set from outside all end in the same signals: sendOnOff(QString) with "1",
// "0" or "" (nothing changed) for the line that writes the bit, sendOnOff(int) for a linked pair on
// another page, and click, hover and release notifications.
//
// Not a widget itself: it owns a small widget tree placed into the parent given to the
// constructor. Destroying the pair destroys that tree. The tree may also go first, with its parent
// widget (a page's widgets are destroyed before its lines): the pair then has no state, changes
// nothing and reports only that nothing changed.
class CustomButton : public QObject
{
    Q_OBJECT
public:
    explicit CustomButton(QWidget *parent);
    ~CustomButton() override;

    // Places the pair at (x, y) in its parent, width + 5 pixels wide, split into two halves.
    void setGeometry(int x, int y, int width, int height);
    // "On/Off": the text before the first "/" on the ON half, the rest on the OFF half; a text
    // without "/" goes on both.
    void setTexts(const QString &texts);
    void setStyleSheet(const QString &styleSheet);

    QWidget *container() const { return m_container; }
    MyPushButton *onButton() const { return m_onButton; }
    MyPushButton *offButton() const { return m_offButton; }

signals:
    void enterPressed();
    void enterReleased();
    void buttonClicked();
    void buttonEntered();
    void buttonLeaved();
    void mouseReleased();
    void sendOnOff(QString onOff);
    void sendOnOff(int onOff);

public slots:
    void setPuttonONDown();
    void setPuttonOFFDown();
    void emitButtonEntered();
    void emitButtonLeaved();
    void setFocus();
    void cilckOnEnterPress();
    void setValue(int value);

private:
    bool hasHalves() const { return m_onButton && m_offButton; }
    bool isOn() const { return hasHalves() && m_onButton->isChecked(); }
    bool isOff() const { return hasHalves() && m_offButton->isChecked(); }
    void setState(bool on);

    QPointer<QWidget> m_container;
    QPointer<QFrame> m_pairFrame;
    QPointer<MyPushButton> m_onButton;
    QPointer<MyPushButton> m_offButton;
};
