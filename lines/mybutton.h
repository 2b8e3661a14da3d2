#pragma once

#include <QPushButton>

// The buttons of the key-table side panel. Each carries a help text and reports the pointer or the
// keyboard focus arriving on it (with itself) and leaving it, so that the panel can show that text.
// Return clicks it once, after showing it pressed for 100 ms.
class MyButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MyButton(QWidget *parent);

    void setHelpText(const QString &text) { m_helpText = text; }
    QString helpText() const { return m_helpText; }

signals:
    void buttonEntered(MyButton *button);
    void buttonLeaved();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_helpText;
};
