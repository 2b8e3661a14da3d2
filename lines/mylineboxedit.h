#pragma once

#include <QLineEdit>

// The number editor of tree lines: a one-line field that shows a number in the element's FORMAT
// (base 10, 16 or 2, chosen from the format's letter), limits typing with a validator of that base,
// reports every change of its text at once as a number and as text, and on Return or when the
// pointer leaves re-formats the text and puts the last accepted value back when the number lies
// outside the range. No keystroke makes a decimal number above the maximum, and the editor never
// loses the focus with a number outside the range: the last accepted value comes back first, so
// editingFinished() always reports a value within it.
//
// Set up in this order: setRange, setFormat, setValue, setCurrentValueText, restoreIfBelowMinimum.
// A change is reported only when the text really changes, so two editors linked both ways through
// valueChanged(int) and setValue(int) come to rest after one exchange.
class MyLineBoxEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit MyLineBoxEdit(QWidget *parent);

    // The range the next setFormat hands to its validator; also the range outside which a value
    // is put back.
    void setRange(int minimum, int maximum);
    // Stores the format and chooses base and validator: "d" or "" decimal, else "x" hexadecimal,
    // else "b" base 2; any other format changes neither.
    void setFormat(const QString &format);

    QString format() const { return m_format; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int base() const { return m_base; }
    QString currentValueText() const { return m_currentValueText; }

    // The text read in the format's base (0 when it is no number).
    int value();

    // Puts the last accepted value back when the shown number lies outside the range, otherwise
    // accepts the shown text.
    void restoreIfBelowMinimum();

    // The text of value in format: "" gives the decimal text, any other format is printed by
    // NumberText::format.
    static QString formatValue(const QString &format, int value);
    void updateBase();
    void reformat();

signals:
    void enterPressed();
    void spinBoxEntered();
    void spinBoxLeaved();
    void mousePressed();
    void control_Tab();
    void mouseDoubleClicked();
    void valueChanged(int value);
    void valueChanged(QString text);

public slots:
    // Shows value in the format; a value within the range also becomes the last accepted one.
    void setValue(int value);
    void currentText(QString text);
    void setCurrentValueText(QString text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int textValue(const QString &text) const;

    QString m_format;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_base = 10;
    QString m_currentValueText;
};
