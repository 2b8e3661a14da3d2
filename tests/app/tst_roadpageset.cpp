// The page set of the window: built anew by every Load, ended by the end-editing command, its
// table pages rebuilt by the flat-numbering question, its editors linked across pages.

#include "roadfixture.h"

#include "custombutton.h"
#include "helpview.h"
#include "mylineboxedit.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "page.h"
#include "pagewidget.h"
#include "treeline.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>

namespace {

QList<QPointer<Page>> watched(const QList<Page *> &pages)
{
    QList<QPointer<Page>> list;
    for (Page *page : pages)
        list << QPointer<Page>(page);
    return list;
}

int alive(const QList<QPointer<Page>> &pages)
{
    return int(std::count_if(pages.begin(), pages.end(), [](const QPointer<Page> &p) { return !p.isNull(); }));
}

int visibleHelpViews(QWidget *window)
{
    int n = 0;
    for (Platform::HelpView *view : window->findChildren<Platform::HelpView *>())
        n += view->isVisible() ? 1 : 0;
    return n;
}

// The line of a tree page whose editor carries the UID.
TreeLine *lineWithUid(Page *page, const QString &uid)
{
    for (int h = 0; h < page->headLineCount(); ++h) {
        for (int j = 1; j <= page->lineCount(h); ++j) {
            TreeLine *line = page->treeLine(h, j);
            if (line && line->uid() == uid)
                return line;
        }
    }
    return nullptr;
}

template <typename Editor>
Editor *editorAt(const QVector<EditorLink<Editor>> &links, const QString &address)
{
    for (const auto &link : links) {
        if (link.address == address && link.editor)
            return link.editor;
    }
    return nullptr;
}

}

class TestRoadPageSet : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void rebuilds();
    void endEditing();
    void updateQuestion_data();
    void updateQuestion();
    void links_data();
    void links();
    void specialFlatLinks();
    void importRefusedWithoutTexts_data();
    void importRefusedWithoutTexts();
};

void TestRoadPageSet::cleanup()
{
    dataModified = false;
}

// Every Load deletes the set and builds the new model's pages; the flat-numbering addresses, the
// first tree page and the help page come from the new definition only.
void TestRoadPageSet::rebuilds()
{
    RoadRig rig;
    rig.start(false);

    QVERIFY(rig.load(U65));
    QCOMPARE(rig.tabTitles(), U65Tabs);
    QCOMPARE(rig.probe->treePageIndexes(), (QList<int>{0, 1}));
    QCOMPARE(rig.probe->tablePageIndexes(), (QList<int>{2, 3, 4}));
    QCOMPARE(rig.probe->flatAddresses(), (QStringList{"8", "44", "42", "46", "48"}));
    QCOMPARE(rig.probe->specialFlatAddresses().size(), 14);
    QCOMPARE(rig.probe->firstTreePage(), rig.probe->pages().at(0));
    QCOMPARE(rig.probe->modelHelpPage(), QStringLiteral("/HELP/Application/EN/help.html"));
    QCOMPARE(rig.probe->pageTabWidget()->currentIndex(), 0);
    QCOMPARE(visibleHelpViews(rig.window.get()), 0);
    QVERIFY(rig.widget<QWidget>("centralWidget")->isEnabled());
    const auto first = watched(rig.probe->pages());
    QPointer<QTabWidget> firstTabs = rig.probe->pageTabWidget();

    QVERIFY(rig.load(H65));
    QCOMPARE(alive(first), 0);
    QVERIFY(firstTabs.isNull());
    QCOMPARE(rig.tabTitles(), H65Tabs);
    QCOMPARE(rig.probe->treePageIndexes(), QList<int>{0});
    QCOMPARE(rig.probe->tablePageIndexes(), QList<int>{1});
    QCOMPARE(rig.probe->flatAddresses(), (QStringList{"", "", "", "", ""}));
    QCOMPARE(rig.probe->specialFlatAddresses(), QStringList());

    QVERIFY(rig.load(U65));
    QCOMPARE(rig.tabTitles(), U65Tabs);
    QCOMPARE(rig.probe->flatAddresses(), (QStringList{"8", "44", "42", "46", "48"}));
    QVERIFY(!dataModified);
}

// End of editing deletes the set: no tabs, the start help view again, Save and Save As off; a Load
// after it builds as the first did.
void TestRoadPageSet::endEditing()
{
    RoadRig rig;
    rig.start(false);
    QVERIFY(rig.load(U65));
    const auto pages = watched(rig.probe->pages());
    QAction *end = rig.window->findChild<QMenu *>(QStringLiteral("menu_1"))->findChild<QAction *>(QStringLiteral("deleteMenu"));
    QVERIFY(end->isEnabled());

    end->trigger();

    QCOMPARE(alive(pages), 0);
    QVERIFY(!rig.probe->hasPageTabs());
    QVERIFY(!rig.probe->pageTabWidget());
    QVERIFY(!rig.probe->statusLine());
    QVERIFY(!rig.probe->pageDefinition());
    QVERIFY(!rig.probe->pagesBuilt());
    QCOMPARE(visibleHelpViews(rig.window.get()), 1);
    QVERIFY(!end->isEnabled());
    QVERIFY(!rig.button("buttonSave")->isEnabled());
    QVERIFY(!rig.button("buttonSaveAs")->isEnabled());
    QCOMPARE(rig.window->windowTitle(), QStringLiteral(" TKV-05  "));

    QVERIFY(rig.load(H65));
    QCOMPARE(rig.tabTitles(), H65Tabs);
    QCOMPARE(visibleHelpViews(rig.window.get()), 0);
}

// A changed FlatUpStairs value asks whether to renumber the tables. Ok rebuilds every table page at
// its own tab (the tree pages stay), shows the page that asked and marks the data modified;
// Cancel changes nothing more.
void TestRoadPageSet::updateQuestion_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("Ok") << true;
    QTest::newRow("Cancel") << false;
}

void TestRoadPageSet::updateQuestion()
{
    QFETCH(bool, ok);

    RoadRig rig;
    rig.start(false);
    QVERIFY(rig.load(U65));
    const QList<Page *> before = rig.probe->pages();
    // A rebuilt page may take the address of the one it replaces: deletion is what tells.
    const QList<QPointer<Page>> kept = watched(before);
    TreeLine *line = lineWithUid(before.at(0), QStringLiteral("FlatUpStairs"));
    QVERIFY(line);
    MyLineBoxEdit *editor = line->numberEditor();
    const int stairs = editor->value() == 10 ? 20 : 10;
    editor->setText(MyLineBoxEdit::formatValue(editor->format(), stairs));
    QCOMPARE(rig.probe->image()->readWord(QStringLiteral("44")), stairs);
    dataModified = false;
    rig.probe->pageTabWidget()->setCurrentIndex(4);
    QString asked;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QSize size;
    QStringList cut;
    rig.script.then([&, ok](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        asked = box->text();
        icon = box->icon();
        size = box->size();
        cut = cutTexts(box);
        box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });

    QMetaObject::invokeMethod(editor, "editingFinished");
    QVERIFY(RoadRig::waitFor([&] { return rig.script.done() && !QApplication::activeModalWidget(); }));

    QCOMPARE(asked, QStringLiteral("Data has been changed, update ?"));
    QCOMPARE(icon, QMessageBox::Question);
    QVERIFY(size.width() >= 260 && size.height() >= 120);   // larger where the text needs it
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    const QList<Page *> after = rig.probe->pages();
    QCOMPARE(rig.tabTitles(), U65Tabs);
    for (int i : {0, 1, 5})
        QCOMPARE(after.at(i), before.at(i));
    for (int i : {2, 3, 4})
        QCOMPARE(kept.at(i).isNull(), ok);
    QCOMPARE(rig.probe->pageTabWidget()->currentIndex(), ok ? 0 : 4);
    QCOMPARE(dataModified, ok);
    for (int i = 0; i < after.size(); ++i)
        QCOMPARE(rig.probe->pageTabWidget()->widget(i), after.at(i)->pageWidget()->widget());
}

// Editors on the first two tree pages that show one image value follow each other both ways; texts
// that differ (the same word written "16" and "0x10") and a bit against a word are not linked.
void TestRoadPageSet::links_data()
{
    QTest::addColumn<QString>("firstAddress");
    QTest::addColumn<QString>("secondAddress");   // on the second tree page, "16" there rewritten
    QTest::addColumn<bool>("onOff");
    QTest::addColumn<bool>("linked");

    QTest::newRow("number editors at 16") << "16" << "16" << false << true;
    QTest::newRow("on/off pairs at 20:0") << "20:0" << "20:0" << true << true;
    QTest::newRow("16 and 0x10") << "16" << "0x10" << false << false;
    QTest::newRow("on/off at 20:1, number editor at 20") << "20:1" << "20" << true << false;
}

void TestRoadPageSet::links()
{
    QFETCH(QString, firstAddress);
    QFETCH(QString, secondAddress);
    QFETCH(bool, onOff);
    QFETCH(bool, linked);

    RoadRig rig;
    if (secondAddress != QLatin1String("16") && secondAddress != QLatin1String("20:0"))
        QVERIFY(rig.rewriteSecondPage(QStringLiteral("EEADDR=\"16\""), QStringLiteral("EEADDR=\"%1\"").arg(secondAddress)));
    rig.start(false);
    QVERIFY(rig.load(U65));
    Page *first = rig.probe->pages().at(0);
    Page *second = rig.probe->pages().at(1);

    if (onOff) {
        CustomButton *a = editorAt(first->onOffButtonLinks(), firstAddress);
        QVERIFY(a);
        CustomButton *b = editorAt(second->onOffButtonLinks(), secondAddress);
        MyLineBoxEdit *word = editorAt(second->numberEditorLinks(), secondAddress);
        QVERIFY(b || word);
        const bool wasOn = a->onButton()->isChecked();
        const QString wordText = word ? word->text() : QString();
        a->setValue(wasOn ? 0 : 1);
        if (b) {
            QCOMPARE(b->onButton()->isChecked(), linked ? !wasOn : b->onButton()->isChecked());
            b->setValue(wasOn ? 1 : 0);
            QCOMPARE(a->onButton()->isChecked(), wasOn);
        } else {
            QCOMPARE(word->text(), wordText);
        }
        return;
    }
    MyLineBoxEdit *a = editorAt(first->numberEditorLinks(), firstAddress);
    MyLineBoxEdit *b = editorAt(second->numberEditorLinks(), secondAddress);
    QVERIFY(a && b);
    const int bBefore = b->value();
    const int value = a->value() + 7;
    a->setText(MyLineBoxEdit::formatValue(a->format(), value));
    QCOMPARE(b->value(), linked ? value : bBefore);
    if (linked) {
        b->setText(MyLineBoxEdit::formatValue(b->format(), value + 1));
        QCOMPARE(a->value(), value + 1);
    }
}

// The q-th special-flat editor of a tree page drives the q-th special-flat cell of the lock-code
// table, also after the table pages were rebuilt.
void TestRoadPageSet::specialFlatLinks()
{
    RoadRig rig;
    rig.start(false);
    QVERIFY(rig.load(U65));
    const NumberEditorLinks editors = rig.probe->pages().at(0)->specialNumberEditorLinks();
    const auto cells = [&] { return rig.probe->pages().at(2)->specialFlatItems(); };
    QVERIFY(!cells().isEmpty());
    QVERIFY(editors.size() >= cells().size());

    for (int round = 0; round < 2; ++round) {
        for (int q = 0; q < cells().size(); ++q) {
            MyLineBoxEdit *editor = editors.at(q).editor;
            editor->setText(MyLineBoxEdit::formatValue(editor->format(), 300 + 10 * round + q));
            QCOMPARE(cells().at(q)->text(), editor->text());
        }
        QMetaObject::invokeMethod(rig.window.get(), "updateTables");
    }
}

void TestRoadPageSet::importRefusedWithoutTexts_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("why");
    const QByteArray noRows("*****t*****\r\nEnd Of Table TM_Flat");
    const QByteArray crAlone("*****t*****\r0\tABCD\t12\t\rEnd Of Table TM_Flat\r");
    const QString noRowsWhy =
        QStringLiteral("The file holds no data rows between its title line and its end-of-table line.");
    const QString crAloneWhy =
        QStringLiteral("The file's lines end in CR alone, so its data rows stand in one line with the "
                       "end-of-table line. A table file ends its lines in CR LF or LF.\n"
                       "1: *****t*****<CR>0 | ABCD | 12 | <CR>End Of Table TM_Flat");
    QTest::newRow("Polish, no rows") << 1 << noRows << noRowsWhy;
    QTest::newRow("English, no rows") << 2 << noRows << noRowsWhy;
    QTest::newRow("Polish, CR alone") << 1 << crAlone << crAloneWhy;
    QTest::newRow("English, CR alone") << 2 << crAlone << crAloneWhy;
}

// A language table written before the import's texts (none of the IMPORT_ rows): a file that gives
// the table nothing still gets its box, in English where the language has no text.
void TestRoadPageSet::importRefusedWithoutTexts()
{
    QFETCH(int, language);
    QFETCH(QByteArray, file);
    QFETCH(QString, why);
    RoadRig rig;
    rig.rewriteGui([](QString &text) {
        text.remove(QRegularExpression(QStringLiteral("<(IMPORT_\\w+)>[^<]*</\\1>")));
    });
    rig.files.writeSettings({{QStringLiteral("Language"), language}});
    rig.start(false);
    QVERIFY(rig.load(QStringLiteral("RK4820_U65_sample.bin")));
    QCOMPARE(rig.probe->pages().at(3)->tableKind(), 2);
    const QString path = rig.dataPath(QStringLiteral("bad.id"));
    QFile bad(path);
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write(file) == file.size());
    bad.close();
    Page *keys = rig.probe->pages().at(3);
    rig.probe->pageTabWidget()->setCurrentIndex(3);
    keys->tableWidget()->setCurrentCell(10, 1);
    const QByteArray before = rig.probe->image()->image();
    rig.script.chooseFile(path).answer(QMessageBox::Ok);

    QMetaObject::invokeMethod(keys, "loadDataFromFile");

    QVERIFY(rig.script.done());
    QCOMPARE(rig.script.seen, (QStringList{QStringLiteral("file dialog"), QStringLiteral("critical: ")
                                              + rig.probe->errorMessage() + QLatin1Char('\n') + path
                                              + QLatin1Char('\n') + why}));
    QCOMPARE(rig.probe->image()->image(), before);
    QVERIFY(!dataModified);
}

QTEST_MAIN(TestRoadPageSet)
#include "tst_roadpageset.moc"
