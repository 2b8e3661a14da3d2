#include "itemdelegate.h"
#include "mytreeview.h"
#include "pagefixture.h"

#include <QStandardItemModel>
#include <QtTest>

namespace {

// A tree of three head rows with 2, 0 and 3 lines, as a tree page's model has it.
struct ViewFixture {
    QWidget window;
    MyTreeView *tree;
    QStandardItemModel model;
    ItemDelegate delegate;
    SignalLog log;

    ViewFixture()
    {
        window.resize(400, 300);
        tree = new MyTreeView(&window);
        tree->setGeometry(0, 0, 400, 300);
        tree->setItemDelegate(&delegate);
        tree->setHeaderHidden(true);
        const int lines[] = {2, 0, 3};
        model.insertRows(0, 3);
        model.insertColumns(0, 1);
        for (int h = 0; h < 3; ++h) {
            const QModelIndex head = model.index(h, 0);
            model.insertRows(0, lines[h], head);
            model.insertColumns(0, 1, head);
        }
        tree->setModel(&model);
        log.watch(tree, qOverload<int, int>(&MyTreeView::currentIndex), "currentIndex");
        log.watch(tree, &MyTreeView::enterCurrentIndex, "enterCurrentIndex");
        log.watch(tree, &MyTreeView::mousePressed, "mousePressed");
        log.watch(tree, &MyTreeView::mouseDoubleClicked, "mouseDoubleClicked");
        log.watch(tree, &MyTreeView::control_Tab, "control_Tab");
    }

    // "h" for head row h, "h/c" for child row c of head row h, "" for none.
    QModelIndex index(const QString &position) const
    {
        if (position.isEmpty())
            return QModelIndex();
        const QStringList parts = position.split(QLatin1Char('/'));
        const QModelIndex head = model.index(parts[0].toInt(), 0);
        return parts.size() == 1 ? head : model.index(parts[1].toInt(), 0, head);
    }

    QString current() const
    {
        const QModelIndex i = tree->currentIndex();
        if (!i.isValid())
            return QString();
        return i.parent().isValid() ? QStringLiteral("%1/%2").arg(i.parent().row()).arg(i.row()) : QString::number(i.row());
    }

    QString expanded() const
    {
        QString heads;
        for (int h = 0; h < 3; ++h)
            heads += tree->isExpanded(model.index(h, 0)) ? QLatin1Char('+') : QLatin1Char('-');
        return heads;
    }

    void setUp(const QString &expandedHeads, const QString &currentPosition)
    {
        for (int h = 0; h < 3; ++h)
            tree->setExpanded(model.index(h, 0), expandedHeads.at(h) == QLatin1Char('+'));
        tree->setCurrentIndex(index(currentPosition));
        log.take();
    }
};

}

class TestTreeView : public QObject
{
    Q_OBJECT
private slots:
    void construction();
    void keys_data();
    void keys();
    void clicks_data();
    void clicks();
    void rowHeight();
};

void TestTreeView::construction()
{
    MyTreeView tree(nullptr);
    QCOMPARE(tree.currentChildRow(), 0);
    QCOMPARE(tree.currentParentRow(), 0);
    QCOMPARE(MyTreeView::HeadRow, 1000);
}

void TestTreeView::keys_data()
{
    QTest::addColumn<QString>("expandedBefore");
    QTest::addColumn<QString>("currentBefore");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("signals_");
    QTest::addColumn<QString>("expandedAfter");
    QTest::addColumn<QString>("currentAfter");
    const int none = Qt::NoModifier;
    const QStringList silent;

    QTest::newRow("Down to the next head row") << "---" << "0" << int(Qt::Key_Down) << none
                                               << QStringList{"currentIndex(1000,1)"} << "---" << "1";
    QTest::newRow("Down into a group") << "+--" << "0" << int(Qt::Key_Down) << none
                                       << QStringList{"currentIndex(0,0)"} << "+--" << "0/0";
    QTest::newRow("Down from a line to the next head") << "+--" << "0/1" << int(Qt::Key_Down) << none
                                                       << QStringList{"currentIndex(1000,1)"} << "+--" << "1";
    QTest::newRow("Up to a line") << "+-+" << "2" << int(Qt::Key_Up) << none
                                  << silent << "+-+" << "1";
    QTest::newRow("Up within a group") << "--+" << "2/2" << int(Qt::Key_Up) << none
                                       << QStringList{"currentIndex(1,2)"} << "--+" << "2/1";
    QTest::newRow("Up onto a head row is silent") << "+--" << "0/0" << int(Qt::Key_Up) << none
                                                  << silent << "+--" << "0";
    QTest::newRow("Up from the last line of a group onto its previous head") << "++-" << "1" << int(Qt::Key_Up) << none
                                                                             << QStringList{"currentIndex(1,0)"} << "++-" << "0/1";
    QTest::newRow("Right opens a group") << "---" << "0" << int(Qt::Key_Right) << none
                                         << silent << "+--" << "0";
    QTest::newRow("Right on an open group stays") << "+--" << "0" << int(Qt::Key_Right) << none
                                                  << silent << "+--" << "0";
    QTest::newRow("Right on a head without lines") << "---" << "1" << int(Qt::Key_Right) << none
                                                   << silent << "---" << "1";
    QTest::newRow("Right on a line") << "--+" << "2/0" << int(Qt::Key_Right) << none
                                     << silent << "--+" << "2/0";
    QTest::newRow("Left closes a group") << "+--" << "0" << int(Qt::Key_Left) << none
                                         << silent << "---" << "0";
    QTest::newRow("Left on a closed group") << "---" << "0" << int(Qt::Key_Left) << none
                                            << silent << "---" << "0";
    QTest::newRow("Left on a line stays on it") << "+--" << "0/1" << int(Qt::Key_Left) << none
                                                << silent << "+--" << "0/1";
    QTest::newRow("Return opens a group") << "---" << "2" << int(Qt::Key_Return) << none
                                          << QStringList{"enterCurrentIndex(1000,2)"} << "--+" << "2";
    QTest::newRow("Return closes a group") << "+--" << "0" << int(Qt::Key_Return) << none
                                           << QStringList{"enterCurrentIndex(1000,0)"} << "---" << "0";
    QTest::newRow("Return on a head without lines") << "---" << "1" << int(Qt::Key_Return) << none
                                                    << QStringList{"enterCurrentIndex(1000,1)"} << "---" << "1";
    QTest::newRow("Return on a line") << "--+" << "2/1" << int(Qt::Key_Return) << none
                                      << QStringList{"enterCurrentIndex(1,2)"} << "--+" << "2/1";
    QTest::newRow("Return without a current item") << "---" << "" << int(Qt::Key_Return) << none
                                                   << QStringList{"enterCurrentIndex(1000,-1)"} << "---" << "";
    QTest::newRow("keypad Enter is silent") << "---" << "0" << int(Qt::Key_Enter) << int(Qt::KeypadModifier)
                                            << silent << "---" << "0";
    QTest::newRow("Ctrl+Tab") << "+--" << "0/1" << int(Qt::Key_Tab) << int(Qt::ControlModifier)
                              << QStringList{"control_Tab(\"tree\")"} << "+--" << "0/1";
    QTest::newRow("Tab alone") << "+--" << "0/1" << int(Qt::Key_Tab) << none << silent << "+--" << "0/1";
}

void TestTreeView::keys()
{
    QFETCH(QString, expandedBefore);
    QFETCH(QString, currentBefore);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, signals_);
    QFETCH(QString, expandedAfter);
    QFETCH(QString, currentAfter);

    ViewFixture f;
    QVERIFY(showActive(&f.window));
    f.tree->setFocus();
    f.setUp(expandedBefore, currentBefore);
    QTest::keyClick(f.tree, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.log.take(), signals_);
    QCOMPARE(f.expanded(), expandedAfter);
    QCOMPARE(f.current(), currentAfter);
}

void TestTreeView::clicks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<QStringList>("signals_");

    QTest::newRow("head row") << "1" << false << QStringList{"currentIndex(1000,1)", "mousePressed()"};
    QTest::newRow("line row") << "2/2" << false << QStringList{"currentIndex(2,2)", "mousePressed()"};
    QTest::newRow("double click on a line")
        << "0/1" << true
        << QStringList{"currentIndex(1,0)", "mousePressed()", "mouseDoubleClicked(1,0)"};
}

void TestTreeView::clicks()
{
    QFETCH(QString, target);
    QFETCH(bool, doubleClick);
    QFETCH(QStringList, signals_);

    ViewFixture f;
    QVERIFY(showActive(&f.window));
    f.setUp(QStringLiteral("+-+"), QString());
    const QPoint at = f.tree->visualRect(f.index(target)).center();
    if (doubleClick)
        QTest::mouseDClick(f.tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    else
        QTest::mouseClick(f.tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QStringList got = f.log.take();
    got.removeDuplicates(); // a double click is a press, a release and a double click
    QCOMPARE(got, signals_);
    QCOMPARE(f.current(), target);
}

void TestTreeView::rowHeight()
{
    ViewFixture f;
    QVERIFY(showActive(&f.window));
    f.setUp(QStringLiteral("+++"), QString());
    QCOMPARE(f.tree->visualRect(f.index(QStringLiteral("0"))).height(), 25);
    QCOMPARE(f.tree->visualRect(f.index(QStringLiteral("2/1"))).height(), 25);
}

QTEST_MAIN(TestTreeView)
#include "tst_treeview.moc"
