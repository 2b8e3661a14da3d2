#include "helpview.h"
#include "mytabwidget.h"
#include "operationbin.h"
#include "pagefixture.h"
#include "webline.h"
#include "xmldefinition.h"

#include <QtTest>

namespace {

QString url(const QString &text)
{
    return QStringLiteral("<URL TEXT=\"%1\"/>").arg(text);
}

QString html(const QString &urls)
{
    return QStringLiteral("<HTML><LINK>%1</LINK></HTML>").arg(urls);
}

}

class TestWebPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sampleManual();
    void browsers_data();
    void browsers();
};

void TestWebPage::initTestCase()
{
    QDir::setCurrent(dataRoot());
}

void TestWebPage::sampleManual()
{
    MainWindowStandIn main;
    OperationBin image;
    XmlDefinition definition(sampleDefinition(QStringLiteral("U65")));
    std::unique_ptr<Page> other(main.addPage(&definition, &image));
    std::unique_ptr<Page> page(main.addPage(&definition, &image));
    page->createWebPage(5);
    QCOMPARE(page->pageNumber(), 5);
    QCOMPARE(main.tabs->tabText(1), QStringLiteral("Manual"));
    QCOMPARE(main.tabs->tabText(0), QString());
    const auto views = page->pageWidget()->container()->findChildren<Platform::HelpView *>();
    QCOMPARE(views.size(), 1);
    QCOMPARE(views[0]->source().toLocalFile(), QDir::currentPath() + QStringLiteral("/HELP/System/EN/RK4820_U65.html"));
    QVERIFY(!page->treeView());
    QVERIFY(!page->tableWidget());
    QVERIFY(!page->progressDialog()); // a web page has no progress step
}

void TestWebPage::browsers_data()
{
    QTest::addColumn<QString>("htmls");
    QTest::addColumn<QStringList>("shown"); // per view, in element order: its source or its text

    const QString cwd = dataRoot();
    const QString manual = QStringLiteral("/HELP/System/EN/RK4820_H65.html");
    QTest::newRow("one local page") << html(url(manual)) << QStringList{"file:" + cwd + manual};
    QTest::newRow("two URLs, two views")
        << html(url(manual) + url(QStringLiteral("/HELP/System/EN/RK4820_U65.html")))
        << QStringList{"file:" + cwd + manual, "file:" + cwd + "/HELP/System/EN/RK4820_U65.html"};
    QTest::newRow("a second HTML is ignored")
        << html(url(manual)) + html(url(QStringLiteral("/HELP/System/EN/RK4820_U65.html")))
        << QStringList{"file:" + cwd + manual};
    QTest::newRow("web address kept")
        << html(url(QStringLiteral("HTTP://example.com/manual.html")))
        << QStringList{"text:http://example.com/manual.html"}; // shown as a link, the scheme in lower case
    QTest::newRow("joined without separator")
        << html(url(QStringLiteral("manual.html"))) << QStringList{"text:" + cwd + "manual.html"};
    QTest::newRow("no URL element") << html(QStringLiteral("<TEXT TXT=\"x\"/>")) << QStringList{};
    QTest::newRow("no HTML") << QString() << QStringList{};
}

void TestWebPage::browsers()
{
    QFETCH(QString, htmls);
    QFETCH(QStringList, shown);

    DefinitionFiles files;
    XmlDefinition definition(files.write(DefinitionFiles::webPage(QStringLiteral("Handbook"), htmls)));
    MainWindowStandIn main;
    OperationBin image;
    std::unique_ptr<Page> page(main.addPage(&definition, &image));
    page->createWebPage(0);
    QCOMPARE(main.tabs->tabText(0), QStringLiteral("Handbook"));

    QWidget *container = page->pageWidget()->widget();
    const auto views = container->findChildren<Platform::HelpView *>();
    QCOMPARE(views.size(), shown.size());
    for (int i = 0; i < views.size(); ++i) {
        Platform::HelpView *view = page->webLine()->browsers().at(i);
        QCOMPARE(view->parentWidget(), container);
        QCOMPARE(view->geometry(), QRect(0, 0, 795, 430));
        const QString got = view->source().isValid() ? QStringLiteral("file:") + view->source().toLocalFile()
                                                     : QStringLiteral("text:") + view->toPlainText();
        QCOMPARE(got, shown[i]);
    }
    if (!views.isEmpty())
        QCOMPARE(page->webLine()->browser(), page->webLine()->browsers().last()); // the later on top
}

QTEST_MAIN(TestWebPage)
#include "tst_webpage.moc"
