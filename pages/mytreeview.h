#pragma once

#include <QTreeView>

// The tree view of a tree page. It reports positions as (child row, parent row): a head row is
// (HeadRow, its row), a line row (its row, its head row's row); with no current item the position
// is (HeadRow, -1).
//
// A mouse press, Down, and Up onto a line row report the position with currentIndex(); Return
// reports it with enterCurrentIndex() and then opens or closes a head row that has lines; Right
// opens and Left closes such a head row (neither moves the current item); Ctrl+Tab emits
// control_Tab("tree"). The keypad's Enter is not Return.
class MyTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit MyTreeView(QWidget *parent);

    // The child row that stands for a head row.
    static constexpr int HeadRow = 1000;

    using QTreeView::currentIndex;

    int currentChildRow() const { return m_currentChildRow; }
    int currentParentRow() const { return m_currentParentRow; }

signals:
    void currentIndex(int currentChildRow, int currentParentRow);
    void enterCurrentIndex(int currentChildRow, int currentParentRow);
    void mousePressed();
    void mouseDoubleClicked(int currentChildRow, int currentParentRow);
    void control_Tab(QString text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // Takes the current item's position into the two rows; true when it is a head row.
    bool takeCurrentPosition();
    // A head row with at least one line under it.
    bool isGroup(const QModelIndex &index) const;

    int m_currentChildRow = 0;
    int m_currentParentRow = 0;
};
