#pragma once

#include <QModelIndex>
#include <QString>
#include <QTableWidget>

class QTableWidgetItem;

// The kind of a table page's grid.
enum TableKind {
    NoTable = 0,
    LockCodeTable = 1,
    KeyTable = 2,
    NameTable = 3
};

// The table grid of table pages and of the key table's found list. It turns keys and mouse buttons
// into the signals the page acts on (copy, paste, delete, context menu, column selection, a cell's
// help, opening a combo cell) and holds only the kind of table and the column-select key.
//
// Ctrl+C, Ctrl+V and Ctrl+X act while the grid (or an editor in it) has the keyboard focus, so that
// two grids of one window never make each other's shortcuts ambiguous. Tab and Ctrl+Tab are not
// consumed: Tab moves the focus out of the grid, Ctrl+Tab reaches the widgets that hold it.
class MyTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit MyTableWidget(QWidget *parent);
    ~MyTableWidget() override;

    void setTableKind(int kind) { m_tableKind = kind; }
    int tableKind() const { return m_tableKind; }
    // The key that with Alt selects the current column; 0 for none.
    void setColumnSelectKey(int key) { m_columnSelectKey = key; }
    int columnSelectKey() const { return m_columnSelectKey; }

    static const char *const SelectionStyle;

signals:
    void control_C();
    void control_V();
    void control_X();
    void deleteKey();
    void deleteKey(int row, int column);
    void rowColumnHelp(int row, int column);
    void control_Tab();
    void control_Tab(QString table);
    void itemSelected();
    void sendModelIndex(QModelIndex modelIndex);
    void rightMenu(QModelIndex index, QString type);
    // Emitted on a left press after the default handling and on Space, with the current item.
    void itemPressed(QTableWidgetItem *item);
    void tableLeaved();
    void sectionPressed(int section);
    void goToCell(QTableWidgetItem *item);

public slots:
    void makeCopy();
    void makePast();
    void deleteMakeCopy();
    void sendControl_Tab();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void selectCurrentColumn();
    int selectedCellCount(int atLeast) const;

    int m_tableKind = NoTable;
    int m_columnSelectKey = 0;
};
