// Roads that meet: a command started while another one runs, by its key (the animated click lands
// 100 ms later) or by a click or signal already waiting in the event queue, is dropped: the window
// goes on with the road that started first as if nothing else had come. And the transfer dialog
// closed by the window system stops its transfer as Cancel does.

#include "roadfixture.h"

#include "../testfiles.h"
#include "editordelegate.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "page.h"
#include "pagewidget.h"
#include "tableline.h"
#include "treeline.h"

#include <QAction>
#include <QKeySequence>
#include <QWindow>

namespace {

// Half an H65 image: every road that measures the image asks. (The H65 page set is the quickest to
// build.)
const QString ShortImage = QStringLiteral("h65_4096.bin");

const char *buttonOf(const QString &road)
{
    static const QHash<QString, const char *> buttons{
        {"Receive", "buttonReceive"}, {"Send", "buttonSend"},       {"Load", "buttonLoad"},
        {"Save", "buttonSave"},       {"Save As", "buttonSaveAs"}, {"Connect", "buttonConnectDisconnect"},
        {"A2", "buttonConnectA2"},
    };
    return buttons.value(road);
}

QKeySequence keyOf(const QString &road)
{
    static const QHash<QString, QString> keys{
        {"Receive", "Alt+R"}, {"Send", "Alt+M"},    {"Load", "Alt+O"},
        {"Save", "Alt+S"},    {"Save As", "Alt+A"}, {"End editing", "Alt+F"},
    };
    return QKeySequence(keys.value(road));
}

// Puts the road's start into the event queue: a click of its button, the menu shortcut's slot, or
// the flat-numbering signal of the first tree page.
void post(RoadRig &rig, const QString &road)
{
    if (road == QLatin1String("End editing"))
        QMetaObject::invokeMethod(rig.window.get(), "deleteSystem", Qt::QueuedConnection);
    else if (road == QLatin1String("Update question"))
        QMetaObject::invokeMethod(rig.probe->firstTreePage(), "updatePage", Qt::QueuedConnection, Q_ARG(int, 0));
    else
        QMetaObject::invokeMethod(rig.button(buttonOf(road)), "click", Qt::QueuedConnection);
}

// H65's pages over its file, the interface connected, no memory polls.
bool loadedAndConnected(RoadRig &rig)
{
    if (!rig.load(H65) || !rig.connectInterface())
        return false;
    rig.bankPollOff();
    return true;
}

bool pressKeys(RoadRig &rig, const QStringList &roads)
{
    QApplication::setActiveWindow(rig.window.get());
    if (!QTest::qWaitForWindowActive(rig.window.get()))
        return RoadRig::failed("the window is not active");
    for (const QString &road : roads)
        QTest::keySequence(rig.window.get(), keyOf(road));
    return true;
}

}

class TestRoadOverlap : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void cleanupTestCase();
    void startedTogether_data();
    void startedTogether();
    void duringTransfer_data();
    void duringTransfer();
    void transferDialogClosed_data();
    void transferDialogClosed();
    void closeTakesThePass_data();
    void closeTakesThePass();
    void pageBoxHoldsTheRoads_data();
    void pageBoxHoldsTheRoads();
    void pageDialogsHoldTheRoads_data();
    void pageDialogsHoldTheRoads();

private:
    RoadRig *sharedRig(const QByteArray &memory, const std::function<bool(RoadRig &)> &setUp);
    RoadRig *connectedRig();

    // The window of the test function that runs, handed from row to row (every row leaves it as
    // it found it): the page builds of a fresh window for each row would take most of the time.
    std::unique_ptr<RoadRig> m_rig;
    QString m_rigFunction;
};

void TestRoadOverlap::cleanup()
{
    dataModified = false;
}

void TestRoadOverlap::cleanupTestCase()
{
    m_rig.reset();
}

// The shared window, made and set up at the function's first row; none when its set-up failed.
RoadRig *TestRoadOverlap::sharedRig(const QByteArray &memory, const std::function<bool(RoadRig &)> &setUp)
{
    const QString function = QLatin1String(QTest::currentTestFunction());
    if (m_rigFunction != function) {
        m_rig.reset();
        m_rigFunction = function;
        m_rig = std::make_unique<RoadRig>(memory);
        m_rig->start();
        if (!setUp(*m_rig))
            m_rig.reset();
    }
    if (m_rig) {
        m_rig->script.seen.clear();
        m_rig->script.unexpected = 0;
        m_rig->script.transferDialogsShown = 0;
        m_rig->script.onTransfer = nullptr;
        m_rig->sim.core().clearLog();
    }
    return m_rig.get();
}

// Two roads started together, with unsaved edits over a short image, so that every road waits in
// a box of its own before it changes anything: the unsaved-data question (Receive, Load, end of
// editing), the memory-size warning (Send, Save, Save As), the flat-numbering question. The first
// to start shows its box, the other comes while it is open and must not show one; the box is then
// answered No or Cancel, and nothing has been read, written or rebuilt.
void TestRoadOverlap::startedTogether_data()
{
    QTest::addColumn<QStringList>("roads");   // in the order they are started
    QTest::addColumn<bool>("keys");
    QTest::addColumn<QString>("runs");

    const QStringList clicked{"Receive", "Send", "Load", "Save", "Save As"};
    const QStringList posted = clicked + QStringList{"End editing", "Update question"};
    for (int a = 0; a < posted.size(); ++a) {
        for (int b = a; b < posted.size(); ++b)
            QTest::addRow("posted: %s, %s", qPrintable(posted[a]), qPrintable(posted[b]))
                << QStringList{posted[a], posted[b]} << false << posted[a];
    }
    // Keys: each button clicks 100 ms after its key, so each key comes once first and once second
    // (the same key twice gives one click). The menu key acts at once: the end of editing starts
    // first.
    for (int a = 0; a < clicked.size(); ++a) {
        const QString &b = clicked[(a + 1) % clicked.size()];
        QTest::addRow("keys: %s, %s", qPrintable(clicked[a]), qPrintable(b))
            << QStringList{clicked[a], b} << true << clicked[a];
    }
    QTest::newRow("keys: Receive, End editing") << QStringList{"Receive", "End editing"} << true << "End editing";
}

void TestRoadOverlap::startedTogether()
{
    QFETCH(QStringList, roads);
    QFETCH(bool, keys);
    QFETCH(QString, runs);

    RoadRig *shared = sharedRig(RoadRig::sample(H65), [](RoadRig &rig) {
        if (!writeFile(rig.dataPath(ShortImage), RoadRig::sample(H65).left(4096)))
            return false;
        rig.script.chooseFile(rig.dataPath(ShortImage)).answer(QMessageBox::Ok);
        QMetaObject::invokeMethod(rig.window.get(), "getDataFromBinFile");
        if (!rig.script.done() || !rig.selectA0())
            return false;
        rig.bankPollOff();
        return true;
    });
    QVERIFY(shared);
    RoadRig &rig = *shared;
    dataModified = true;
    const QList<Page *> pages = rig.probe->pages();
    const QByteArray file = readFile(rig.dataPath(ShortImage));
    QVERIFY(rig.button("buttonConnectA0")->isChecked());
    // The box of the road that runs, answered once whatever was to come has come.
    rig.script.then([](QWidget *w) {
        QPointer<QWidget> box(w);
        QTest::qWait(150);
        if (auto *message = qobject_cast<QMessageBox *>(box.data())) {
            QAbstractButton *no = message->button(QMessageBox::No);
            (no ? no : message->button(QMessageBox::Cancel))->click();
        }
    });

    if (keys) {
        QVERIFY(pressKeys(rig, roads));
    } else {
        for (const QString &road : roads)
            post(rig, road);
    }
    QVERIFY(RoadRig::waitFor([&] { return rig.script.done() && !QApplication::activeModalWidget(); }));
    QTest::qWait(50);

    const QString box = runs == QLatin1String("Update question")
                            ? QStringLiteral("question: ") + rig.probe->updatePagesMessage()
                        : QStringList{"Send", "Save", "Save As"}.contains(runs)
                            ? QStringLiteral("box: ") + rig.probe->warningMemSize()
                            : QStringLiteral("question: ") + rig.probe->askDataNotSaved();
    QCOMPARE(rig.script.seen, QStringList{box});
    QCOMPARE(rig.script.unexpected, 0);
    QCOMPARE(rig.blockCommands(), QStringList());
    QCOMPARE(rig.sim.core().commands().count(QStringLiteral("rd:A0@000E,02")), 0);
    QCOMPARE(rig.probe->pages(), pages);
    QCOMPARE(readFile(rig.dataPath(ShortImage)), file);
    QVERIFY(dataModified);
}

// A command that comes while a Receive or a Send transfers the memory, from a click or signal
// waiting in the queue when block 20 is reported, or from its key pressed right after the
// transfer's: the transfer goes on alone, with its own slave text, until Cancel at block 40.
// Nothing else is read, written, asked, shown or rebuilt.
void TestRoadOverlap::duringTransfer_data()
{
    QTest::addColumn<QString>("transfer");
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("keys");

    for (const QString other : {"Receive", "Send", "Load", "Save", "Save As", "End editing", "Update question",
                                "Connect", "A2"})
        QTest::addRow("Receive, posted %s", qPrintable(other)) << "Receive" << other << false;
    for (const QString other : {"Receive", "Send", "Load"})
        QTest::addRow("Send, posted %s", qPrintable(other)) << "Send" << other << false;
    QTest::newRow("Receive, key of Send") << "Receive" << "Send" << true;
    QTest::newRow("Receive, key of Load") << "Receive" << "Load" << true;
}

void TestRoadOverlap::duringTransfer()
{
    QFETCH(QString, transfer);
    QFETCH(QString, other);
    QFETCH(bool, keys);

    RoadRig *shared = sharedRig(RoadRig::sample(U65), loadedAndConnected);
    QVERIFY(shared);
    RoadRig &rig = *shared;
    rig.button("buttonConnectA2")->setEnabled(true);
    // An edit that a Save would put into the file.
    rig.probe->image()->writeInt16(QStringLiteral("0x0030"), 0x1234);
    rig.button("buttonConnectA0")->click();
    QVERIFY(rig.button("buttonSend")->isEnabled());
    const QList<Page *> pages = rig.probe->pages();
    const int start = rig.sim.core().blockCommands();
    bool posted = keys;
    rig.script.onTransfer = [&](MyProgressDialog *dialog) {
        const int blocks = rig.sim.core().blockCommands() - start;
        if (!posted && blocks >= 20) {
            posted = true;
            post(rig, other);
        }
        if (blocks >= 40 && !dialog->property("cancelled").toBool()) {
            dialog->setProperty("cancelled", true);
            dialog->findChild<QPushButton *>()->click();
        }
    };

    if (keys)
        QVERIFY(pressKeys(rig, {transfer, other}));
    else
        post(rig, transfer);
    QVERIFY(RoadRig::waitFor([&] {
        return rig.script.transferDialogsShown > 0 && !rig.button("buttonConnectA0")->isChecked()
               && !QApplication::activeModalWidget();
    }));
    QTest::qWait(50);

    QCOMPARE(rig.script.seen, QStringList());
    QCOMPARE(rig.script.unexpected, 0);
    QCOMPARE(rig.script.transferDialogsShown, 1);
    const QStringList log = rig.sim.core().commands();
    const QStringList blocks = rig.blockCommands();
    const QString own = transfer == QLatin1String("Receive") ? QStringLiteral("rd:a0@") : QStringLiteral("wr:a0@");
    QVERIFY(blocks.size() >= 40);
    QCOMPARE(blocks.filter(own).size(), blocks.size());
    QCOMPARE(log.count(QStringLiteral("rd:A0@000E,02")), transfer == QLatin1String("Receive") ? 1 : 0);
    QCOMPARE(log.count(QStringLiteral("rd:A0@1fff,01")), 1);
    QCOMPARE(rig.probe->pages(), pages);
    QCOMPARE(readFile(rig.dataPath(H65)), RoadRig::sample(H65));
    QVERIFY(rig.probe->port()->isConnected());
}

// The transfer dialog closed by the window system at block 100: as Cancel, the memory button is
// released at once and the transfer stops after the block in progress; a Receive then changes
// nothing, a Send has written the blocks before.
void TestRoadOverlap::transferDialogClosed_data()
{
    QTest::addColumn<QString>("transfer");
    QTest::newRow("Receive") << "Receive";
    QTest::newRow("Send") << "Send";
}

void TestRoadOverlap::transferDialogClosed()
{
    QFETCH(QString, transfer);

    RoadRig *shared = sharedRig(RoadRig::sample(U65), loadedAndConnected);
    QVERIFY(shared);
    RoadRig &rig = *shared;
    rig.button("buttonConnectA0")->click();
    QVERIFY(rig.button("buttonSend")->isEnabled());
    const QByteArray memory = rig.sim.core().memory(0);
    const QByteArray image = rig.probe->image()->image();
    const QList<Page *> pages = rig.probe->pages();
    const int start = rig.sim.core().blockCommands();
    int closedAt = -1;
    bool releasedAtOnce = false;
    rig.script.onTransfer = [&](MyProgressDialog *dialog) {
        const int blocks = rig.sim.core().blockCommands() - start;
        if (closedAt >= 0 || blocks < 100)
            return;
        closedAt = blocks;
        dialog->windowHandle()->close();
        releasedAtOnce = !rig.button("buttonConnectA0")->isChecked();
    };

    rig.button(buttonOf(transfer))->click();

    QVERIFY(closedAt >= 100);
    const int blocks = rig.sim.core().blockCommands() - start;
    QVERIFY2(blocks <= closedAt + 1, qPrintable(QStringLiteral("%1 blocks").arg(blocks)));
    QVERIFY(releasedAtOnce);
    QCOMPARE(rig.script.seen, QStringList());
    QVERIFY(!rig.probe->port()->isBreakRequested());
    QCOMPARE(rig.probe->pages(), pages);
    if (transfer == QLatin1String("Send")) {
        const QByteArray sent = rig.probe->image()->image();
        const int written = 16 * blocks;
        QCOMPARE(rig.sim.core().memory(0).left(written), sent.left(written));
        QCOMPARE(rig.sim.core().memory(0).mid(written), memory.mid(written));
    } else {
        QCOMPARE(rig.probe->image()->image(), image);
        QCOMPARE(rig.sim.core().memory(0), memory);
    }
}

// The shared H65 rig with its pages loaded and the memory button down, Receive enabled; null when
// it cannot be had.
RoadRig *TestRoadOverlap::connectedRig()
{
    RoadRig *rig = sharedRig(RoadRig::sample(H65), loadedAndConnected);
    if (!rig)
        return nullptr;
    if (!rig->button("buttonConnectA0")->isChecked())
        rig->button("buttonConnectA0")->click();
    return rig->button("buttonReceive")->isEnabled() ? rig : nullptr;
}

// The window closed by the window system (its close button, Alt+F4) or by Exit, with unsaved
// data, while a road waits in the event queue: the close asks its question alone, the road comes
// while it is open and is dropped; No keeps the window open with nothing read or rebuilt.
void TestRoadOverlap::closeTakesThePass_data()
{
    QTest::addColumn<QString>("close");
    QTest::addColumn<QString>("road");
    QTest::newRow("window, Receive") << "window" << "Receive";
    QTest::newRow("window, Load") << "window" << "Load";
    QTest::newRow("Exit, Receive") << "Exit" << "Receive";
}

void TestRoadOverlap::closeTakesThePass()
{
    QFETCH(QString, close);
    QFETCH(QString, road);

    RoadRig *shared = connectedRig();
    QVERIFY(shared);
    RoadRig &rig = *shared;
    const QList<Page *> pages = rig.probe->pages();
    dataModified = true;
    rig.script.answer(QMessageBox::No);

    post(rig, road);
    if (close == QLatin1String("window"))
        rig.window->windowHandle()->close();
    else
        rig.window->findChild<QAction *>(QStringLiteral("exitAction"))->trigger();
    QVERIFY(RoadRig::waitFor([&] { return rig.script.done() && !QApplication::activeModalWidget(); }));
    QTest::qWait(150);

    QCOMPARE(rig.script.seen, QStringList{QStringLiteral("question: ") + rig.probe->askDataNotSaved()});
    QCOMPARE(rig.script.unexpected, 0);
    QVERIFY(rig.window->isVisible());
    QCOMPARE(rig.probe->pages(), pages);
    QCOMPARE(rig.blockCommands(), QStringList());
    QCOMPARE(rig.sim.core().commands().count(QStringLiteral("rd:A0@000E,02")), 0);
    QVERIFY(dataModified);
}

// The key table's unserviced-flat warning, a box of the page's own, shown by the write-back of a
// key's flat cell, and a road posted to the event queue. "box first": Return in the cell, then
// the road: the road comes while the box is open and is dropped, the write-back goes on with its
// page. "road first": the road, then Return: the road commits the open cell itself (the warning
// under its pass), the cell's own queued commit comes while the warning is open, and the road
// then asks its question, answered No or Cancel. "close": the window's close commits the cell
// while the road waits, and asks the unsaved-data question, answered No. Every time the page set
// stays, the cell shows "e" and its flat byte is 0.
void TestRoadOverlap::pageBoxHoldsTheRoads_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("road");
    for (const QString order : {"box first", "road first"}) {
        for (const QString road : {"End editing", "Load", "Receive", "Update question"})
            QTest::addRow("%s, %s", qPrintable(order), qPrintable(road)) << order << road;
    }
    QTest::newRow("close, End editing") << "close" << "End editing";
}

void TestRoadOverlap::pageBoxHoldsTheRoads()
{
    QFETCH(QString, order);
    QFETCH(QString, road);

    RoadRig *shared = connectedRig();
    QVERIFY(shared);
    RoadRig &rig = *shared;
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    const QList<Page *> pages = rig.probe->pages();
    Page *page = pages.value(1);
    QVERIFY(page && page->tableKind() == 2);
    rig.probe->pageTabWidget()->setCurrentWidget(page->pageWidget()->widget());

    // A key's flat cell, its editor open with a number the column takes and the table does not serve.
    MyTableWidget *grid = page->tableWidget();
    const TableLine *line = page->lineOfRow(0);
    for (int row = 1; line && line->tmCodeText() == QLatin1String("-----"); ++row)
        line = page->lineOfRow(row);
    QVERIFY(line);
    auto *cell = static_cast<MyTableWidgetItem *>(line->cellOfType(CellKeyFlat));
    QVERIFY(cell);
    auto *delegate = qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(grid->column(cell)));
    QVERIFY(delegate);
    int n = delegate->maximum();
    while (n > delegate->minimum() && line->isFlatServiced(unsigned(n)))
        --n;
    QVERIFY(!line->isFlatServiced(unsigned(n)));
    const int flatAddress = line->getAddress(3);
    grid->setFocus();
    grid->setCurrentItem(cell);
    grid->editItem(cell);
    auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(edit && grid->viewport()->isAncestorOf(edit));
    QTest::keyClicks(edit, QString::number(n));

    QStringList seen{QStringLiteral("warning: ") + page->tableLine(1)->menuTexts[5]};
    rig.script.answer(QMessageBox::Ok);
    if (order != QLatin1String("box first")) {
        const bool update = order == QLatin1String("road first") && road == QLatin1String("Update question");
        rig.script.answer(update ? QMessageBox::Cancel : QMessageBox::No);
        seen << QStringLiteral("question: ") + (update ? rig.probe->updatePagesMessage() : rig.probe->askDataNotSaved());
    }
    if (order == QLatin1String("box first")) {
        // Return commits the cell from the event queue, ahead of the road.
        QTest::keyClick(edit, Qt::Key_Return);
        post(rig, road);
    } else if (order == QLatin1String("road first")) {
        post(rig, road);
        QTest::keyClick(edit, Qt::Key_Return);
    } else {
        post(rig, road);
        rig.window->windowHandle()->close();
    }
    QVERIFY(RoadRig::waitFor([&] { return rig.script.done() && !QApplication::activeModalWidget(); }));
    QTest::qWait(150);

    QCOMPARE(rig.script.seen, seen);
    QCOMPARE(rig.script.unexpected, 0);
    QVERIFY(rig.window->isVisible());
    QCOMPARE(rig.probe->pages(), pages);
    QCOMPARE(cell->text(), QStringLiteral("e"));
    QCOMPARE(rig.probe->image()->image().at(flatAddress), '\0');
    QVERIFY(!grid->viewport()->findChild<QLineEdit *>());
    QCOMPARE(rig.blockCommands(), QStringList());
    QCOMPARE(rig.sim.core().commands().count(QStringLiteral("rd:A0@000E,02")), 0);
    QVERIFY(dataModified);
}

// The page's other dialogs that run their own event loop, each opened while an End of edition
// waits in the event queue: the tree's restore-defaults question, the table's export and import
// file dialogs and the menu the Menu key opens. The End of edition is dropped; each is closed
// without a choice, and the page set stays.
void TestRoadOverlap::pageDialogsHoldTheRoads_data()
{
    QTest::addColumn<QString>("dialog");
    for (const char *dialog : {"restore defaults", "export", "import", "menu"})
        QTest::newRow(dialog) << dialog;
}

void TestRoadOverlap::pageDialogsHoldTheRoads()
{
    QFETCH(QString, dialog);

    RoadRig *shared = sharedRig(RoadRig::sample(H65), loadedAndConnected);
    QVERIFY(shared);
    RoadRig &rig = *shared;
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    const QList<Page *> pages = rig.probe->pages();
    Page *tree = pages.value(0);
    Page *keys = pages.value(1);
    QVERIFY(tree && keys && keys->tableKind() == 2);
    QPointer<TreeLine> restoring;
    for (int h = 0; h < tree->headLineCount() && !restoring; ++h) {
        if (TreeLine *line = tree->treeLine(h, 1); line && line->hasInitButton())
            restoring = line;
    }
    QVERIFY(restoring);
    keys->tableWidget()->setCurrentCell(0, 1);
    QStringList seen;
    if (dialog == QLatin1String("restore defaults")) {
        rig.script.answer(QMessageBox::Cancel);
        seen << QStringLiteral("question: ") + restoring->warningText();
    } else if (dialog != QLatin1String("menu")) {
        rig.script.chooseFile(QString());
        seen << QStringLiteral("file dialog");
    } else {
        QTimer::singleShot(200, [] {
            if (QWidget *menu = QApplication::activePopupWidget())
                menu->close();
        });
    }

    post(rig, QStringLiteral("End editing"));
    if (dialog == QLatin1String("restore defaults")) {
        rig.probe->pageTabWidget()->setCurrentWidget(tree->pageWidget()->widget());
        emit restoring->defaultButtonClicked();
    } else {
        rig.probe->pageTabWidget()->setCurrentWidget(keys->pageWidget()->widget());
        if (dialog == QLatin1String("export"))
            keys->makeCopyTableToFile();
        else if (dialog == QLatin1String("import"))
            keys->loadDataFromFile();
        else
            keys->tabMouseMenu(keys->tableWidget()->currentIndex(), QStringLiteral("key"));
    }
    QVERIFY(RoadRig::waitFor([&] { return rig.script.done() && !QApplication::activeModalWidget(); }));
    QTest::qWait(150);

    QCOMPARE(rig.script.seen, seen);
    QCOMPARE(rig.script.unexpected, 0);
    QCOMPARE(rig.probe->pages(), pages);
    QVERIFY(rig.probe->hasPageTabs());
}

QTEST_MAIN(TestRoadOverlap)
#include "tst_roadoverlap.moc"
