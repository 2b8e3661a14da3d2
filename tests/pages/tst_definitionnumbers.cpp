#include "../definitions/fixture.h"
#include "celltexts.h"
#include "modalanswerer.h"
#include "mylineedit.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "operationbin.h"
#include "pageset.h"
#include "tableline.h"
#include "treeline.h"

#include <QComboBox>
#include <QtTest>

// Page sets of the U65 definition with numbers at the ends of the int range, as a hostile or
// broken definition file gives them. Every page builds (the sanitizer build stops at the first
// overflow), the build writes nothing, edits of rows whose addresses lie outside the image write
// nothing either, and widgets still stand left to right in their rows.
class TestDefinitionNumbers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void builds_data();
    void builds();
};

void TestDefinitionNumbers::initTestCase()
{
    QVERIFY(QDir::setCurrent(dataRoot()));
}

void TestDefinitionNumbers::builds_data()
{
    QTest::addColumn<QStringList>("changes"); // pairs: a text of the definition, every place of it replaced by the next
    QTest::addColumn<int>("editedPage");      // a table page whose last row is edited, -1 none
    QTest::addColumn<QList<int>>("columns");  // the columns edited; none: every cell of the row

    const QString lockDim = QStringLiteral("SIZE=\"254\" INDEX_MIN=\"%1\"");
    QTest::newRow("lock codes from position 2,000,000,000")
        << QStringList{lockDim.arg(1), lockDim.arg(2000000000)} << 2 << QList<int>{};
    QTest::newRow("lock codes from position -2,000,000,000")
        << QStringList{lockDim.arg(1), lockDim.arg(-2000000000)} << 2 << QList<int>{};
    QTest::newRow("lock codes and special flats from the last int")
        << QStringList{lockDim.arg(1), lockDim.arg(INT_MAX), "FLAT_NR_START=\"241\"", "FLAT_NR_START=\"2147483647\""}
        << 2 << QList<int>{};
    QTest::newRow("lock codes at 2,147,483,647") << QStringList{"TABADDR=\"0x0200\"", "TABADDR=\"2147483647\""} << 2
                                         << QList<int>{2};
    QTest::newRow("flat options at 2,147,483,647") << QStringList{"TABADDR=\"1536:0-2\"", "TABADDR=\"2147483647:0-2\""}
                                                   << 2 << QList<int>{3, 4, 5, 6, 7, 8};
    QTest::newRow("key slots from the last int")
        << QStringList{"SIZE=\"1024\" INDEX_MIN=\"0\"", "SIZE=\"1024\" INDEX_MIN=\"2147483647\""} << 3 << QList<int>{};
    QTest::newRow("names from position 100,000,000")
        << QStringList{"SIZE=\"96\" INDEX_MIN=\"0\"", "SIZE=\"96\" INDEX_MIN=\"100000000\""} << 4 << QList<int>{};
    QTest::newRow("name records of 2,147,483,647 bytes") << QStringList{"VTYPE=\"32/28/2/\"", "VTYPE=\"2147483647/28/2/\""}
                                                         << 4 << QList<int>{};
    QTest::newRow("tree widths of 2,000,000,000")
        << QStringList{"WIDTH=\"40\"", "WIDTH=\"2000000000\"", "WIDTH=\"340\"", "WIDTH=\"2000000000\"",
                       "WIDTH=\"120\"", "WIDTH=\"2147483647\"", "FRAME WIDTH=\"770\"", "FRAME WIDTH=\"2000000000\""}
        << -1 << QList<int>{};
    QTest::newRow("key reader box of width 2,147,483,647")
        << QStringList{"W=\"510\" H=\"305\"", "W=\"2147483647\" H=\"305\"", "HORIZ_MARG=\"350\" VERT_MARG=\"30\"",
                       "HORIZ_MARG=\"2147483647\" VERT_MARG=\"-2147483648\""}
        << -1 << QList<int>{};
    QTest::newRow("table columns of width 2,147,483,647")
        << QStringList{"TEXTH WIDTH=\"45\"", "TEXTH WIDTH=\"2147483647\"", "TEXTH WIDTH=\"90\"", "TEXTH WIDTH=\"2147483647\""}
        << -1 << QList<int>{};
}

void TestDefinitionNumbers::builds()
{
    QFETCH(QStringList, changes);
    QFETCH(int, editedPage);
    QFETCH(QList<int>, columns);

    QFile shipped(sampleDefinition(QStringLiteral("U65")));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(shipped.readAll());
    for (int i = 0; i + 1 < changes.size(); i += 2) {
        QVERIFY2(text.contains(changes[i]), qPrintable(changes[i]));
        text.replace(changes[i], changes[i + 1]);
    }
    Fixture files;
    const QString path = files.write(text.toUtf8());

    ModalAnswerer answerer;
    MainWindowStandIn main;
    OperationBin image;
    image.loadFile(sampleImage(QStringLiteral("U65")));
    const QByteArray before = image.image();
    PageSet set(main, path, &image);

    QCOMPARE(set.count(), 6);
    const int rows[] = {0, 0, 254, 1024, 96, 0};
    for (int i = 2; i <= 4; ++i)
        QCOMPARE(set.page(i)->tableWidget()->rowCount(), rows[i]);
    QCOMPARE(image.image(), before);
    for (int i = 0; i < 2; ++i) {
        const Page *page = set.page(i);
        for (int h = 0; h < page->headLineCount(); ++h) {
            for (int l = 0; l <= page->lineCount(h); ++l) {
                int x = 0;
                for (const MyLineEdit *label : page->treeLine(h, l)->labels()) {
                    QVERIFY2(label->x() >= x, qPrintable(QStringLiteral("page %1, line %2.%3").arg(i).arg(h).arg(l)));
                    x = label->x();
                }
            }
        }
    }
    // The whole-column combo over the last header section, right of every other column.
    set.page(2)->selectedColumn(8);
    QComboBox *columnCombo = set.page(2)->columnCombo();
    QVERIFY(columnCombo->x() > 0);
    columnCombo->hidePopup();

    if (editedPage >= 0) {
        Page *page = set.page(editedPage);
        MyTableWidget *grid = page->tableWidget();
        const int row = grid->rowCount() - 1;
        const QHash<int, QString> values = {{CellLockCode, "1234"}, {CellKeyCode, "ABCD"}, {CellKeyFlat, "5"},
                                            {CellName, "Name"},     {CellNameFlat, "5"},    {CellBlockNumber, "1"}};
        for (MyTableWidgetItem *cell : page->lineOfRow(row)->cells()) {
            if (!columns.isEmpty() && !columns.contains(cell->column()))
                continue;
            if (cell->cellType() == CellCombo)
                cell->setCurrentIndex(1);
            else if (values.contains(cell->cellType()))
                grid->model()->setData(grid->model()->index(row, cell->column()), values[cell->cellType()], Qt::EditRole);
        }
        page->saveTMTable();
        QCOMPARE(image.image(), before);
    }
    QCOMPARE(answerer.messages.size(), 0);
}

QTEST_MAIN(TestDefinitionNumbers)
#include "tst_definitionnumbers.moc"
