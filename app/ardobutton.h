#pragma once

#include <QToolButton>

// A flag button of the language dialog: a tool button that reports the pointer and the keyboard
// focus coming onto it and leaving it, and that Return clicks (after a 100 ms animation).
class ArdoButton : public QToolButton
{
    Q_OBJECT
public:
    explicit ArdoButton(QWidget *parent = nullptr);
    ~ArdoButton() override;

signals:
    void signal_Entered(ArdoButton *button);
    void signal_Leaved(ArdoButton *button);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
