#pragma once

#include <QMessageBox>

// A message box of the size given at construction, whatever its texts and buttons ask for: the
// size is fixed when the box shows and again after each layout of its contents.
class MyMessageBox : public QMessageBox
{
public:
    MyMessageBox(QWidget *parent, int width, int height);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int fixedWidth;
    int fixedHeight;
};

// A message box without parent or title, run modally: the button that closed it.
QMessageBox::StandardButton showPlainBox(QMessageBox::Icon icon, const QString &text,
                                         QMessageBox::StandardButtons buttons);
