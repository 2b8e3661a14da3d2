#include "custombutton.h"
#include "globals.h"
#include "mycombobox.h"
#include "mylineboxedit.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "mytreeview.h"
#include "operationbin.h"
#include "pagefixture.h"
#include "treeline.h"
#include "treemodel.h"
#include "xmldefinition.h"

#include <QAbstractItemView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTimer>
#include <QtTest>

namespace {

// A tree page of a definition file built over an image, as the main window builds it.
struct TreePage {
    MainWindowStandIn main;
    OperationBin image;
    XmlDefinition definition;
    std::unique_ptr<Page> other; // a tab before the page's own
    std::unique_ptr<Page> page;

    explicit TreePage(const QString &definitionPath, const QString &imagePath = sampleImage(QStringLiteral("U65")))
        : definition(definitionPath)
    {
        image.loadFile(imagePath);
        other.reset(main.addPage(&definition, &image));
        page.reset(main.addPage(&definition, &image));
    }

    void build(int pageIndex = 0) { page->createTreePage(pageIndex); }

    QVariant rowColor(int headLine, int line) const
    {
        return page->treeModel()->rowIndex(headLine, line).data(Qt::BackgroundRole);
    }
};

// Delivers queued calls, also those that queued calls make (one pass each), however long the
// machine takes to come round to it.
void runQueuedCalls()
{
    for (int pass = 0; pass < 10; ++pass)
        QCoreApplication::processEvents();
}

// Answers the next window-modal question box with the given button, once it is shown.
void answerQuestion(QMessageBox::StandardButton button)
{
    QTimer::singleShot(10, [button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(button)->click();
        else
            answerQuestion(button);
    });
}

}

class TestTreePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { m_slotsPage.reset(); }
    void build();
    void linkLists();
    void pageWithoutHeadLines();
    void treeSlots_data();
    void treeSlots();
    void collapsedGroupTakesTheChangedColourAfterAnEdit();
    void restoreDefaults_data();
    void restoreDefaults();
    void lastLineOfAUidDecides_data();
    void lastLineOfAUidDecides();
    void controlTab();
    void progressDialogDuringABuild();

private:
    std::unique_ptr<TreePage> m_slotsPage;
};

void TestTreePage::initTestCase()
{
    QDir::setCurrent(dataRoot());
}

void TestTreePage::build()
{
    TreePage f(sampleDefinition(QStringLiteral("U65")));
    const QByteArray before = f.image.image();
    dataModified = false;
    f.build();
    Page *page = f.page.get();
    QCOMPARE(page->pageNumber(), 0);
    QCOMPARE(f.main.tabs->tabText(1), QStringLiteral("System parameters"));
    QCOMPARE(f.main.tabs->tabText(0), QString());

    // One head row per HEAD_LINE with one row per LINE under it, all groups collapsed.
    const int counts[] = {6, 7, 7, 5, 14, 0};
    QCOMPARE(page->headLineCount(), 6);
    QStandardItemModel *model = page->treeModel()->model();
    QCOMPARE(page->treeView()->model(), static_cast<QAbstractItemModel *>(model));
    QCOMPARE(model->rowCount(), 6);
    for (int h = 0; h < 6; ++h) {
        QCOMPARE(page->lineCount(h), counts[h]);
        QCOMPARE(model->rowCount(model->index(h, 0)), counts[h]);
        QVERIFY(!page->treeView()->isExpanded(model->index(h, 0)));
        for (int j = 0; j <= counts[h]; ++j)
            QVERIFY(page->treeLine(h, j));
        QVERIFY(!page->treeLine(h, counts[h] + 1));
    }
    QVERIFY(!page->treeLine(6, 0));

    // BGCOL on the rows that have one, none elsewhere.
    QCOMPARE(f.rowColor(0, 0).value<QColor>(), QColor(QStringLiteral("#3a6ea5")));
    QCOMPARE(f.rowColor(1, 0).value<QColor>(), QColor(QStringLiteral("#4f7f3f")));
    QCOMPARE(f.rowColor(1, 1).value<QColor>(), QColor(QStringLiteral("#eef3f8")));
    QVERIFY(!f.rowColor(1, 2).isValid());
    QVERIFY(!f.rowColor(5, 0).isValid());
    // Every line carries its head line's changed colour.
    QCOMPARE(page->treeLine(3, 4)->bgColorDiff(), QStringLiteral("yellow"));
    QVERIFY(page->treeView()->alternatingRowColors());

    // Building writes and marks nothing; the progress dialog is closed.
    QCOMPARE(f.image.image(), before);
    QVERIFY(!dataModified);
    QVERIFY(!page->progressDialog()->isVisible());
    QCOMPARE(page->progressDialog()->labelText(), QStringLiteral("Creating page 1"));
    QCOMPARE(page->progressDialog()->maximum(), 6 + 7 + 7 + 5 + 14 - 1);
}

void TestTreePage::linkLists()
{
    DefinitionFiles files;
    const QString onOff = QStringLiteral(
        "<BUTTON_ON_OFF WIDTH=\"120\" POS=\"CENTER\" FTCOL=\"11px/black/\" FTCOL_DIF=\"red\" VTYPE=\"CASE_NUMSTR\" "
        "VALUE_LIST=\"On/Off\" SELCOL=\"#9ec9ff\" VINIT=\"0\" EEADDR=\"20:3\" STYLE_DIFF=\"color:red\"/>");
    const QString text = QStringLiteral("<TEXT WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"Head\"/>");
    const QString path = files.write(DefinitionFiles::treePage(
        QStringLiteral("Links"),
        DefinitionFiles::headLine(text + DefinitionFiles::edit(QStringLiteral("SN"), QStringLiteral("0")),
                                  {onOff, DefinitionFiles::edit(QString(), QStringLiteral("10")),
                                   DefinitionFiles::edit(QStringLiteral("L_1"), QStringLiteral("50"))})
            + DefinitionFiles::headLine(text)
            + DefinitionFiles::headLine(text, {DefinitionFiles::edit(QStringLiteral("L_2"), QStringLiteral("0x34"))})));
    TreePage f(path);
    f.build();
    Page *page = f.page.get();

    const OnOffButtonLinks onOffLinks = page->onOffButtonLinks();
    const NumberEditorLinks numberLinks = page->numberEditorLinks();
    const NumberEditorLinks specialLinks = page->specialNumberEditorLinks();
    const QStringList addresses{"20:3", "10", "50", "0x34"};
    const QList<TreeLine *> lines{page->treeLine(0, 1), page->treeLine(0, 2), page->treeLine(0, 3), page->treeLine(2, 1)};
    QCOMPARE(onOffLinks.size(), 4); // lines only, head lines left out
    QCOMPARE(numberLinks.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(onOffLinks[i].address, addresses[i]);
        QCOMPARE(numberLinks[i].address, addresses[i]);
        QCOMPARE(onOffLinks[i].editor, lines[i]->onOffButton());
        QCOMPARE(numberLinks[i].editor, lines[i]->numberEditor());
        QVERIFY(numberLinks[i].editor); // every line has a number editor, shown or not
    }
    QVERIFY(onOffLinks[0].editor);
    QVERIFY(!onOffLinks[1].editor);
    QCOMPARE(specialLinks.size(), 2);
    QCOMPARE(specialLinks[0].address, QStringLiteral("50"));
    QCOMPARE(specialLinks[0].editor, lines[2]->numberEditor());
    QCOMPARE(specialLinks[1].address, QStringLiteral("0x34"));
    QCOMPARE(specialLinks[1].editor, lines[3]->numberEditor());
}

void TestTreePage::pageWithoutHeadLines()
{
    DefinitionFiles files;
    TreePage f(files.write(DefinitionFiles::treePage(QStringLiteral("Empty"), QString())));
    f.build();
    Page *page = f.page.get();
    QCOMPARE(page->headLineCount(), 0);
    QCOMPARE(page->treeModel()->model()->rowCount(), 0);
    QCOMPARE(page->progressDialog()->minimum(), 0);
    QCOMPARE(page->progressDialog()->maximum(), 0); // the range 0 to -1
    QCOMPARE(f.main.tabs->tabText(1), QStringLiteral("Empty"));
    QVERIFY(page->onOffButtonLinks().isEmpty());
    // No line to reach: these change nothing.
    emit page->checkCondition();
    page->changeHeadLineBG(page->treeModel()->model()->index(0, 0));
    page->showText(MyTreeView::HeadRow, 0);
    page->checkUpStairsShiftRangeValues();
    QSignalSpy update(page, &Page::updatePage);
    QCoreApplication::processEvents();
    QCOMPARE(update.count(), 0);
}

void TestTreePage::treeSlots_data()
{
    // On the U65's first page: group 0 holds P-01 (combo), P-02 (text), P-03, P-04 (value), P-05,
    // P-06 under the head line with the serial number; group 1 the restore-defaults line, P-10
    // (number), P-11 (on/off, 20:0) ...; head line 5 is the footer, without help or lines.
    QTest::addColumn<int>("child");
    QTest::addColumn<int>("parent");
    QTest::addColumn<int>("helpLine");     // the line whose help shows: -1 none, -2 a blank
    QTest::addColumn<QString>("focus");    // "tree", "number", "text", "init", "list" (the open list)
    QTest::addColumn<bool>("listOpens");
    QTest::addColumn<QString>("toggledBit");

    const int none = -1, blank = -2;
    QTest::newRow("head row with the serial number") << 1000 << 0 << 0 << "number" << false << "";
    QTest::newRow("combo line") << 0 << 0 << 1 << "list" << true << "";
    QTest::newRow("text line") << 1 << 0 << 2 << "text" << false << "";
    QTest::newRow("value line") << 3 << 0 << 4 << "tree" << false << "";
    QTest::newRow("number line") << 4 << 0 << 5 << "number" << false << "";
    QTest::newRow("restore-defaults line") << 0 << 1 << 1 << "init" << false << "";
    QTest::newRow("on/off line") << 2 << 1 << 3 << "tree" << false << "20:0";
    QTest::newRow("head row without help") << 1000 << 5 << blank << "tree" << false << "";
    QTest::newRow("child beyond the group") << 6 << 0 << none << "tree" << false << "";
    QTest::newRow("negative child") << -1 << 0 << none << "tree" << false << "";
    QTest::newRow("head beyond the page") << 1000 << 6 << none << "tree" << false << "";
    QTest::newRow("line of a head beyond the page") << 0 << 6 << none << "tree" << false << "";
    QTest::newRow("no current item") << 1000 << -1 << none << "tree" << false << "";
}

void TestTreePage::treeSlots()
{
    QFETCH(int, child);
    QFETCH(int, parent);
    QFETCH(int, helpLine);
    QFETCH(QString, focus);
    QFETCH(bool, listOpens);
    QFETCH(QString, toggledBit);

    // One page serves every row: each row starts from the tree's focus and compares the image
    // with its own start.
    if (!m_slotsPage) {
        m_slotsPage = std::make_unique<TreePage>(sampleDefinition(QStringLiteral("U65")));
        m_slotsPage->build();
    }
    TreePage &f = *m_slotsPage;
    Page *page = f.page.get();
    QVERIFY(showActive(&f.main.window));
    f.main.tabs->setCurrentIndex(1);
    page->treeView()->setFocus();
    QVERIFY(page->treeView()->hasFocus());
    f.main.helpLine->setText(QStringLiteral("before"));
    const QByteArray image = f.image.image();

    page->showText(child, parent);
    const QString help = helpLine == -1 ? QStringLiteral("before")
        : helpLine == -2                ? QStringLiteral(" ")
                                        : page->treeLine(parent, helpLine)->helpText();
    QCOMPARE(f.main.helpLine->text(), help);

    page->setFocusInTree(child, parent);
    TreeLine *line = helpLine >= 0 ? page->treeLine(parent, helpLine) : nullptr;
    QWidget *expected = page->treeView();
    if (focus == QLatin1String("number"))
        expected = line->numberEditor();
    else if (focus == QLatin1String("text"))
        expected = line->textEditor();
    else if (focus == QLatin1String("init"))
        expected = line->initButton();
    else if (focus == QLatin1String("list"))
        expected = line->comboBox()->view();
    QCOMPARE(QApplication::focusWidget(), expected);
    if (focus == QLatin1String("init"))
        QVERIFY(line->initButton()->isDown());
    const bool listOpen = line && line->hasCombo() && line->comboBox()->view()->isVisible();
    QCOMPARE(listOpen, listOpens);
    if (listOpen)
        line->comboBox()->hidePopup();

    if (toggledBit.isEmpty()) {
        QCOMPARE(f.image.image(), image);
    } else {
        OperationBin before;
        before.loadHex(image.toHex());
        QCOMPARE(f.image.readBit(QString(), toggledBit), 1 - before.readBit(QString(), toggledBit));
    }

    // Outside the tree's focus nothing moves.
    f.main.helpLine->setFocus();
    page->setFocusInTree(child, parent);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.main.helpLine));
}

void TestTreePage::collapsedGroupTakesTheChangedColourAfterAnEdit()
{
    TreePage f(sampleDefinition(QStringLiteral("U65")));
    f.build();
    Page *page = f.page.get();
    QTreeView *tree = page->treeView();
    const QModelIndex group = page->treeModel()->rowIndex(1, 0);
    const QColor own(QStringLiteral("#4f7f3f"));

    tree->expand(group);
    tree->collapse(group);
    QCOMPARE(f.rowColor(1, 0).value<QColor>(), own);

    tree->expand(group);
    page->treeLine(1, 2)->numberEditor()->setText(QStringLiteral("7")); // P-10, door opening time
    QVERIFY(page->treeLine(1, 2)->isChanged());
    QCOMPARE(f.rowColor(1, 0).value<QColor>(), own); // while open, the head row keeps its colour
    tree->collapse(group);
    QCOMPARE(f.rowColor(1, 0).value<QColor>(), QColor(QStringLiteral("yellow")));

    // Another group, untouched, keeps its colour; a line index is no head row.
    tree->expand(page->treeModel()->rowIndex(2, 0));
    tree->collapse(page->treeModel()->rowIndex(2, 0));
    QCOMPARE(f.rowColor(2, 0).value<QColor>(), QColor(QStringLiteral("#7f5f2f")));
    page->changeHeadLineBG(page->treeModel()->rowIndex(1, 2));
    page->changeHeadLineBG(page->treeModel()->model()->index(9, 0));
}

void TestTreePage::restoreDefaults_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("updates");
    // The U65 sample has FlatUpStairs 0, ShiftRange 0, FlatMin 1 (their defaults) and FlatMax 64.
    QTest::newRow("FlatUpStairs changed") << 44 << 10 << 1;
    QTest::newRow("ShiftRange changed") << 42 << 5 << 1;
    QTest::newRow("only FlatMax changed") << 48 << 64 << 0;
}

void TestTreePage::restoreDefaults()
{
    QFETCH(int, address);
    QFETCH(int, value);
    QFETCH(int, updates);

    TreePage f(sampleDefinition(QStringLiteral("U65")));
    f.image.writeInt16(QString::number(address), value);
    f.build();
    Page *page = f.page.get();
    QVERIFY(showActive(&f.main.window));
    f.main.tabs->setCurrentIndex(1);
    QSignalSpy update(page, &Page::updatePage);

    // Group 3 holds the restore-defaults line, FlatUpStairs (44), ShiftRange (42), FlatMin (46)
    // and FlatMax (48).
    page->treeView()->expand(page->treeModel()->rowIndex(3, 0));
    TreeLine *defaults = page->treeLine(3, 1);
    QVERIFY(defaults->hasInitButton());
    answerQuestion(QMessageBox::Ok);
    QTest::mouseClick(defaults->initButton(), Qt::LeftButton);

    const QStringList shown{page->treeLine(3, 2)->numberEditor()->text(), page->treeLine(3, 3)->numberEditor()->text(),
                            page->treeLine(3, 4)->numberEditor()->text(), page->treeLine(3, 5)->numberEditor()->text()};
    QCOMPARE(shown, (QStringList{"0", "0", "1", "240"}));
    QCOMPARE(f.image.readWord(QStringLiteral("44")), 0);
    QCOMPARE(f.image.readWord(QStringLiteral("42")), 0);
    QCOMPARE(f.image.readWord(QStringLiteral("46")), 1);
    QCOMPARE(f.image.readWord(QStringLiteral("48")), 240);
    QCOMPARE(update.count(), 0); // the check runs from the event loop
    runQueuedCalls();
    QCOMPARE(update.count(), updates);
    if (updates)
        QCOMPARE(update.at(0).at(0).toInt(), 0);

    // A second restore finds the values already at their defaults.
    answerQuestion(QMessageBox::Ok);
    QTest::mouseClick(defaults->initButton(), Qt::LeftButton);
    runQueuedCalls();
    QCOMPARE(update.count(), updates);
}

void TestTreePage::lastLineOfAUidDecides_data()
{
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("first"); // the values of the UID's two lines before the reset (default 0)
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("checks");
    QTest::newRow("ShiftRange: only the first reset") << "ShiftRange" << 5 << 0 << 0;
    QTest::newRow("ShiftRange: only the last reset") << "ShiftRange" << 0 << 5 << 1;
    QTest::newRow("FlatUpStairs: only the first reset") << "FlatUpStairs" << 5 << 0 << 0;
    QTest::newRow("FlatUpStairs: both reset") << "FlatUpStairs" << 5 << 5 << 1;
}

// With two lines of the same flat-numbering UID, the check after a reset goes by the last one.
void TestTreePage::lastLineOfAUidDecides()
{
    QFETCH(QString, uid);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, checks);
    DefinitionFiles files;
    const QString text = QStringLiteral("<TEXT WIDTH=\"100\" POS=\"LEFT\" FTCOL=\"11px/black/\" TXT=\"Head\"/>");
    TreePage f(files.write(DefinitionFiles::treePage(
        QStringLiteral("Numbering"),
        DefinitionFiles::headLine(text, {DefinitionFiles::edit(uid, QStringLiteral("42")),
                                         DefinitionFiles::edit(uid, QStringLiteral("60"))}))));
    f.image.writeInt16(QStringLiteral("42"), first);
    f.image.writeInt16(QStringLiteral("60"), last);
    f.build();
    Page *page = f.page.get();
    QSignalSpy check(page, &Page::checkCondition);
    page->treeLine(0, 1)->setDefaultValueForSpinBox();
    page->treeLine(0, 2)->setDefaultValueForSpinBox();
    page->checkUpStairsShiftRangeValues();
    QCOMPARE(check.count(), checks);
}

void TestTreePage::controlTab()
{
    TreePage f(sampleDefinition(QStringLiteral("H65")), sampleImage(QStringLiteral("H65")));
    f.build();
    QSignalSpy relay(f.page.get(), &Page::control_Tab);
    QTest::keyClick(f.page->treeView(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(relay.count(), 1);
    QCOMPARE(relay.at(0).at(0).toString(), QStringLiteral("tree"));
}

void TestTreePage::progressDialogDuringABuild()
{
    TreePage f(sampleDefinition(QStringLiteral("U65")));
    QVERIFY(showActive(&f.main.window));
    QSignalSpy clicked(f.main.button, &QPushButton::clicked);
    f.page->setProgressMinimumDuration(0);
    QWidget *modal = nullptr;
    bool visible = false;
    // A click as the window system delivers it, so that modality applies.
    QWindow *window = f.main.window.windowHandle();
    const QPoint button = f.main.button->geometry().center();
    QTimer::singleShot(0, [&] {
        modal = QApplication::activeModalWidget();
        visible = f.page->progressDialog()->isVisible();
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, button);
    });
    f.build();
    QCOMPARE(modal, static_cast<QWidget *>(f.page->progressDialog()));
    QVERIFY(visible);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!f.page->progressDialog()->isVisible());
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, button); // after the build the window takes clicks
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestTreePage)
#include "tst_treepage.moc"
