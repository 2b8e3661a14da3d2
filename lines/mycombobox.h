#pragma once

#include <QComboBox>

// The selection box of tree lines and of table combo cells. It reports the pointer entering and
// leaving it, never changes its selection by the mouse wheel (the wheel scrolls the enclosing view),
// and, in its numbered form, reports every change of its current index with its own number.
class MyComboBox : public QComboBox
{
    Q_OBJECT
public:
    // Without a number: picking an item moves the focus to the enclosing widget (mouseEvent).
    MyComboBox();
    explicit MyComboBox(QWidget *parent);
    // Numbered (table combo cells): every change of the current index emits comboIndex(comboNumber).
    explicit MyComboBox(int comboNumber);

    int comboNumber() const { return m_comboNumber; }

signals:
    void comboEntered(int comboNumber);
    void comboEntered();
    void comboLeaved();
    void comboIndex(int combNumber);

public slots:
    void textChanged();
    virtual void popUp();
    void mouseEvent(int index);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int m_comboNumber = -1;
};
