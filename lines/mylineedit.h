#pragma once

#include <QLineEdit>

// How the line editors of tree lines take a key press: Return (the main keyboard's, not the
// keypad's Enter) leaves the editor; a key while the editor lacks the focus, and Up and Down, are
// dropped; anything else goes to the line edit.
enum class LineKeyAction { Leave, Drop, Edit };
LineKeyAction lineKeyAction(const QWidget *editor, const QKeyEvent *event);

// The plain line edit of tree lines (labels, value displays, text editors). It reports the pointer
// entering and leaving it and Return (main keyboard only) and Escape as enterPressed(); Up and Down
// never reach it, nor does any key while it lacks the focus; a mouse press also reaches its parent.
// Ctrl+C pressed elsewhere in its window, while it is visible and enabled, emits control_Tab().
class MyLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit MyLineEdit(QWidget *parent);

signals:
    void lineEditEntered();
    void lineEditLeaved();
    void enterPressed();
    void control_Tab();

public slots:
    void sendControl_Tab();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
