#include "keypanelfixture.h"

#include <QAction>
#include <QMenu>
#include <QtTest>

using Slots = QList<KeyPanelFixture::Slot>;
Q_DECLARE_METATYPE(Slots)

// The find functions of the key table and the found list: what a search lists, where a listed
// position leads, and its Delete.
class TestFindList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void findDuplicates_data();
    void findDuplicates();
    void findFlat_data();
    void findFlat();
    void findFlatFromTable();
    void goToPosition();
    void deletePosition();
    void noStaleCellActedOn();
    void menuKeyShowsNothing();

private:
    // The found list as rows of texts, and its column widths and row heights.
    static QStringList listed(MyTableWidget *list);
    static QList<int> widths(MyTableWidget *list);
    static QList<int> heights(MyTableWidget *list);
};

QStringList TestFindList::listed(MyTableWidget *list)
{
    QStringList rows;
    for (int r = 0; r < list->rowCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < list->columnCount(); ++c)
            texts << (list->item(r, c) ? list->item(r, c)->text() : QStringLiteral("<none>"));
        rows << texts.join(QLatin1Char(' '));
    }
    return rows;
}

QList<int> TestFindList::widths(MyTableWidget *list)
{
    QList<int> w;
    for (int c = 0; c < list->columnCount(); ++c)
        w << list->columnWidth(c);
    return w;
}

QList<int> TestFindList::heights(MyTableWidget *list)
{
    QList<int> h;
    for (int r = 0; r < list->rowCount(); ++r)
        h << list->rowHeight(r);
    return h;
}

void TestFindList::initTestCase()
{
    QVERIFY(QDir::setCurrent(QStringLiteral(TKV_DATA_ROOT)));
}

void TestFindList::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFindList::findDuplicates_data()
{
    QTest::addColumn<Slots>("keys");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("widths");

    // keys3 holds 3333, 4444, 1A2B and 6666 at 3 to 6, once each.
    QTest::newRow("no duplicates") << Slots{} << QStringList{} << QList<int>{};
    QTest::newRow("one pair") << Slots{{9, 0x1A2B, 1}} << QStringList{"5 9"} << QList<int>{40, 40};
    QTest::newRow("three beside two")
        << Slots{{2, 0x1111, 1}, {9, 0x2222, 1}, {12, 0x1111, 1}, {20, 0x2222, 1}, {25, 0x1111, 1}}
        << QStringList{"2 12 25", "9 20 -----"} << QList<int>{40, 40, 40};
    QTest::newRow("the last position joins a group") << Slots{{31, 0x6666, 1}} << QStringList{"6 31"} << QList<int>{40, 40};
    // A free position holds no code: the key 0000 groups only with itself.
    QTest::newRow("0000 and free positions") << Slots{{8, 0x0000, 1}} << QStringList{} << QList<int>{};
    QTest::newRow("0000 twice") << Slots{{8, 0x0000, 1}, {10, 0x0000, 0}} << QStringList{"8 10"} << QList<int>{40, 40};
}

void TestFindList::findDuplicates()
{
    QFETCH(Slots, keys);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, widths);
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image(keys));
    MyTableWidget *list = page->foundList();
    QVERIFY(list);
    QVERIFY(!list->isEnabled());

    // Through the panel's button, as the user starts it.
    KeyPanelFixture::button(page, 6)->click();
    QCOMPARE(listed(list), rows);
    QCOMPARE(TestFindList::widths(list), widths);
    QCOMPARE(heights(list), QVector<int>(rows.size(), 20).toList());
    QCOMPARE(list->isEnabled(), !rows.isEmpty());
    QVERIFY(rig.changedBytes().isEmpty());
}

void TestFindList::findFlat_data()
{
    QTest::addColumn<QString>("flat");
    QTest::addColumn<QString>("row");

    // keys3: 1A2B at 5 for flat 12, 3333 at 3 without a flat; here also ABCD at 9 for flat 12.
    QTest::newRow("two positions") << "12" << "5 9";
    QTest::newRow("compared as text") << "012" << "";
    QTest::newRow("no match") << "77" << "";
    QTest::newRow("empty flats") << "-----" << "0 1 2 3 7 8 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31";
}

void TestFindList::findFlat()
{
    QFETCH(QString, flat);
    QFETCH(QString, row);
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image({{9, 0xABCD, 12}}));
    MyTableWidget *list = page->foundList();
    // An earlier result first: a search that finds nothing must not leave it behind.
    page->findDuplicates();
    KeyPanelFixture::field(page, 5)->setText(QStringLiteral("12"));
    KeyPanelFixture::button(page, 4)->click();
    list->setCurrentCell(0, 1);

    KeyPanelFixture::field(page, 5)->setText(flat);
    KeyPanelFixture::button(page, 4)->click();
    QCOMPARE(listed(list), row.isEmpty() ? QStringList() : QStringList{row});
    QCOMPARE(list->isEnabled(), !row.isEmpty());
    QVERIFY(!list->currentItem());
    const int count = row.isEmpty() ? 0 : row.split(QLatin1Char(' ')).size();
    QCOMPARE(widths(list), QVector<int>(count, 40).toList());
}

void TestFindList::findFlatFromTable()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image({{9, 0xABCD, 12}}));
    MyTableWidget *list = page->foundList();

    page->findFlatFromTab(); // no current cell
    QCOMPARE(KeyPanelFixture::field(page, 5)->text(), QString());

    rig.grid()->setCurrentCell(5, 0);
    page->findFlatFromTab();
    QCOMPARE(KeyPanelFixture::field(page, 5)->text(), QStringLiteral("12"));
    QCOMPARE(listed(list), QStringList{"5 9"});

    // A free position's flat is shown and not searched: the list keeps its result.
    rig.grid()->setCurrentCell(1, 2);
    page->findFlatFromTab();
    QCOMPARE(KeyPanelFixture::field(page, 5)->text(), QStringLiteral("-----"));
    QCOMPARE(listed(list), QStringList{"5 9"});
}

void TestFindList::goToPosition()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image({{29, 0x1A2B, 12}}));
    MyTableWidget *list = page->foundList();
    page->findDuplicates();
    QCOMPARE(listed(list), QStringList{"5 29"});

    for (int pass = 0; pass < 2; ++pass) {
        emit list->itemPressed(list->item(0, 1));
        QCOMPARE(rig.grid()->currentIndex(), rig.grid()->model()->index(29, 1));
        QCOMPARE(KeyPanelFixture::selectedRows(rig), QList<int>{29});
        QCOMPARE(page->markedLine(), 30);
    }
    emit list->goToCell(list->item(0, 0));
    QCOMPARE(KeyPanelFixture::selectedRows(rig), QList<int>{5});
    QCOMPARE(page->markedLine(), 6);

    // Signals without an item go nowhere and change nothing.
    emit list->itemPressed(nullptr);
    emit list->goToCell(nullptr);
    QCOMPARE(KeyPanelFixture::selectedRows(rig), QList<int>{5});
    QCOMPARE(page->markedLine(), 6);
}

void TestFindList::deletePosition()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image({{9, 0x1A2B, 7}}));
    MyTableWidget *list = page->foundList();
    page->findDuplicates();
    list->setCurrentCell(0, 1);

    page->findMouseMenu(QModelIndex(), QStringLiteral("mouse"));
    QMenu *menu = page->tableMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QAction *remove = menu->actions().first();
    QCOMPARE(remove->text(), QStringLiteral("Delete"));
    QVERIFY(remove->isEnabled());
    menu->close();

    remove->trigger();
    QCOMPARE(rig.text(9, 1), QStringLiteral("-----"));
    QCOMPARE(rig.text(9, 2), QStringLiteral("-----"));
    QCOMPARE(changedByteTexts(rig), (QStringList{"2066:00", "2067:00", "4105:FF"}));
    QCOMPARE(list->item(0, 1)->text(), QStringLiteral("-----"));
    QCOMPARE(rig.text(5, 1), QStringLiteral("1A2B"));

    // Again on the same cell: nothing more.
    const QByteArray after = rig.image.image();
    remove->trigger();
    QCOMPARE(rig.image.image(), after);
}

// A new search empties the list and its current cell: a Delete from the old menu, after a search
// that found nothing, finds nothing to act on. Find duplicates without a result leaves the list
// enabled as the earlier result made it.
void TestFindList::noStaleCellActedOn()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image({{9, 0x1A2B, 7}}));
    MyTableWidget *list = page->foundList();
    page->findDuplicates();
    list->setCurrentCell(0, 0);
    page->findMouseMenu(QModelIndex(), QStringLiteral("mouse"));
    QAction *remove = page->tableMenu()->actions().first();
    page->tableMenu()->close();

    rig.edit(9, 1, QStringLiteral("ABCD"));
    page->findDuplicates();
    QCOMPARE(listed(list), QStringList());
    QVERIFY(list->isEnabled());
    QVERIFY(!list->currentItem());
    const QByteArray before = rig.image.image();
    remove->trigger();
    QCOMPARE(rig.image.image(), before);
    QCOMPARE(rig.text(5, 1), QStringLiteral("1A2B"));
}

void TestFindList::menuKeyShowsNothing()
{
    Fixture files;
    TableRig rig;
    Page *page = KeyPanelFixture::build(rig, files, KeyPanelFixture::image({{9, 0x1A2B, 7}}));
    page->findDuplicates();
    page->findMouseMenu(QModelIndex(), QStringLiteral("key"));
    QVERIFY(!page->tableMenu());
    QVERIFY(!QApplication::activePopupWidget());
}

QTEST_MAIN(TestFindList)
#include "tst_findlist.moc"
