// The page set: one page per PAGE of the model's definition file, each in a tab; the editors that
// show one image value on several pages linked; the table pages rebuilt after a flat-numbering
// change.

#include "mainwindow.h"

#include "comport.h"
#include "custombutton.h"
#include "globals.h"
#include "helpview.h"
#include "mylineboxedit.h"
#include "mymessagebox.h"
#include "mytablewidgetitem.h"
#include "page.h"
#include "pagewidget.h"
#include "ui_mainwindowclass.h"
#include "xmldefinition.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include <utility>

namespace {

// The busy wait after a build and after a deletion.
constexpr int PageSetWaitMs = 60;

}

void MainWindow::creatPages()
{
    if (pageTabWidget)
        deletePages();
    buildPages();
}

void MainWindow::buildPages()
{
    ui->centralWidget->setEnabled(false);
    repaint();
    if (startHelpView)
        startHelpView->hide();
    ui->backGroundFrame->hide();

    emit stateMenu(true);
    enableHelpAction(true);
    enableDeleteAction(true);

    pageDefinition = new XmlDefinition(definitionFilePath);
    pageTabWidget = new QTabWidget(this);
    connect(pageTabWidget, SIGNAL(currentChanged(int)), this, SLOT(currentTabWidget(int)));
    pageTabWidget->setGeometry(0, 125, 800, 455);
    pageTabWidget->show();

    statusLine = new QLineEdit(ui->statusBar);
    statusLine->setFrame(false);
    statusLine->setReadOnly(true);
    statusLine->setStyleSheet(QStringLiteral("background-color:transparent;"));
    statusLine->setFocusPolicy(Qt::NoFocus);

    const int pageCount = pageDefinition->readPageKinds();
    const PageKindList kinds = pageDefinition->pageKinds();
    treePageIndexes.clear();
    tablePageIndexes.clear();
    flatNumbering = FlatNumbering();
    modelHelpPage.clear();
    firstTreePage = nullptr;

    pages.clear();
    for (int i = 0; i < pageCount; ++i) {
        Page *page = newPage();
        pages.append(page);
        pageTabWidget->addTab(page->pageWidget()->widget(), QString());
    }

    // Every table page gets, for each flat-numbering address, the value of the last tree page
    // before it that has one.
    for (int i = 0; i < pageCount; ++i) {
        Page *page = pages.at(i);
        switch (kinds.value(i)) {
        case 1: {
            treePageIndexes.append(i);
            pageTabWidget->setCurrentWidget(page->pageWidget()->widget());
            page->createTreePage(i);
            if (i == 0) {
                firstTreePage = page;
                page->setSystemType(pageDefinition->systemType());
                page->setFileExtensions(SUFFIX);
            }
            modelHelpPage = pageDefinition->systemHelp();
            flatNumbering.takeFrom(page);
            connect(page, SIGNAL(updatePage(int)), this, SLOT(updatePagesQuestion(int)));
            break;
        }
        case 2:
            tablePageIndexes.append(i);
            pageTabWidget->setCurrentWidget(page->pageWidget()->widget());
            buildTablePage(page, i);
            break;
        case 3:
            page->createWebPage(i);
            break;
        default:
            break;
        }
    }

    ui->statusBar->addWidget(statusLine, 1);
    statusLine->show();
    connect(statusLine, SIGNAL(textChanged(QString)), this, SLOT(clearStatus()));
    linkPageItems();
    if (!pages.isEmpty())
        pageTabWidget->setCurrentWidget(pages.first()->pageWidget()->widget());
    playSound();
    delayMs(PageSetWaitMs);
    ui->centralWidget->setEnabled(true);
    updateButtonsPosition();
}

void MainWindow::commitPageEdits()
{
    committingEdits = true;
    for (Page *page : qAsConst(pages)) {
        if (page)
            page->commitOpenEditor();
    }
    committingEdits = false;
    // A flat-numbering edit the commit finished asks now, under the pass of the command that
    // commits, before the command goes on (with the rebuilt table pages after Ok).
    if (questionPage >= 0)
        askUpdatePages(std::exchange(questionPage, -1));
}

// A page of the set, given the window's texts and objects; not yet built.
Page *MainWindow::newPage()
{
    auto *page = new Page(pageTabWidget, pageDefinition, memoryImage);
    page->setHelpLineEdit(statusLine);
    page->setErrorText(ERROR_MESSAGE);
    page->setFileErrorText(FILE_WRITE_ERROR);
    page->setOverwriteText(ASK_OVERWRITE_FILE);
    ImportNothingTexts importNothing;
    importNothing.loneCr = IMPORT_CR_LINE_ENDS;
    importNothing.brokenTitle = IMPORT_BROKEN_TITLE;
    importNothing.noRows = IMPORT_NO_ROWS;
    importNothing.noFields = IMPORT_NO_FIELDS;
    importNothing.noColumn = IMPORT_NO_COLUMN;
    page->setImportNothingTexts(importNothing);
    page->setMainWindow(this);
    page->setCopyingText(COPYING_DATA_MESSAGE);
    page->setCreatingText(CREATE_PAGES_MESSAGE);
    page->setPageRect(QRect());
    page->setRoadGate(&roadGate);
    return page;
}

void MainWindow::buildTablePage(Page *page, int index)
{
    flatNumbering.handTo(page);
    page->setFirstTreePage(firstTreePage);
    page->disableCopy();
    page->createTablePage(index);
    connect(this, SIGNAL(saveTMTable()), page, SLOT(saveTMTable()));
}

void MainWindow::deletePages()
{
    emit stateMenu(false);
    enableHelpAction(false);
    enableDeleteAction(false);
    delete helpView;
    helpView = nullptr;
    if (startHelpView)
        startHelpView->show();
    ui->backGroundFrame->hide();

    releasePageSet();
    delayMs(PageSetWaitMs);
    updateButtonsPosition();
}

// The pages in file order, the status line, the tab widget with what it still holds, and the
// definition reader of the set.
void MainWindow::releasePageSet()
{
    deletingPages = true;
    firstTreePage = nullptr;
    const QList<Page *> old = std::exchange(pages, {});
    for (Page *page : old)
        delete page;
    delete statusLine;
    statusLine = nullptr;
    delete pageTabWidget;
    pageTabWidget = nullptr;
    delete pageDefinition;
    pageDefinition = nullptr;
    treePageIndexes.clear();
    tablePageIndexes.clear();
    deletingPages = false;
}

// Editors that show one image value on the first two tree pages are linked both ways: on/off pairs
// of equal bit addresses, number editors of equal byte addresses. The special-flat editors of every
// tree page drive, by position, the special-flat cells of the last table page that has them.
void MainWindow::linkPageItems()
{
    QList<OnOffButtonLinks> onOff;
    QList<NumberEditorLinks> numbers;
    QList<NumberEditorLinks> special;
    for (int index : qAsConst(treePageIndexes)) {
        const Page *page = pages.at(index);
        if (page->onOffButtonLinks().isEmpty())
            continue;
        onOff << page->onOffButtonLinks();
        numbers << page->numberEditorLinks();
        special << page->specialNumberEditorLinks();
    }
    QList<MyTableWidgetItem *> cells;
    for (int index : qAsConst(tablePageIndexes)) {
        const QList<MyTableWidgetItem *> items = pages.at(index)->specialFlatItems();
        if (!items.isEmpty())
            cells = items;
    }

    // A link made again by a table rebuild stays one connection.
    const auto link = [](QObject *from, const char *signal, QObject *to, const char *slot) {
        connect(from, signal, to, slot, Qt::UniqueConnection);
    };
    if (onOff.size() >= 2) {
        for (const auto &m : qAsConst(onOff[0])) {
            for (const auto &n : qAsConst(onOff[1])) {
                if (m.address == n.address && m.address.contains(QLatin1Char(':')) && m.editor && n.editor) {
                    link(m.editor, SIGNAL(sendOnOff(int)), n.editor, SLOT(setValue(int)));
                    link(n.editor, SIGNAL(sendOnOff(int)), m.editor, SLOT(setValue(int)));
                }
            }
        }
    }
    if (numbers.size() >= 2) {
        for (const auto &m : qAsConst(numbers[0])) {
            for (const auto &n : qAsConst(numbers[1])) {
                if (m.address == n.address && !m.address.contains(QLatin1Char(':')) && m.editor && n.editor) {
                    link(m.editor, SIGNAL(valueChanged(int)), n.editor, SLOT(setValue(int)));
                    link(n.editor, SIGNAL(valueChanged(int)), m.editor, SLOT(setValue(int)));
                }
            }
        }
    }
    for (const NumberEditorLinks &editors : qAsConst(special)) {
        for (int q = 0; q < editors.size() && q < cells.size(); ++q) {
            if (editors.at(q).editor && cells.at(q))
                link(editors.at(q).editor, SIGNAL(valueChanged(QString)), cells.at(q), SLOT(setValue(QString)));
        }
    }
}

// The flat-numbering question of a tree page. One that a command's commit raises (a tree number
// edit the commit finished) waits for the end of that commit; the question's own commit asks it
// once, whichever edit raised it.
void MainWindow::updatePagesQuestion(int number)
{
    if (committingEdits) {
        questionPage = number;
        return;
    }
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    questionPage = number;
    commitPageEdits();
}

// Ok rebuilds the table pages at once.
void MainWindow::askUpdatePages(int number)
{
    pageToShow = number;
    MyMessageBox box(ui->centralWidget, 260, 120);
    box.setWindowFlags(Qt::Window);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setText(UPADTE_PAGES_MESSAGE);
    connect(box.button(QMessageBox::Ok), SIGNAL(clicked()), this, SLOT(updateTables()));
    box.exec();
}

void MainWindow::updateTables()
{
    if (!pageTabWidget)
        return;
    commitPageEdits();
    emit saveTMTable();
    deletePagesToUpdate();
    rebuildPages();
    linkPageItems();
    dataModified = true;
}

void MainWindow::deletePagesToUpdate()
{
    deletingPages = true;
    for (int index : qAsConst(tablePageIndexes))
        delete std::exchange(pages[index], nullptr);
    deletingPages = false;
}

void MainWindow::rebuildPages()
{
    for (int index : qAsConst(tablePageIndexes)) {
        Page *page = newPage();
        pages[index] = page;
        pageTabWidget->insertTab(index, page->pageWidget()->widget(), QString());
        pageTabWidget->setCurrentIndex(index);
        buildTablePage(page, index);
    }
    if (pageToShow >= 0 && pageToShow < pages.size() && pages.at(pageToShow))
        pageTabWidget->setCurrentWidget(pages.at(pageToShow)->pageWidget()->widget());
    playSound();
    emit stateMenu(true);
    enableHelpAction(true);
}
