#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QFrame;
class QWidget;
class MyPushButton;

// The on/off pair of a tree line: two checkable halves side by side, of which exactly one is down
// once a value has been set (value 1: the ON half, 0: the OFF half). Clicks, the page's Enter
// handling and values set from outside all end in the same signals: sendOnOff(QString) with "1",
// "0" or "" (nothing changed) for the line that writes the bit, sendOnOff(int) for a linked pair on
// another page, and click, hover and release notifications.
//
// Not a widget itself: it owns a small widget tree placed into the parent given to the
// constructor. Destroying the pair destroys that tree.
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
    void setState(bool on);

    QPointer<QWidget> m_container;
    QFrame *m_pairFrame;
    MyPushButton *m_onButton;
    MyPushButton *m_offButton;
};
