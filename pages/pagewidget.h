#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class ItemDelegate;
class MyTabWidget;
class MyTableWidget;
class MyTreeView;
class QWidget;

// Holds the widgets of one page: its container (the widget of the page's tab) and the view the
// page builds in it, a tree or a table. Not a widget itself.
//
// Destroying the holder destroys its view and the container at once, and with the container every
// widget the page's lines placed in it; the tab that showed the container goes with it. Widgets
// that are already gone (a tab widget deleted before its pages) are skipped.
class PageWidget : public QObject
{
    Q_OBJECT
public:
    explicit PageWidget(QWidget *parent);
    ~PageWidget() override;

    // The container: the widget the main window adds as the page's tab.
    QWidget *widget() const;
    MyTabWidget *container() const;

    // The tree view of a tree page, with its row-height delegate.
    void createTree();
    // The grid of a table page.
    void createTable();

    MyTreeView *tree() const;
    MyTableWidget *table() const;
    bool treeCreated() const { return m_treeCreated; }
    bool tableCreated() const { return m_tableCreated; }

    static const char *const TreeStyle;

signals:
    void control_Tab(QString text);

private:
    QPointer<MyTabWidget> m_container;
    QPointer<MyTreeView> m_treeView;
    QPointer<MyTableWidget> m_tableWidget;
    std::unique_ptr<ItemDelegate> m_itemDelegate; // no parent: the holder deletes it after the view
    bool m_tableCreated = false;
    bool m_treeCreated = false;
};
