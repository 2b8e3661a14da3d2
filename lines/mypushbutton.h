#pragma once

#include <QPushButton>

// The push button of tree lines (restore defaults) and the halves of the on/off pair. Return is
// reported, never clicks: enterPressed() on press, enterReleased() then buttonClicked() on release.
// Other keys do nothing (Space does not press it). A mouse press shows it pressed and also reaches
// the parent widget; a left release over it clicks it and then emits mouseReleased().
// A checked button is drawn shaded over its style: a background from a style sheet would otherwise
// make the half of an on/off pair that is down look almost like the other.
class MyPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MyPushButton(QWidget *parent);

    void pressDown();

signals:
    void enterPressed();
    void enterReleased();
    void buttonEntered();
    void mouseReleased();
    void buttonClicked();
    void buttonLeaved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
