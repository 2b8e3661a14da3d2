#include "itemdelegate.h"
#include "mytablewidget.h"
#include "mytabwidget.h"
#include "mytreeview.h"
#include "pagefixture.h"

#include <QHeaderView>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QtTest>

// The page object without a builder: set-up, tab title, progress dialog and lifetime.
class TestPageCore : public QObject
{
    Q_OBJECT
private slots:
    void construction();
    void setters();
    void tabTitleGoesToTheOwnTab();
    void deletingAPageRemovesItsTab();
    void tabWidgetDeletedBeforeItsPages();
    void progressLabel_data();
    void progressLabel();
    void progressDialogPlaceAndShape();
    void progressDialogMadeAtFirstSetUp();
    void pageWidgetTree();
    void pageWidgetTable();
    void tabContainer();
};

void TestPageCore::construction()
{
    MainWindowStandIn main;
    Page page(main.tabs, nullptr, nullptr);
    QVERIFY(!page.parent());
    QVERIFY(page.pageWidget());
    MyTabWidget *container = page.pageWidget()->container();
    QCOMPARE(page.pageWidget()->widget(), static_cast<QWidget *>(container));
    QCOMPARE(container->parentWidget(), static_cast<QWidget *>(main.tabs));
    QVERIFY(container->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(container->focusPolicy(), Qt::NoFocus);
    QCOMPARE(container->count(), 0);
    QVERIFY(!page.tableWidget());
    QVERIFY(!page.treeView());
    QCOMPARE(page.tableKind(), 0);
    QVERIFY(!page.progressDialog());
    QVERIFY(page.pageRect().isNull());
    QVERIFY(page.errorText().isEmpty());
    QVERIFY(page.systemType().isEmpty());
    QVERIFY(!page.firstTreePage());
}

void TestPageCore::setters()
{
    MainWindowStandIn main;
    std::unique_ptr<Page> first(main.addPage(nullptr, nullptr));
    std::unique_ptr<Page> page(main.addPage(nullptr, nullptr));
    page->setSystemType(QStringLiteral("4820_U"));
    page->setFileExtensions(QStringLiteral(".op/.id/.nm/"));
    page->setFirstTreePage(first.get());
    page->setPageRect(QRect(1, 2, 3, 4));
    QCOMPARE(page->helpLineEdit(), main.helpLine);
    QCOMPARE(page->mainWindow(), &main.window);
    QCOMPARE(page->errorText(), QStringLiteral("Error"));
    QCOMPARE(page->fileErrorText(), QStringLiteral("File write error"));
    QCOMPARE(page->copyingText(), QStringLiteral("Copying data"));
    QCOMPARE(page->creatingText(), QStringLiteral("Creating page"));
    QCOMPARE(page->systemType(), QStringLiteral("4820_U"));
    QCOMPARE(page->fileExtensions(), QStringLiteral(".op/.id/.nm/"));
    QCOMPARE(page->firstTreePage(), first.get());
    QCOMPARE(page->pageRect(), QRect(1, 2, 3, 4));
}

void TestPageCore::tabTitleGoesToTheOwnTab()
{
    MainWindowStandIn main;
    std::vector<std::unique_ptr<Page>> pages;
    for (int i = 0; i < 3; ++i)
        pages.emplace_back(main.addPage(nullptr, nullptr));
    main.tabs->tabBar()->moveTab(0, 2); // the first page's tab is now the last one
    pages[0]->setTabTitle(QStringLiteral("System"));
    pages[2]->setTabTitle(QStringLiteral("Keys"));
    QCOMPARE(main.tabs->tabText(0), QString());
    QCOMPARE(main.tabs->tabText(1), QStringLiteral("Keys"));
    QCOMPARE(main.tabs->tabText(2), QStringLiteral("System"));

    // A page whose container is no tab of the tab widget names nothing.
    Page loose(main.tabs, nullptr, nullptr);
    loose.setTabTitle(QStringLiteral("Loose"));
    for (int i = 0; i < 3; ++i)
        QVERIFY(main.tabs->tabText(i) != QStringLiteral("Loose"));
    Page orphan(nullptr, nullptr, nullptr);
    orphan.setTabTitle(QStringLiteral("Nothing"));
}

void TestPageCore::deletingAPageRemovesItsTab()
{
    MainWindowStandIn main;
    Page *first = main.addPage(nullptr, nullptr);
    Page *second = main.addPage(nullptr, nullptr);
    first->setTabTitle(QStringLiteral("First"));
    second->setTabTitle(QStringLiteral("Second"));
    QPointer<QWidget> container = first->pageWidget()->widget();
    QSignalSpy current(main.tabs, &QTabWidget::currentChanged);
    delete first;
    QVERIFY(!container); // at once, not at the next event loop
    QCOMPARE(main.tabs->count(), 1);
    QCOMPARE(main.tabs->tabText(0), QStringLiteral("Second"));
    QCOMPARE(current.count(), 1); // the tab widget reports its new current tab
    delete second;
    QCOMPARE(main.tabs->count(), 0);
}

void TestPageCore::tabWidgetDeletedBeforeItsPages()
{
    auto *main = new MainWindowStandIn;
    Page *page = main->addPage(nullptr, nullptr);
    page->pageWidget()->createTree();
    page->setupProgressDialog(0, 9, 0, QStringLiteral("Creating page"));
    delete main; // tab widget, container, tree view and progress dialog go first
    QVERIFY(!page->treeView());
    QVERIFY(!page->progressDialog());
    delete page;
}

void TestPageCore::progressLabel_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("label");
    QTest::newRow("first page") << 0 << "Creating page 1";
    QTest::newRow("third page") << 2 << "Creating page 3";
    QTest::newRow("97") << 97 << "Creating page 98";
    QTest::newRow("98: shows 99") << 98 << "Creating page 99";
    QTest::newRow("99: text alone") << 99 << "Creating page";
    QTest::newRow("paste and import") << 100 << "Creating page";
}

void TestPageCore::progressLabel()
{
    QFETCH(int, number);
    QFETCH(QString, label);
    MainWindowStandIn main;
    std::unique_ptr<Page> page(main.addPage(nullptr, nullptr));
    page->setupProgressDialog(0, 10, number, page->creatingText());
    QCOMPARE(page->progressDialog()->labelText(), label);
}

void TestPageCore::progressDialogPlaceAndShape()
{
    MainWindowStandIn main;
    QVERIFY(main.show());
    std::unique_ptr<Page> page(main.addPage(nullptr, nullptr));
    page->setupProgressDialog(3, 41, 0, QStringLiteral("Creating page"));
    QProgressDialog *dialog = page->progressDialog();
    QCOMPARE(dialog->parentWidget(), &main.window);
    QVERIFY(dialog->isWindow());
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->pos(), main.window.mapToGlobal(QPoint(0, 600 - 35)));
    QCOMPARE(dialog->size(), QSize(260, 40));
    QCOMPARE(dialog->minimumSize(), QSize(260, 40));
    QCOMPARE(dialog->maximumSize(), QSize(260, 40));
    QCOMPARE(dialog->minimum(), 3);
    QCOMPARE(dialog->maximum(), 41);
    QVERIFY(dialog->autoClose());
    QVERIFY(dialog->findChildren<QPushButton *>().isEmpty()); // no cancel button
    QVERIFY(!dialog->isVisible());

    // A second set-up reuses the dialog with the new range and label.
    page->setupProgressDialog(0, 100, 100, page->copyingText());
    QCOMPARE(page->progressDialog(), dialog);
    QCOMPARE(dialog->labelText(), QStringLiteral("Copying data"));
    QCOMPARE(dialog->maximum(), 100);
}

void TestPageCore::progressDialogMadeAtFirstSetUp()
{
    MainWindowStandIn main;
    QVERIFY(main.show());
    std::unique_ptr<Page> page(main.addPage(nullptr, nullptr));
    page->setProgressMinimumDuration(50);
    page->setupProgressDialog(0, -1, 0, page->creatingText()); // a build with nothing to count
    QTest::qWait(200);
    QVERIFY(otherVisibleWindows(&main.window).isEmpty());
}

void TestPageCore::pageWidgetTree()
{
    MainWindowStandIn main;
    std::unique_ptr<Page> page(main.addPage(nullptr, nullptr));
    PageWidget *holder = page->pageWidget();
    QSignalSpy relay(page.get(), &Page::control_Tab);
    connect(holder, SIGNAL(control_Tab(QString)), page.get(), SIGNAL(control_Tab(QString)));
    holder->createTree();
    MyTreeView *tree = page->treeView();
    QVERIFY(tree);
    QVERIFY(holder->treeCreated());
    QVERIFY(!holder->tableCreated());
    QVERIFY(!page->tableWidget());
    QCOMPARE(tree->parentWidget(), static_cast<QWidget *>(holder->container()));
    QCOMPARE(tree->geometry(), QRect(0, 0, 790, 415));
    QVERIFY(tree->hasMouseTracking());
    QVERIFY(tree->alternatingRowColors());
    QVERIFY(tree->header()->isHidden());
    QVERIFY(tree->isAnimated());
    QCOMPARE(tree->styleSheet(), QString(PageWidget::TreeStyle));
    auto *delegate = qobject_cast<ItemDelegate *>(tree->itemDelegate());
    QVERIFY(delegate);
    QVERIFY(!delegate->parent());
    QCOMPARE(delegate->sizeHint(QStyleOptionViewItem(), QModelIndex()), QSize(50, 25));
    emit tree->control_Tab(QStringLiteral("tree"));
    QCOMPARE(relay.count(), 1);
    QCOMPARE(relay.at(0).at(0).toString(), QStringLiteral("tree"));
}

void TestPageCore::pageWidgetTable()
{
    MainWindowStandIn main;
    std::unique_ptr<Page> page(main.addPage(nullptr, nullptr));
    PageWidget *holder = page->pageWidget();
    QSignalSpy relay(holder, &PageWidget::control_Tab);
    holder->createTable();
    MyTableWidget *table = page->tableWidget();
    QVERIFY(table);
    QVERIFY(holder->tableCreated());
    QVERIFY(!page->treeView());
    QCOMPARE(table->geometry(), QRect(0, 0, 580, 415));
    QVERIFY(table->verticalHeader()->isHidden());
    QVERIFY(table->alternatingRowColors());
    QCOMPARE(page->tableKind(), 0);
    table->setTableKind(KeyTable);
    QCOMPARE(page->tableKind(), 2);
    emit table->control_Tab(QStringLiteral("table"));
    QCOMPARE(relay.count(), 1);
}

void TestPageCore::tabContainer()
{
    MyTabWidget container(nullptr);
    QVERIFY(container.hasMouseTracking());
    QSignalSpy entered(&container, &MyTabWidget::tabEntered);
    QTest::mouseMove(&container, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&container, &move);
    QVERIFY(entered.count() >= 1);
}

QTEST_MAIN(TestPageCore)
#include "tst_pagecore.moc"
