#include "helpview.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QtTest>

using Platform::HelpView;

// Receives the addresses the view hands to the system's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

// The help view shows the manuals and help pages of the data tree, whose pages, pictures and links
// are written in another letter case than the files on disk, and never fetches from the web.
class TestHelpView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { m_catcher.opened.clear(); }

    void shows_data();
    void shows();
    void pictureInAnotherCase();
    void links_data();
    void links();
    void webAddressIsALink();
    void pageAgainAfterAMissingOne();
    void listNumbersLookAlike_data();
    void listNumbersLookAlike();

private:
    QString manual() const { return m_dir.path() + QStringLiteral("/HELP/System/EN/Manual.html"); }
    void write(const QString &relative, const QByteArray &bytes);
    // Clicks the link whose text is text, as a user would.
    void clickLink(HelpView &view, const QString &text);

    QTemporaryDir m_dir;
    QString m_savedDir;
    UrlCatcher m_catcher;
};

void TestHelpView::write(const QString &relative, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(relative);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestHelpView::initTestCase()
{
    QVERIFY(m_dir.isValid());
    write(QStringLiteral("HELP/System/EN/Manual.html"),
          "<html><head><meta charset=\"utf-8\"></head><body><p>Manual body \xC5\x81\xC3\xB3" "d\xC5\xBA</p>"
          "<img src=\"../../Img/Panel.PNG\">"
          "<p><a href=\"OTHER.html\">Other page</a> <a href=\"gone.html\">Gone page</a> "
          "<a href=\"https://example.com/unit\">Maker site</a> <a href=\"mailto:service@example.com\">Mail us</a></p>"
          "</body></html>");
    write(QStringLiteral("HELP/System/EN/other.html"), "<html><body><p>Second page</p></body></html>");
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("HELP/img"))));
    QVERIFY(picture.save(m_dir.filePath(QStringLiteral("HELP/img/panel.png"))));

    m_savedDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    for (const char *scheme : {"http", "https", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_catcher, "open");
}

void TestHelpView::cleanupTestCase()
{
    for (const char *scheme : {"http", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    QDir::setCurrent(m_savedDir);
}

void TestHelpView::shows_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shown"); // a part of the text shown; "" means the address itself

    const QString cwd = QDir::currentPath();
    QTest::newRow("working directory + page") << cwd + "/HELP/System/EN/Manual.html" << "Manual body Łódź";
    QTest::newRow("page in another letter case") << cwd + "/help/SYSTEM/en/manual.HTML" << "Manual body";
    QTest::newRow("leading slash is below the working directory") << "/Help/System/EN/Manual.html" << "Manual body";
    QTest::newRow("file URL") << QUrl::fromLocalFile(cwd + "/HELP/System/EN/Manual.html").toString() << "Manual body";
    QTest::newRow("missing page") << cwd + "/HELP/System/EN/Missing.html" << "";
    QTest::newRow("missing folder") << cwd + "/HELP/System/XX/Manual.html" << "";
    QTest::newRow("a folder is no page") << cwd << "";
}

void TestHelpView::shows()
{
    QFETCH(QString, address);
    QFETCH(QString, shown);
    HelpView view;
    view.navigate(address);
    if (shown.isEmpty())
        QCOMPARE(view.toPlainText(), address);
    else
        QVERIFY2(view.toPlainText().contains(shown), qPrintable(view.toPlainText()));
}

void TestHelpView::pictureInAnotherCase()
{
    HelpView view;
    view.navigate(manual());
    const QVariant data = view.document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("../../Img/Panel.PNG")));
    QCOMPARE(data.value<QPixmap>().size(), QSize(7, 5));
}

void TestHelpView::clickLink(HelpView &view, const QString &text)
{
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QTextCursor found = view.document()->find(text);
    QVERIFY2(!found.isNull(), qPrintable(text));
    QTextCursor middle(view.document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    const QPoint at = view.cursorRect(middle).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void TestHelpView::links_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("shown");  // part of the text shown afterwards
    QTest::addColumn<QString>("opened"); // the address handed to the system, "" for none

    QTest::newRow("page in another letter case") << "Other page" << "Second page" << "";
    QTest::newRow("missing page shows its path") << "Gone page" << "HELP/System/EN/gone.html" << "";
    QTest::newRow("web link opens outside") << "Maker site" << "Manual body" << "https://example.com/unit";
    QTest::newRow("mail link opens outside") << "Mail us" << "Manual body" << "mailto:service@example.com";
}

void TestHelpView::links()
{
    QFETCH(QString, link);
    QFETCH(QString, shown);
    QFETCH(QString, opened);
    HelpView view;
    view.navigate(manual());
    clickLink(view, link);
    QVERIFY2(view.toPlainText().contains(shown), qPrintable(view.toPlainText()));
    QCOMPARE(m_catcher.opened, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
}

void TestHelpView::webAddressIsALink()
{
    HelpView view;
    const QString address = QStringLiteral("HTTP://Example.com/manual?unit=65&lang=en");
    view.navigate(address);
    QVERIFY(view.toPlainText().contains(QStringLiteral("example.com/manual?unit=65&lang=en")));
    QVERIFY(view.loadResource(QTextDocument::HtmlResource, QUrl(address)).isNull());
    QVERIFY(m_catcher.opened.isEmpty());
    clickLink(view, QStringLiteral("manual"));
    QCOMPARE(m_catcher.opened, QList<QUrl>{QUrl(address)});
}

void TestHelpView::pageAgainAfterAMissingOne()
{
    HelpView view;
    view.navigate(manual());
    view.navigate(m_dir.path() + QStringLiteral("/nothing.html"));
    view.navigate(manual());
    QVERIFY(view.toPlainText().contains(QStringLiteral("Manual body")));
}

// A page's first list item as the browser draws it: its number (the first line left of the text)
// and the rest of the first line.
struct DrawnItem {
    QImage number, text;
};

static DrawnItem drawFirstItem(QTextBrowser &view)
{
    QTextDocument *page = view.document();
    page->setTextWidth(400);
    QImage image(400, int(page->size().height()) + 1, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    page->drawContents(&painter);
    painter.end();
    QTextBlock item = page->begin();
    while (item.isValid() && !item.textList())
        item = item.next();
    if (!item.isValid())
        return DrawnItem();
    const QRect line = item.layout()->lineAt(0).naturalTextRect().translated(item.layout()->position()).toAlignedRect();
    return DrawnItem{image.copy(0, line.top(), line.left(), line.height()),
                     image.copy(line.left(), line.top(), image.width() - line.left(), line.height())};
}

void TestHelpView::listNumbersLookAlike_data()
{
    QTest::addColumn<QString>("item");
    QTest::newRow("bold first word") << "<b>Scan</b> lists the ports";
    QTest::newRow("italic first word") << "<i>Scan</i> lists the ports";
    QTest::newRow("link first") << "<a href=\"other.html\">Scan</a> lists the ports";
}

// An item's number looks the same whatever the item's first word looks like, and the item's text
// as it would without that care.
void TestHelpView::listNumbersLookAlike()
{
    QFETCH(QString, item);
    const auto page = [](const QString &text) {
        return QStringLiteral("<html><body style=\"font-family: sans-serif; font-size: 10pt;\"><ol><li>%1</li></ol>"
                              "</body></html>").arg(text).toUtf8();
    };
    write(QStringLiteral("HELP/List/plain.html"), page(QStringLiteral("Scan lists the ports")));
    write(QStringLiteral("HELP/List/item.html"), page(item));
    const QString itemPage = m_dir.filePath(QStringLiteral("HELP/List/item.html"));
    HelpView plain, view;
    plain.navigate(m_dir.filePath(QStringLiteral("HELP/List/plain.html")));
    view.navigate(itemPage);
    QTextBrowser bare;
    bare.setSource(QUrl::fromLocalFile(itemPage));

    const DrawnItem expected = drawFirstItem(plain), shown = drawFirstItem(view), bareItem = drawFirstItem(bare);
    QImage blank(expected.number.size(), expected.number.format());
    blank.fill(Qt::white);
    QVERIFY(expected.number.width() > 10);
    QVERIFY(expected.number != blank);
    QCOMPARE(shown.number, expected.number);
    QCOMPARE(shown.text, bareItem.text);
}

QTEST_MAIN(TestHelpView)
#include "tst_helpview.moc"
