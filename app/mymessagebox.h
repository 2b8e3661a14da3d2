#pragma once

#include <QMessageBox>

// A message box whose size given at construction is its smallest: where its texts and buttons need
// more room, it takes the size the message box computes for them, so that no text is cut off. The
// size is set when the box shows and again after each layout of its contents.
class MyMessageBox : public QMessageBox
{
public:
    MyMessageBox(QWidget *parent, int width, int height);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void keepSize();

    int fixedWidth;
    int fixedHeight;
};

// A message box without parent or title, run modally: the button that closed it. Details, when
// given, stand under the text as its informative text.
QMessageBox::StandardButton showPlainBox(QMessageBox::Icon icon, const QString &text,
                                         QMessageBox::StandardButtons buttons, const QString &details = QString());
