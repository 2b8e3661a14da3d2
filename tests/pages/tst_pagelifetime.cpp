#include "operationbin.h"
#include "pageset.h"
#include "mytreeview.h"
#include "treeline.h"
#include "xmldefinition.h"

#include <QPointer>
#include <QProgressDialog>
#include <QtTest>

// Pages are made and deleted at every Receive, Load and table rebuild: each kind is deleted with
// everything it made (the sanitizer build runs this suite with leak detection on).
class TestPageLifetime : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void eachKindBuiltAndDeleted_data();
    void eachKindBuiltAndDeleted();
    void sampleSetsBuiltAndDeletedTenTimes_data();
    void sampleSetsBuiltAndDeletedTenTimes();
    void noWindowAfterBuilding();
};

void TestPageLifetime::initTestCase()
{
    QDir::setCurrent(dataRoot());
}

void TestPageLifetime::eachKindBuiltAndDeleted_data()
{
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QString>("kind");
    // The U65: two tree pages, three table pages, the manual.
    QTest::newRow("tree page") << 0 << "tree";
    QTest::newRow("web page") << 5 << "web";
    QTest::newRow("never built") << 2 << "";
}

void TestPageLifetime::eachKindBuiltAndDeleted()
{
    QFETCH(int, pageIndex);
    QFETCH(QString, kind);

    MainWindowStandIn main;
    OperationBin image;
    image.loadFile(sampleImage(QStringLiteral("U65")));
    XmlDefinition definition(sampleDefinition(QStringLiteral("U65")));
    Page *page = main.addPage(&definition, &image);
    Page *next = main.addPage(&definition, &image);
    if (kind == QLatin1String("tree"))
        page->createTreePage(pageIndex);
    else if (kind == QLatin1String("web"))
        page->createWebPage(pageIndex);
    const int windows = QApplication::topLevelWidgets().size();
    QPointer<QWidget> container = page->pageWidget()->widget();
    QPointer<QTreeView> tree = page->treeView();
    QPointer<QObject> line = page->treeLine(1, 3);
    QPointer<QProgressDialog> progress = page->progressDialog();
    delete page;
    QVERIFY(!container);
    QVERIFY(!tree);
    QVERIFY(!line);
    QVERIFY(!progress);
    QCOMPARE(main.tabs->count(), 1);
    QCOMPARE(main.tabs->widget(0), next->pageWidget()->widget());
    QVERIFY(QApplication::topLevelWidgets().size() <= windows);
    delete next;
}

void TestPageLifetime::sampleSetsBuiltAndDeletedTenTimes_data()
{
    QTest::addColumn<QString>("model");
    QTest::newRow("U65") << "U65";
    QTest::newRow("H65") << "H65";
}

void TestPageLifetime::sampleSetsBuiltAndDeletedTenTimes()
{
    QFETCH(QString, model);
    MainWindowStandIn main;
    QVERIFY(main.show());
    OperationBin image;
    image.loadFile(sampleImage(model));
    const int windows = QApplication::topLevelWidgets().size();
    for (int round = 0; round < 10; ++round) {
        auto set = std::make_unique<PageSet>(main, sampleDefinition(model), &image);
        QCOMPARE(main.tabs->count(), set->count());
        QCoreApplication::processEvents();
        set.reset();
        QCOMPARE(main.tabs->count(), 0);
        QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    }
}

void TestPageLifetime::noWindowAfterBuilding()
{
    // Neither a web page nor a tree page without lines uses its progress dialog: no empty progress
    // window may show itself later (Qt's own minimum duration is 4 s).
    DefinitionFiles files;
    const QString head = QStringLiteral("<TEXT WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"Group\"/>");
    XmlDefinition definition(files.write(
        DefinitionFiles::treePage(QStringLiteral("Heads"), DefinitionFiles::headLine(head) + DefinitionFiles::headLine(head))
        + DefinitionFiles::webPage(QStringLiteral("Manual"),
                                   QStringLiteral("<HTML><LINK><URL TEXT=\"/HELP/System/EN/RK4820_U65.html\"/></LINK></HTML>"))));
    MainWindowStandIn main;
    QVERIFY(main.show());
    OperationBin image;
    std::unique_ptr<Page> tree(main.addPage(&definition, &image));
    std::unique_ptr<Page> web(main.addPage(&definition, &image));
    tree->createTreePage(0);
    web->createWebPage(1);
    QCOMPARE(tree->headLineCount(), 2);
    QTest::qWait(5000);
    QVERIFY(otherVisibleWindows(&main.window).isEmpty());
}

QTEST_MAIN(TestPageLifetime)
#include "tst_pagelifetime.moc"
