#include "editordelegate.h"
#include "tablefixtures.h"

#include <QAbstractItemDelegate>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QValidator>
#include <QtTest>

// The table cell write-back (every edit into the image at once, names when asked) and the column
// editors.
class TestTableWriteBack : public QObject
{
    Q_OBJECT
private slots:
    void writeBack_data();
    void writeBack();
    void namesOnlyWhenAsked();
    void validators_data();
    void validators();
    void validatorGoesWithItsEditor();
    void unchangedCommit();
    void comboColumnsPaintOnly();
    void selectedCellColours();
};

void TestTableWriteBack::writeBack_data()
{
    QTest::addColumn<QString>("kind");
    // Edits in order, "row:column=text" separated by ";".
    QTest::addColumn<QString>("edits");
    QTest::addColumn<QStringList>("bytes"); // changed bytes, "address:value"
    QTest::addColumn<QStringList>("cells"); // "row:column=text"
    QTest::addColumn<int>("warnings");

    // Key slots: code word at 2048 + 2 × slot, flat byte at 4096 + slot.
    QTest::newRow("flat of a key") << "keys3" << "5:2=7" << QStringList{"4101:07"} << QStringList{"5:2=7", "5:1=1A2B"} << 0;
    QTest::newRow("special flat") << "keys3" << "5:2=300" << QStringList{"4101:F1"} << QStringList{"5:2=300"} << 0;
    QTest::newRow("code into a free slot") << "keys3" << "2:1=abcd" << QStringList{"2052:AB", "2053:CD", "4098:00"}
                                           << QStringList{"2:1=ABCD", "2:2=-----"} << 0;
    QTest::newRow("lower case code") << "keys3" << "5:1=3ba1" << QStringList{"2058:3B", "2059:A1"} << QStringList{"5:1=3BA1", "5:2=12"} << 0;
    QTest::newRow("flat emptied: key without flat") << "keys3" << "5:2=-----" << QStringList{"4101:00"}
                                                    << QStringList{"5:1=1A2B", "5:2=-----"} << 0;
    QTest::newRow("key without flat takes a flat") << "keys3" << "3:2=5" << QStringList{"4099:05"} << QStringList{"3:2=5"} << 0;
    QTest::newRow("code of a key without flat") << "keys3" << "3:1=4321" << QStringList{"2054:43", "2055:21"}
                                                << QStringList{"3:1=4321", "3:2=-----"} << 0;
    QTest::newRow("unserviced flat: e, flat byte 0") << "keys3" << "5:2=999" << QStringList{"4101:00"}
                                                     << QStringList{"5:2=e", "5:1=1A2B"} << 1;
    QTest::newRow("flat 0 is no flat number") << "keys3" << "5:2=0" << QStringList{"4101:00"} << QStringList{"5:2=e"} << 1;
    QTest::newRow("code after an unserviced flat") << "keys3" << "5:2=999;5:1=aaaa" << QStringList{"2058:AA", "2059:AA", "4101:00"}
                                                   << QStringList{"5:2=e", "5:1=AAAA"} << 1;
    QTest::newRow("flat typed into a free slot waits") << "keys3" << "2:2=12" << QStringList{}
                                                       << QStringList{"2:1=-----", "2:2=12"} << 0;
    QTest::newRow("then its code writes both") << "keys3" << "2:2=12;2:1=1234" << QStringList{"2052:12", "2053:34", "4098:0C"}
                                               << QStringList{"2:1=1234", "2:2=12"} << 0;
    // A new code keeps the key's flat byte, serviced or not.
    QTest::newRow("code of a key whose flat is no longer serviced")
        << "keys3" << "6:1=BEEF" << QStringList{"2060:BE", "2061:EF"} << QStringList{"6:1=BEEF", "6:2=200"} << 0;
    QTest::newRow("code of a key whose flat has no number") << "keys3" << "4:1=BEEF" << QStringList{"2056:BE", "2057:EF"}
                                                            << QStringList{"4:2=-1"} << 0;
    QTest::newRow("flat of a key above FlatMax, edited") << "keys3" << "6:2=150" << QStringList{"4102:00"}
                                                         << QStringList{"6:2=e"} << 1;
    // An emptied code empties the slot: the fob must no longer open the door.
    QTest::newRow("code emptied removes the key") << "keys3" << "5:1=-----" << QStringList{"2058:00", "2059:00", "4101:FF"}
                                                  << QStringList{"5:1=-----", "5:2=-----"} << 0;
    QTest::newRow("code of a key without flat emptied") << "keys3" << "3:1=-----" << QStringList{"2054:00", "2055:00", "4099:FF"}
                                                        << QStringList{"3:2=-----"} << 0;

    QTest::newRow("2 columns: code") << "keys2" << "1:1=abcd" << QStringList{"2050:AB", "2051:CD"} << QStringList{"1:1=ABCD"} << 0;
    QTest::newRow("2 columns: emptied") << "keys2" << "1:1=-----" << QStringList{"2050:00", "2051:00"} << QStringList{"1:1=-----"} << 0;

    // Lock codes: word at 0x200 + 2 × flat, flat 1 in row 0.
    QTest::newRow("lock code") << "locks" << "0:2=12" << QStringList{"514:00", "515:0C"} << QStringList{"0:2=0012"} << 0;
    QTest::newRow("lock code of a free flat") << "locks" << "3:2=9999" << QStringList{"520:27", "521:0F"} << QStringList{"3:2=9999"} << 0;
    QTest::newRow("lock code not a number") << "locks" << "0:2=abc" << QStringList{"514:00", "515:00"} << QStringList{"0:2=0000"} << 0;

    // Name records: 32 bytes from 0x1400; flat word at +28, block byte at +30.
    QTest::newRow("name-table flat") << "names" << "1:2=300" << QStringList{"5180:01", "5181:2C"} << QStringList{"1:2=300"} << 0;
    QTest::newRow("block number") << "names" << "1:3=7" << QStringList{"5182:07"} << QStringList{"1:3=7"} << 0;
    QTest::newRow("name waits") << "names" << "1:1=Bob" << QStringList{} << QStringList{"1:1=Bob"} << 0;
}

void TestTableWriteBack::writeBack()
{
    QFETCH(QString, kind);
    QFETCH(QString, edits);
    QFETCH(QStringList, bytes);
    QFETCH(QStringList, cells);
    QFETCH(int, warnings);
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, kind);
    MessageBoxAnswerer answerer;
    for (const QString &edit : edits.split(QLatin1Char(';'))) {
        const QString position = edit.section(QLatin1Char('='), 0, 0);
        rig.edit(position.section(':', 0, 0).toInt(), position.section(':', 1).toInt(), edit.section(QLatin1Char('='), 1));
    }
    QCOMPARE(changedByteTexts(rig), bytes);
    for (const QString &cell : cells) {
        const QString position = cell.section(QLatin1Char('='), 0, 0);
        QCOMPARE(rig.text(position.section(':', 0, 0).toInt(), position.section(':', 1).toInt()), cell.section(QLatin1Char('='), 1));
    }
    QCOMPARE(answerer.texts.size(), warnings);
    for (const QString &text : answerer.texts)
        QCOMPARE(text, QStringLiteral("Unserviced flat!"));
}

void TestTableWriteBack::namesOnlyWhenAsked()
{
    Fixture files;
    TableRig rig;
    Page *page = TableFixtures::build(rig, files, "names");
    QCOMPARE(rig.text(1, 1), QStringLiteral("     Anna     "));
    rig.edit(1, 1, QStringLiteral("Bob"));
    rig.edit(4, 1, QStringLiteral("Żaneta Kowalska")); // cut to the 14 characters of the field
    QCOMPARE(rig.changedBytes(), QList<int>());

    // Not on the other kinds of table.
    TableRig keys;
    Page *keyPage = TableFixtures::build(keys, files, "keys3");
    keyPage->saveTMTable();
    QCOMPARE(keys.changedBytes(), QList<int>());

    page->saveTMTable();
    const auto field = [&rig](int record) {
        QString text;
        for (int i = 0; i < 14; ++i)
            text += QChar(rig.byte(0x1400 + 32 * record + 2 * i) | rig.byte(0x1400 + 32 * record + 2 * i + 1) << 8);
        return text;
    };
    QCOMPARE(field(1), QStringLiteral("     Bob      "));
    QCOMPARE(field(4), QStringLiteral("Żaneta Kowalsk"));
    // Only the name fields: flat and block words stay.
    for (int address : rig.changedBytes())
        QVERIFY2((address - 0x1400) % 32 < 28, qPrintable(QString::number(address)));
}

void TestTableWriteBack::validators_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("key code FFFF") << "keys3" << 1 << "FFFF" << true;
    QTest::newRow("key code 10000") << "keys3" << 1 << "10000" << false;
    QTest::newRow("key code empty cell") << "keys3" << 1 << "-----" << true;
    QTest::newRow("flat 9999") << "keys3" << 2 << "9999" << true;
    QTest::newRow("flat 10000") << "keys3" << 2 << "10000" << false;
    QTest::newRow("lock code 9999") << "locks" << 2 << "9999" << true;
    QTest::newRow("lock code 10000") << "locks" << 2 << "10000" << false;
    QTest::newRow("lock code letters") << "locks" << 2 << "12a" << false;
    QTest::newRow("block number 99") << "names" << 3 << "99" << true;
    QTest::newRow("block number 100") << "names" << 3 << "100" << false;
}

void TestTableWriteBack::validators()
{
    QFETCH(QString, kind);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, acceptable);
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, kind);
    MyTableWidget *grid = rig.grid();
    const QModelIndex index = grid->model()->index(1, column);
    QStyleOptionViewItem option;
    std::unique_ptr<QWidget> editor(grid->itemDelegateForColumn(column)->createEditor(grid->viewport(), option, index));
    auto *line = qobject_cast<QLineEdit *>(editor.get());
    QVERIFY(line);
    QVERIFY(!line->hasFrame());
    QVERIFY(line->validator());
    int pos = 0;
    QCOMPARE(line->validator()->validate(text, pos) == QValidator::Acceptable, acceptable);
}

void TestTableWriteBack::validatorGoesWithItsEditor()
{
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, "names");
    MyTableWidget *grid = rig.grid();
    QStyleOptionViewItem option;
    // The name column limits the length and has no validator.
    std::unique_ptr<QWidget> name(grid->itemDelegateForColumn(1)->createEditor(grid->viewport(), option, grid->model()->index(0, 1)));
    QCOMPARE(qobject_cast<QLineEdit *>(name.get())->maxLength(), 14);
    QVERIFY(!qobject_cast<QLineEdit *>(name.get())->validator());
    name.reset();
    // Every edit makes one editor with one validator; both go when the edit ends.
    for (int i = 0; i < 5; ++i) {
        std::unique_ptr<QWidget> flat(grid->itemDelegateForColumn(2)->createEditor(grid->viewport(), option, grid->model()->index(i, 2)));
        QCOMPARE(qobject_cast<QLineEdit *>(flat.get())->validator()->parent(), flat.get());
    }
    QCOMPARE(grid->viewport()->findChildren<QValidator *>().size(), 0);
}

void TestTableWriteBack::unchangedCommit()
{
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, "keys3");
    QVERIFY(showActive(&rig.main.window));
    MyTableWidget *grid = rig.grid();
    const QModelIndex index = grid->model()->index(5, 2);
    grid->setCurrentIndex(index);
    grid->edit(index);
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(index) ? grid->indexWidget(index) : QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("12"));
    QTest::keyClick(editor, Qt::Key_Return); // the editor commits once control is back in the event loop
    QTRY_VERIFY(dataModified);
    QCOMPARE(rig.changedBytes(), QList<int>());
    QCOMPARE(rig.text(5, 2), QStringLiteral("12"));

    // A changed commit through the editor writes at once.
    dataModified = false;
    grid->edit(index);
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("77"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(dataModified);
    QCOMPARE(changedByteTexts(rig), QStringList{"4101:4D"});
}

void TestTableWriteBack::comboColumnsPaintOnly()
{
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, "locks");
    QAbstractItemDelegate *delegate = rig.grid()->itemDelegateForColumn(3);
    QVERIFY(qobject_cast<EditorDelegate *>(delegate));
    QStyleOptionViewItem option;
    QVERIFY(!delegate->createEditor(rig.grid()->viewport(), option, rig.grid()->model()->index(0, 3)));
    rig.grid()->edit(rig.grid()->model()->index(0, 3));
    QVERIFY(!rig.grid()->isPersistentEditorOpen(rig.grid()->model()->index(0, 3)));
    QCOMPARE(rig.grid()->viewport()->findChildren<QLineEdit *>().size(), 0);
}

// Counts the pixels of exactly one colour in a cell of the rendered grid.
static int pixelsOf(const QImage &image, const QRect &cell, const QColor &colour)
{
    int count = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

void TestTableWriteBack::selectedCellColours()
{
    Fixture files;
    TableRig rig;
    TableFixtures::build(rig, files, "keys3");
    QVERIFY(rig.main.show());
    rig.edit(6, 1, QStringLiteral("BEEF")); // now in its changed colour, red
    QCOMPARE(rig.cell(6, 1)->foreground().color(), QColor(Qt::red));
    MyTableWidget *grid = rig.grid();
    rig.select("5:1-6:1");
    const QImage image = grid->viewport()->grab().toImage();
    const QRect unchanged = grid->visualRect(grid->model()->index(5, 1));
    const QRect changed = grid->visualRect(grid->model()->index(6, 1));
    QVERIFY(pixelsOf(image, unchanged, Qt::black) > 10);
    QCOMPARE(pixelsOf(image, unchanged, Qt::red), 0);
    QVERIFY(pixelsOf(image, changed, Qt::red) > 10);
    QCOMPARE(pixelsOf(image, changed, Qt::black), 0);
}

QTEST_MAIN(TestTableWriteBack)
#include "tst_tablewriteback.moc"
