#pragma once

#include <QTabWidget>

// The container widget of one page: the widget of the page's tab in the main window, and the
// parent of the page's view or browser. It holds no tabs of its own. It reports the pointer moving
// over it and swallows those moves.
class MyTabWidget : public QTabWidget
{
    Q_OBJECT
public:
    explicit MyTabWidget(QWidget *parent);

signals:
    void tabEntered();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
};
