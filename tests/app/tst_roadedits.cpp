// A value typed into an editor and not yet left, when a command comes by a menu, a shortcut, a
// button clicked without the focus moving, or the window's close: the command sees it as if the
// editor had been left first. The unsaved-data question comes; the file, the memory and a rebuilt
// table hold the value; a text the cell's validator refuses is dropped; an unserviced flat is
// warned about; a tree number below its range is put back.

#include "roadfixture.h"

#include "../testfiles.h"
#include "editordelegate.h"
#include "mylineboxedit.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "mytreeview.h"
#include "page.h"
#include "pagewidget.h"
#include "tableline.h"
#include "treeline.h"
#include "treemodel.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>

namespace {

QByteArray word(int value)
{
    const char bytes[] = {char(value >> 8), char(value & 0xff)};
    return QByteArray(bytes, 2);
}

// The U65 pages: the first tree page and the three table pages.
constexpr int TreePage = 0;
constexpr int LockCodePage = 2;
constexpr int KeyPage = 3;
constexpr int NamePage = 4;

MyTableWidgetItem *cellOfType(const TableLine *line, int type)
{
    return static_cast<MyTableWidgetItem *>(line->cellOfType(type));
}

// The number editor of the first line of the tree page that fits, its group opened and the editor
// given the focus as a click gives it; null when no line fits.
template <typename Fits>
TreeLine *focusNumberEditor(Page *page, Fits fits)
{
    for (int h = 0; h < page->headLineCount(); ++h) {
        for (int j = 1; j <= page->lineCount(h); ++j) {
            TreeLine *line = page->treeLine(h, j);
            if (!line || !line->numberEditor() || !fits(*line))
                continue;
            page->treeView()->expand(page->treeModel()->rowIndex(h, 0));
            MyLineBoxEdit *number = line->numberEditor();
            if (!QTest::qWaitFor([number] { return number->isVisible(); }))
                return nullptr;
            number->setFocus(Qt::MouseFocusReason);
            return number->hasFocus() ? line : nullptr;
        }
    }
    return nullptr;
}

// Every cell text of the set's table pages, page by page and row by row.
QStringList tableTexts(const MainWindowProbe &probe)
{
    QStringList texts;
    for (int index : probe.tablePageIndexes()) {
        const Page *page = probe.pages().at(index);
        for (int k = 1; k <= page->tableSize(); ++k) {
            QStringList row;
            for (const MyTableWidgetItem *cell : page->tableLine(k)->cells())
                row << (cell ? cell->text() : QString());
            texts << row.join(QLatin1Char('|'));
        }
    }
    return texts;
}

// The U65 sample loaded in an active window, with the memory button down for a transfer command.
bool readyFor(RoadRig &rig, const QString &command)
{
    rig.start();
    if (!rig.load(U65))
        return false;
    if (command == QLatin1String("receive") || command == QLatin1String("send")) {
        if (!rig.selectA0())
            return false;
        rig.bankPollOff();
    }
    QApplication::setActiveWindow(rig.window.get());
    return QTest::qWaitForWindowActive(rig.window.get());
}

}

class TestRoadEdits : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void typedValueReachesTheCommand_data();
    void typedValueReachesTheCommand();
    void flatNumberingAsksOnce_data();
    void flatNumberingAsksOnce();
};

void TestRoadEdits::cleanup()
{
    dataModified = false;
}

// Editors: "lock code" 9999 typed over a lock code, "key code" 1A2B over a key's code, "name" Bob
// over a name, "unserviced flat" a flat number the table does not serve typed for a key,
// "refused" a text the lock-code validator does not take (put in as no key could), "tree number"
// 5 typed into a tree editor whose range starts at 10.
// Commands: the unsaved-data question answered No (close, exit, end of edition, load, receive),
// the value written out (save, save as, send), the flat-numbering question answered Ok (update).
void TestRoadEdits::typedValueReachesTheCommand_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("command");

    for (const char *command : {"close", "exit", "end of edition", "load", "receive", "save", "save as", "send",
                                "update"})
        QTest::addRow("lock code, %s", command) << "lock code" << command;
    QTest::newRow("key code, send") << "key code" << "send";
    QTest::newRow("name, save") << "name" << "save";
    QTest::newRow("name, update") << "name" << "update";
    QTest::newRow("unserviced flat, save as") << "unserviced flat" << "save as";
    QTest::newRow("refused, save") << "refused" << "save";
    QTest::newRow("tree number, save") << "tree number" << "save";
}

void TestRoadEdits::typedValueReachesTheCommand()
{
    QFETCH(QString, editor);
    QFETCH(QString, command);

    RoadRig rig(RoadRig::sample(U65));
    QVERIFY(readyFor(rig, command));
    const QByteArray before = rig.probe->image()->image();
    const QList<Page *> pagesBefore = rig.probe->pages();

    // The editor opened and typed into; what the image must hold at the address afterwards.
    int address = -1;
    QByteArray expected;
    QStringList seen;
    QPointer<MyTableWidget> grid;
    const QMap<QString, int> pageOfEditor{{"lock code", LockCodePage}, {"refused", LockCodePage},
                                          {"key code", KeyPage},        {"unserviced flat", KeyPage},
                                          {"name", NamePage},           {"tree number", TreePage}};
    const int pageIndex = pageOfEditor.value(editor, -1);
    QVERIFY(pageIndex >= 0);
    Page *page = pagesBefore.at(pageIndex);
    rig.probe->pageTabWidget()->setCurrentWidget(page->pageWidget()->widget());
    if (pageIndex == TreePage) {
        TreeLine *line = focusNumberEditor(page, [](const TreeLine &l) { return l.numberEditor()->minimum() >= 10; });
        QVERIFY(line);
        MyLineBoxEdit *number = line->numberEditor();
        number->selectAll();
        QTest::keyClicks(number, QStringLiteral("5"));
        QCOMPARE(number->text(), QStringLiteral("5"));
        address = line->eepromAddress().toInt();
        expected = before.mid(address, 2);
        QCOMPARE(rig.probe->image()->image().mid(address, 2), word(5));   // written at the keystroke
    } else {
        grid = page->tableWidget();
        const TableLine *line = page->lineOfRow(0);
        int type = CellLockCode;
        QString typed = QStringLiteral("9999");
        if (editor == QLatin1String("lock code") || editor == QLatin1String("refused")) {
            address = line->getAddress(1);
            expected = editor == QLatin1String("refused") ? before.mid(address, 2) : word(9999);
        } else if (editor == QLatin1String("key code")) {
            type = CellKeyCode;
            typed = QStringLiteral("1A2B");
            address = line->getAddress(2);
            expected = word(0x1A2B);
        } else if (editor == QLatin1String("name")) {
            type = CellName;
            typed = QStringLiteral("Bob");
            address = line->getAddress(4);
            const int nameBytes = page->tableLine(1)->dbRecordLayout().value(1);
            OperationBin field;
            field.loadHex(QByteArray(2 * (address + nameBytes), '0'));
            field.writeText(QString::number(nameBytes / 2), typed, QString::number(address));
            expected = field.image().mid(address, nameBytes);
        } else {
            // A key's flat cell given a number its column takes but the table does not serve: the
            // warning, then the flat byte 0.
            type = CellKeyFlat;
            for (int row = 1; line && line->tmCodeText() == QLatin1String("-----"); ++row)
                line = page->lineOfRow(row);
            QVERIFY(line);
            const int column = grid->column(cellOfType(line, CellKeyFlat));
            auto *delegate = qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(column));
            QVERIFY(delegate);
            int n = delegate->maximum();
            while (n > delegate->minimum() && line->isFlatServiced(unsigned(n)))
                --n;
            QVERIFY(!line->isFlatServiced(unsigned(n)));
            typed = QString::number(n);
            address = line->getAddress(3);
            expected = QByteArray(1, '\0');
            rig.script.answer(QMessageBox::Ok);
            seen << QStringLiteral("warning: ") + page->tableLine(1)->menuTexts[5];
        }
        if (editor != QLatin1String("refused"))
            QVERIFY(before.mid(address, expected.size()) != expected);
        MyTableWidgetItem *cell = cellOfType(line, type);
        QVERIFY(cell);
        grid->setFocus();
        grid->setCurrentItem(cell);
        grid->editItem(cell);
        auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(edit && grid->viewport()->isAncestorOf(edit));
        if (editor == QLatin1String("refused"))
            edit->setText(QStringLiteral("12a"));
        else
            QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), editor == QLatin1String("refused") ? QStringLiteral("12a") : typed);
        QCOMPARE(rig.probe->image()->image(), before);
        QVERIFY(!dataModified);
    }

    // The command, given as a user who has not left the editor gives it.
    const QString saved = rig.dataPath(QStringLiteral("saved.bin"));
    const auto altKey = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); };
    const auto *menu = rig.window->findChild<QMenu *>(QStringLiteral("menu_1"));
    const bool asks = QStringList{"close", "exit", "end of edition", "load", "receive"}.contains(command);
    // Saving, sending and the table rebuild have the table pages write their names first.
    QSignalSpy written(rig.window.get(), SIGNAL(saveTMTable()));
    if (asks) {
        rig.script.answer(QMessageBox::No);
        seen << QStringLiteral("question: ") + rig.probe->askDataNotSaved();
    } else if (command == QLatin1String("save as")) {
        rig.script.chooseFile(saved);
        seen << QStringLiteral("file dialog");
    } else if (command == QLatin1String("update")) {
        rig.script.answer(QMessageBox::Ok);
        seen << QStringLiteral("question: ") + rig.probe->updatePagesMessage();
    }
    if (command == QLatin1String("close"))
        rig.window->close();
    else if (command == QLatin1String("exit"))
        menu->findChild<QAction *>(QStringLiteral("exitAction"))->trigger();
    else if (command == QLatin1String("end of edition"))
        menu->findChild<QAction *>(QStringLiteral("deleteMenu"))->trigger();
    else if (command == QLatin1String("load"))
        altKey(Qt::Key_O);
    else if (command == QLatin1String("receive"))
        rig.button("buttonReceive")->click();
    else if (command == QLatin1String("save"))
        altKey(Qt::Key_S);
    else if (command == QLatin1String("save as"))
        rig.button("buttonSaveAs")->click();
    else if (command == QLatin1String("send"))
        altKey(Qt::Key_M);
    else
        emit pagesBefore.at(TreePage)->updatePage(TreePage);
    // A shortcut clicks its button visibly: the command runs 100 ms after the key.
    QVERIFY(RoadRig::waitFor([&] {
        return rig.script.done() && rig.script.seen.size() >= seen.size() && (asks || written.count() > 0);
    }));

    QCOMPARE(rig.script.seen, seen);
    QCOMPARE(rig.probe->image()->image().mid(address, expected.size()).toHex(), expected.toHex());
    if (asks) {
        QVERIFY(rig.window->isVisible());
        QCOMPARE(rig.probe->pages(), pagesBefore);
        QVERIFY(dataModified);
    } else if (command == QLatin1String("save")) {
        QCOMPARE(readFile(rig.dataPath(U65)).mid(address, expected.size()).toHex(), expected.toHex());
    } else if (command == QLatin1String("save as")) {
        QCOMPARE(readFile(saved).mid(address, expected.size()).toHex(), expected.toHex());
    } else if (command == QLatin1String("send")) {
        QCOMPARE(rig.sim.core().memory(0).mid(address, expected.size()).toHex(), expected.toHex());
    } else {
        // The rebuilt table shows the value.
        Page *rebuilt = rig.probe->pages().at(pageIndex);
        QVERIFY(rebuilt != page);
        const int type = editor == QLatin1String("name") ? CellName : CellLockCode;
        QCOMPARE(cellOfType(rebuilt->lineOfRow(0), type)->text().trimmed(),
                 editor == QLatin1String("name") ? QStringLiteral("Bob") : QStringLiteral("9999"));
    }
    // The cell editor is closed, where its page lives on.
    if (grid) {
        const QList<QLineEdit *> editors = grid->viewport()->findChildren<QLineEdit *>();
        QVERIFY(std::none_of(editors.begin(), editors.end(), [](QLineEdit *e) { return e->isVisible(); }));
    }
}

// A FlatUpStairs or ShiftRange typed into its tree editor and not left, then a command by its
// shortcut (Load, End of edition and Receive meet the unsaved-data question, answered No): the
// command finishes the edit as leaving the editor does, and the page-update question comes once,
// before the command goes on. Ok rebuilds the table pages as the question's Ok after Return does,
// Cancel keeps them; the file, the memory or the image holds the typed value; leaving the editor
// afterwards asks nothing more. Each command meets Ok with one parameter and Cancel with the other.
void TestRoadEdits::flatNumberingAsksOnce_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("ok");

    const QStringList parameters{"FlatUpStairs", "ShiftRange"};
    const QStringList commands{"save as", "save", "send", "load", "end of edition", "receive"};
    for (int p = 0; p < parameters.size(); ++p) {
        for (int c = 0; c < commands.size(); ++c) {
            const bool ok = (p + c) % 2 == 0;
            QTest::addRow("%s, %s, %s", qPrintable(parameters[p]), qPrintable(commands[c]), ok ? "Ok" : "Cancel")
                << parameters[p] << commands[c] << ok;
        }
    }
}

void TestRoadEdits::flatNumberingAsksOnce()
{
    QFETCH(QString, parameter);
    QFETCH(QString, command);
    QFETCH(bool, ok);

    RoadRig rig(RoadRig::sample(U65));
    QVERIFY(readyFor(rig, command));
    const QList<Page *> pagesBefore = rig.probe->pages();
    Page *tree = pagesBefore.at(TreePage);
    // A rebuilt page may take its predecessor's address: whether the old one is gone is what counts.
    QList<QPointer<Page>> watched;
    for (Page *page : pagesBefore)
        watched << QPointer<Page>(page);
    rig.probe->pageTabWidget()->setCurrentWidget(tree->pageWidget()->widget());
    const QStringList textsBefore = tableTexts(*rig.probe);

    TreeLine *line = focusNumberEditor(tree, [&](const TreeLine &l) { return l.uid() == parameter; });
    QVERIFY(line);
    MyLineBoxEdit *number = line->numberEditor();
    const int value = parameter == QLatin1String("FlatUpStairs") ? 8 : 83;
    const int address = line->eepromAddress().toInt();
    QVERIFY(rig.probe->image()->image().mid(address, 2) != word(value));
    number->selectAll();
    QTest::keyClicks(number, QString::number(value));
    QCOMPARE(rig.probe->image()->image().mid(address, 2), word(value));   // written at the keystroke

    rig.script.answer(ok ? QMessageBox::Ok : QMessageBox::Cancel);
    QStringList seen{QStringLiteral("question: ") + rig.probe->updatePagesMessage()};
    const QString saved = rig.dataPath(QStringLiteral("saved.bin"));
    if (command == QLatin1String("save as")) {
        rig.script.chooseFile(saved);
        seen << QStringLiteral("file dialog");
    } else if (QStringList{"load", "end of edition", "receive"}.contains(command)) {
        rig.script.answer(QMessageBox::No);
        seen << QStringLiteral("question: ") + rig.probe->askDataNotSaved();
    }
    const QHash<QString, Qt::Key> keys{{"save as", Qt::Key_A}, {"save", Qt::Key_S}, {"send", Qt::Key_M},
                                       {"load", Qt::Key_O},    {"end of edition", Qt::Key_F}, {"receive", Qt::Key_R}};
    QTest::keyClick(QApplication::focusWidget(), keys.value(command), Qt::AltModifier);
    const bool answered = RoadRig::waitFor([&] { return rig.script.done() && !QApplication::activeModalWidget(); });
    // The editor is left: its edit was finished already.
    tree->treeView()->setFocus();
    QTest::qWait(150);

    QCOMPARE(rig.script.seen, seen);
    QVERIFY(answered);
    QCOMPARE(rig.script.unexpected, 0);
    const QByteArray expected = word(value).toHex();
    QCOMPARE(rig.probe->image()->image().mid(address, 2).toHex(), expected);
    if (command == QLatin1String("save"))
        QCOMPARE(readFile(rig.dataPath(U65)).mid(address, 2).toHex(), expected);
    else if (command == QLatin1String("save as"))
        QCOMPARE(readFile(saved).mid(address, 2).toHex(), expected);
    else if (command == QLatin1String("send"))
        QCOMPARE(rig.sim.core().memory(0).mid(address, 2).toHex(), expected);

    const QList<Page *> pagesAfter = rig.probe->pages();
    QCOMPARE(pagesAfter.size(), pagesBefore.size());
    for (int index : rig.probe->treePageIndexes())
        QCOMPARE(pagesAfter.at(index), pagesBefore.at(index));
    const QStringList texts = tableTexts(*rig.probe);
    if (ok) {
        for (int index : rig.probe->tablePageIndexes())
            QVERIFY(watched.at(index).isNull() && pagesAfter.at(index));
        QCOMPARE(rig.probe->pageTabWidget()->currentWidget(), tree->pageWidget()->widget());
        QVERIFY(texts != textsBefore);
        // What the question's Ok rebuilds from the image as it stands.
        QMetaObject::invokeMethod(rig.window.get(), "updateTables");
        QCOMPARE(tableTexts(*rig.probe), texts);
    } else {
        QCOMPARE(pagesAfter, pagesBefore);
        QCOMPARE(texts, textsBefore);
    }
}

QTEST_MAIN(TestRoadEdits)
#include "tst_roadedits.moc"
