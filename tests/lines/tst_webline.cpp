#include "helpview.h"
#include "treefixture.h"
#include "webline.h"
#include "weblistdata.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QtTest>

// A web page's line places one help view per URL element into the page's container and shows the
// element's page in it: a file below the working directory, or a web address.
class TestWebLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void address_data();
    void address();
    void views_data();
    void views();
    void shippedManuals_data();
    void shippedManuals();
    void noParentNoView();
    void leavesNoWindow();

private:
    // Builds the web line of a WEB_LIST whose first LINK holds elements, on container.
    std::unique_ptr<WebLine> build(const QString &elements, QWidget *container);

    QTemporaryDir m_dir;
    QString m_savedDir;
    std::unique_ptr<XmlDefinition> m_definition;
    std::unique_ptr<WebListData> m_data;
    Fixture m_files;
};

void TestWebLine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("HELP/System/EN")));
    QFile page(m_dir.filePath(QStringLiteral("HELP/System/EN/RK4820_U65.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><body><p>Manual of the unit</p></body></html>");
    page.close();
    m_savedDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void TestWebLine::cleanupTestCase()
{
    QDir::setCurrent(m_savedDir);
}

std::unique_ptr<WebLine> TestWebLine::build(const QString &elements, QWidget *container)
{
    m_definition = std::make_unique<XmlDefinition>(
        m_files.write(TreeXml::file(QStringLiteral("<HTML><LINK>%1</LINK><LINK><URL TEXT=\"/second.html\"/></LINK></HTML>"
                                                   "<HTML><LINK><URL TEXT=\"/third.html\"/></LINK></HTML>")
                                        .arg(elements),
                                    QStringLiteral("WEB_LIST"))));
    m_data = std::make_unique<WebListData>(m_definition.get());
    m_data->load(0);
    auto line = std::make_unique<WebLine>();
    line->setIndexes(0, 0, m_data.get());
    line->setParentWidget(container);
    line->createLine();
    return line;
}

void TestWebLine::address_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address"); // "~" stands for the working directory

    QTest::newRow("path below the working directory") << "/HELP/System/EN/RK4820_U65.html" << "~/HELP/System/EN/RK4820_U65.html";
    QTest::newRow("joined without separator") << "doc.html" << "~doc.html";
    QTest::newRow("empty text is the working directory") << "" << "~";
    QTest::newRow("web address") << "https://example.com/manual" << "https://example.com/manual";
    QTest::newRow("http in capitals") << "HTTP://EXAMPLE.COM/M.HTML" << "HTTP://EXAMPLE.COM/M.HTML";
    QTest::newRow("a path containing http is not prefixed") << "/HELP/httpdocs/a.html" << "/HELP/httpdocs/a.html";
}

void TestWebLine::address()
{
    QFETCH(QString, text);
    QFETCH(QString, address);
    address.replace(QLatin1Char('~'), QDir::currentPath());
    QCOMPARE(WebLine::address(text), address);
}

void TestWebLine::views_data()
{
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QStringList>("shown"); // per view, part of its text

    QTest::newRow("manual") << "<URL TEXT=\"/HELP/System/EN/RK4820_U65.html\"/>" << QStringList{"Manual of the unit"};
    QTest::newRow("manual named in another letter case") << "<URL TEXT=\"/help/system/en/rk4820_u65.HTML\"/>"
                                                          << QStringList{"Manual of the unit"};
    QTest::newRow("missing page shows its address") << "<URL TEXT=\"/HELP/gone.html\"/>" << QStringList{"/HELP/gone.html"};
    QTest::newRow("web address") << "<URL TEXT=\"https://example.com/manual\"/>" << QStringList{"https://example.com/manual"};
    QTest::newRow("two URL elements, the later on top")
        << "<URL TEXT=\"/HELP/gone.html\"/><HELP TXT=\"x\"/><URL TEXT=\"/HELP/System/EN/RK4820_U65.html\"/>"
        << QStringList{"/HELP/gone.html", "Manual of the unit"};
    QTest::newRow("tags compare exactly") << "<url TEXT=\"/HELP/System/EN/RK4820_U65.html\"/>" << QStringList{};
    QTest::newRow("no URL element") << "<HELP TXT=\"x\"/>" << QStringList{};
}

void TestWebLine::views()
{
    QFETCH(QString, elements);
    QFETCH(QStringList, shown);
    QWidget container;
    container.resize(800, 600);
    const std::unique_ptr<WebLine> line = build(elements, &container);
    QVERIFY(line);
    const QList<Platform::HelpView *> views = line->browsers();
    QCOMPARE(views.size(), shown.size());
    QCOMPARE(line->browser(), views.isEmpty() ? nullptr : views.last());
    QCOMPARE(container.findChildren<Platform::HelpView *>().size(), shown.size());
    for (int i = 0; i < views.size(); ++i) {
        QCOMPARE(views[i]->parentWidget(), &container);
        QCOMPARE(views[i]->geometry(), QRect(0, 0, 795, 430));
        QVERIFY2(views[i]->toPlainText().contains(shown[i]), qPrintable(views[i]->toPlainText()));
    }
    if (views.size() > 1) {
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
        QWidget *top = container.childAt(100, 100);
        while (top && top->parentWidget() != &container)
            top = top->parentWidget();
        QCOMPARE(top, views.last());
    }
}

void TestWebLine::shippedManuals_data()
{
    QTest::addColumn<QString>("file");
    const QDir xml(QStringLiteral(TKV_DATA_ROOT "/application/xml"));
    for (const QString &name : xml.entryList({QStringLiteral("RK*.xlx")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << xml.filePath(name);
    if (xml.entryList({QStringLiteral("RK*.xlx")}, QDir::Files).isEmpty())
        QSKIP("no data tree in this checkout");
}

// The manual of every shipped definition file shows with its pictures, however the file and the
// manual write their names.
void TestWebLine::shippedManuals()
{
    QFETCH(QString, file);
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QStringLiteral(TKV_DATA_ROOT)));
    XmlDefinition definition(file);
    const int pages = definition.readPageKinds();
    int manuals = 0;
    for (int page = 0; page < pages; ++page) {
        if (definition.pageKinds().value(page) != PageKindWeb)
            continue;
        WebListData data(&definition);
        data.load(page);
        QWidget container;
        WebLine line;
        line.setIndexes(0, 0, &data);
        line.setParentWidget(&container);
        line.createLine();
        QVERIFY(line.browser());
        QTextDocument *document = line.browser()->document();
        QVERIFY2(!line.browser()->source().isEmpty(), qPrintable(line.browser()->toPlainText()));
        int pictures = 0;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                const QString name = format.toImageFormat().name();
                QVERIFY2(!document->resource(QTextDocument::ImageResource, QUrl(name)).isNull(), qPrintable(name));
                ++pictures;
            }
        QVERIFY(pictures > 0);
        ++manuals;
    }
    QDir::setCurrent(saved);
    QCOMPARE(manuals, 1);
}

void TestWebLine::noParentNoView()
{
    const std::unique_ptr<WebLine> line = build(QStringLiteral("<URL TEXT=\"/HELP/System/EN/RK4820_U65.html\"/>"), nullptr);
    QVERIFY(!line->browser());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<Platform::HelpView *>(w));
}

// The web line is never inserted into a tree: it deletes the row frame the tree line made.
void TestWebLine::leavesNoWindow()
{
    const int before = QApplication::topLevelWidgets().size();
    {
        QWidget container;
        build(QStringLiteral("<URL TEXT=\"/HELP/System/EN/RK4820_U65.html\"/>"), &container);
    }
    QCOMPARE(QApplication::topLevelWidgets().size(), before);
}

QTEST_MAIN(TestWebLine)
#include "tst_webline.moc"
