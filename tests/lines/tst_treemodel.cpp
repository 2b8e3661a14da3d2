#include "treefixture.h"

#include <QtTest>

using TreeXml::head;

// The tree model gives a tree page its rows: one per head line, one child row per line, one
// column, and no data of its own.
class TestTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void rowShapes();
    void emptyPage();
    void rowColours_data();
    void rowColours();
};

namespace {
const QString label = QStringLiteral("<TEXT WIDTH=\"40\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"x\"/>");
}

void TestTreeModel::rowShapes()
{
    TreeRig rig;
    rig.build(head(label, {label, label}) + head(label) + head(label, {label, label, label, label, label}));
    QStandardItemModel *model = rig.model->model();
    const QModelIndex root = rig.model->rootIndex();
    QVERIFY(!root.isValid());
    QCOMPARE(model->rowCount(root), 3);
    QCOMPARE(model->columnCount(root), 1);
    const QVector<QModelIndex> &heads = rig.model->headIndexes();
    QCOMPARE(heads.size(), 3);
    QList<int> children;
    for (int h = 0; h < heads.size(); ++h) {
        QCOMPARE(heads[h], model->index(h, 0, root));
        children << model->rowCount(heads[h]);
        if (model->rowCount(heads[h]))
            QCOMPARE(model->columnCount(heads[h]), 1);
    }
    QCOMPARE(children, QList<int>({2, 0, 5}));
    QCOMPARE(rig.model->rowIndex(2, 3), model->index(2, 0, heads[2]));
    QCOMPARE(rig.model->rowIndex(1, 0), heads[1]);
    QVERIFY(!rig.model->rowIndex(1, 1).isValid());
    QVERIFY(!rig.model->rowIndex(3, 0).isValid());

    // Neither the model nor the lines put data into any row.
    for (int h = 0; h < heads.size(); ++h) {
        QCOMPARE(model->itemData(heads[h]), (QMap<int, QVariant>()));
        for (int r = 0; r < model->rowCount(heads[h]); ++r)
            QCOMPARE(model->itemData(model->index(r, 0, heads[h])), (QMap<int, QVariant>()));
    }
}

void TestTreeModel::emptyPage()
{
    TreeRig rig;
    rig.build(QString());
    QCOMPARE(rig.model->model()->rowCount(), 0);
    QVERIFY(rig.model->headIndexes().isEmpty());
    rig.model->setRowColor(0, 0, QStringLiteral("yellow")); // no row: nothing happens
}

void TestTreeModel::rowColours_data()
{
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("stored"); // "" for no data
    QTest::newRow("name") << "yellow" << "#ffff00";
    QTest::newRow("hex") << "#d1e9ff" << "#d1e9ff";
    QTest::newRow("unknown name paints nothing") << "yelow" << "";
    QTest::newRow("empty paints nothing") << "" << "";
}

void TestTreeModel::rowColours()
{
    QFETCH(QString, color);
    QFETCH(QString, stored);
    TreeRig rig;
    rig.build(head(label, {label}));
    rig.model->setRowColor(0, 1, color);
    QCOMPARE(rig.rowColor(0, 1), stored);
    QCOMPARE(rig.rowColor(0, 0), QString());
}

QTEST_MAIN(TestTreeModel)
#include "tst_treemodel.moc"
