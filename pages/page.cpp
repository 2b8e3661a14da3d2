#include "page.h"

#include "editordelegate.h"
#include "mylineboxedit.h"
#include "mytablewidget.h"
#include "mytreeview.h"
#include "pagewidget.h"
#include "progresssize.h"
#include "tabledefinition.h"
#include "tableline.h"
#include "treeline.h"
#include "treemodel.h"
#include "treepagedefinitions.h"
#include "webline.h"
#include "weblistdata.h"

#include <QProgressDialog>
#include <QMenu>
#include <QTabWidget>

namespace {

// The progress dialog's place and size, in the main window's coordinates: at its bottom left.
constexpr int ProgressWidth = 260;
constexpr int ProgressHeight = 40;
constexpr int ProgressBottomMargin = 35;
// The largest page number a label shows; paste and import pass 100 to show none.
constexpr int LargestShownNumber = 99;

}

Page::Page(QTabWidget *tabParent, XmlDefinition *definition, OperationBin *image)
    : m_pageWidget(new PageWidget(tabParent))
    , m_definition(definition)
    , m_tabParent(tabParent)
    , m_image(image)
{
}

Page::~Page()
{
    // Lines first: they refer to the model, the accessors and the widgets.
    m_treeLines.clear();
    m_webLine.reset();
    m_tableLines.clear();
    m_panelLine.reset();
    // The last context menu of a table page, which has no parent.
    delete m_tableMenu.data();
    // Then the widgets: the view, the container with every widget placed in it, and the tab.
    delete m_pageWidget;
    m_treeModel.reset();
    m_treePageDefinitions.reset();
    m_webListData.reset();
    delete m_progressDialog.data();
}

MyTableWidget *Page::tableWidget() const
{
    return m_pageWidget->table();
}

MyTreeView *Page::treeView() const
{
    return m_pageWidget->tree();
}

QProgressDialog *Page::progressDialog() const
{
    return m_progressDialog;
}

int Page::tableKind() const
{
    const MyTableWidget *table = tableWidget();
    return table ? table->tableKind() : 0;
}

void Page::setTabTitle(const QString &title)
{
    if (!m_tabParent)
        return;
    const int index = m_tabParent->indexOf(m_pageWidget->widget());
    if (index >= 0)
        m_tabParent->setTabText(index, title);
}

void Page::setupProgressDialog(int minimum, int maximum, int number, const QString &text)
{
    if (!m_progressDialog) {
        // Made here, not with the page: Qt's progress dialog starts its show timer when it is
        // constructed, so a dialog made with every page would show itself, empty, four seconds
        // after a build that never used it.
        m_progressDialog = new QProgressDialog(m_mainWindow, Qt::Dialog | Qt::FramelessWindowHint);
        m_progressDialog->setCancelButton(nullptr);
    }
    QProgressDialog *dialog = m_progressDialog;
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setLabelText(number + 1 <= LargestShownNumber ? text + QLatin1Char(' ') + QString::number(number + 1) : text);
    QPoint corner(0, 0);
    if (m_mainWindow)
        corner = m_mainWindow->mapToGlobal(QPoint(0, m_mainWindow->height() - ProgressBottomMargin));
    dialog->move(corner);
    fixProgressDialogSize(dialog, ProgressWidth, ProgressHeight);
    dialog->setRange(minimum, maximum);
    dialog->setAutoClose(true);
    if (m_progressMinimumDuration >= 0)
        dialog->setMinimumDuration(m_progressMinimumDuration);
    dialog->reset(); // hidden, its show timer stopped until the first value
    m_progressStarted = false;
}

void Page::setProgressValue(int value)
{
    QProgressDialog *dialog = m_progressDialog;
    if (!dialog || value > dialog->maximum())
        return;
    if (!m_progressStarted) {
        m_progressStarted = true;
        dialog->setValue(dialog->minimum()); // starts the clock of the minimum duration
    }
    dialog->setValue(value);
}

void Page::closeProgress()
{
    if (m_progressDialog) {
        m_progressDialog->reset();
        m_progressDialog->hide();
    }
    m_progressStarted = false;
}

void Page::setFlatParameters(const QString &blocNumber, const QString &flatUpStairs, const QString &shiftRange,
                             const QString &flatMin, const QString &flatMax, const QStringList &special)
{
    m_blocNumberAddress = blocNumber;
    m_flatUpStairsAddress = flatUpStairs;
    m_shiftRangeAddress = shiftRange;
    m_flatMinAddress = flatMin;
    m_flatMaxAddress = flatMax;
    m_specialFlatAddresses = special;
    m_specialFlatCount = special.size();
}

void Page::commitOpenEditor()
{
    if (MyTableWidget *grid = tableWidget()) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (auto *delegate = qobject_cast<EditorDelegate *>(grid->itemDelegateForColumn(column)))
                delegate->commitOpenEditor();
        }
    }
    for (const auto &group : m_treeLines) {
        for (const auto &line : group) {
            MyLineBoxEdit *editor = line->numberEditor();
            if (editor && editor->hasFocus()) {
                editor->restoreIfBelowMinimum();
                line->sendValueId();
            }
        }
    }
}
