#include "pagewidget.h"

#include "itemdelegate.h"
#include "mytablewidget.h"
#include "mytabwidget.h"
#include "mytreeview.h"

#include <QHeaderView>

const char *const PageWidget::TreeStyle =
    "selection-background-color: qlineargradient(x1: -0.5, y1: -0.5, x2: 0.7, y2: 0.7,"
    "stop: 0 #00007A, stop: 1 white);section {background: red;border: 2px outset red;}";

PageWidget::PageWidget(QWidget *parent)
    : m_container(new MyTabWidget(parent))
{
    m_container->setAttribute(Qt::WA_DeleteOnClose);
    m_container->setFocusPolicy(Qt::NoFocus);
}

PageWidget::~PageWidget()
{
    delete m_treeView.data();
    delete m_tableWidget.data();
    delete m_container.data();
}

QWidget *PageWidget::widget() const
{
    return m_container;
}

MyTabWidget *PageWidget::container() const
{
    return m_container;
}

MyTreeView *PageWidget::tree() const
{
    return m_treeView;
}

MyTableWidget *PageWidget::table() const
{
    return m_tableWidget;
}

void PageWidget::createTree()
{
    if (m_treeCreated)
        return;
    m_itemDelegate = std::make_unique<ItemDelegate>();
    m_treeView = new MyTreeView(m_container);
    m_treeView->setAttribute(Qt::WA_MouseTracking);
    m_treeView->show();
    m_treeView->setUpdatesEnabled(true);
    m_treeView->setGeometry(0, 0, 790, 415);
    m_treeView->setItemDelegate(m_itemDelegate.get());
    m_treeView->setAlternatingRowColors(true);
    m_treeView->header()->hide();
    m_treeView->setAnimated(true);
    m_treeView->setStyleSheet(QLatin1String(TreeStyle));
    m_treeCreated = true;
    connect(m_treeView, SIGNAL(control_Tab(QString)), this, SIGNAL(control_Tab(QString)));
}

void PageWidget::createTable()
{
    if (m_tableCreated)
        return;
    m_tableWidget = new MyTableWidget(m_container);
    m_tableWidget->setGeometry(0, 0, 580, 415);
    m_tableWidget->show();
    m_tableWidget->verticalHeader()->hide();
    m_tableWidget->setAlternatingRowColors(true);
    // The grid keeps the selection style it gives itself (MyTableWidget::SelectionStyle).
    m_tableCreated = true;
    connect(m_tableWidget, SIGNAL(control_Tab(QString)), this, SIGNAL(control_Tab(QString)));
}
