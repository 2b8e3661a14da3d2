#pragma once

#include <QMessageBox>

// A message box of the size given at construction, whatever its texts and buttons ask for.
class MyMessageBox : public QMessageBox
{
public:
    MyMessageBox(QWidget *parent, int width, int height);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int fixedWidth;
    int fixedHeight;
};
