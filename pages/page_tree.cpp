// The tree page: its build, the slots its tree view and lines reach, and its parameter queries.

#include "page.h"

#include "custombutton.h"
#include "mycombobox.h"
#include "mylineboxedit.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "mytreeview.h"
#include "pagewidget.h"
#include "treeline.h"
#include "treemodel.h"
#include "treepagedefinitions.h"
#include "xmldefinition.h"

#include <QStandardItemModel>

#include <numeric>

namespace {

const QString Transparent = QStringLiteral("transparent");

}

int Page::lineCount(int headLine) const
{
    return headLine >= 0 && headLine < m_linesPerHeadLine.size() ? m_linesPerHeadLine[headLine] : 0;
}

TreeLine *Page::treeLine(int headLine, int line) const
{
    if (headLine < 0 || headLine >= int(m_treeLines.size()))
        return nullptr;
    const auto &group = m_treeLines[headLine];
    return line >= 0 && line < int(group.size()) ? group[line].get() : nullptr;
}

TreeLine *Page::lineAt(int currentChildRow, int currentParentRow) const
{
    if (currentChildRow == MyTreeView::HeadRow)
        return treeLine(currentParentRow, 0);
    if (currentChildRow < 0)
        return nullptr;
    return treeLine(currentParentRow, currentChildRow + 1);
}

template <typename Visit>
void Page::forEachLine(Visit visit) const
{
    for (const auto &group : m_treeLines)
        for (std::size_t j = 1; j < group.size(); ++j)
            visit(*group[j]);
}

template <typename Visit>
void Page::forEachRow(Visit visit) const
{
    for (const auto &group : m_treeLines)
        for (const auto &line : group)
            visit(*line);
}

void Page::createTreePage(int page)
{
    m_pageNumber = page;
    m_treeModel = std::make_unique<TreeModel>(m_definition);
    m_treeModel->build(page);
    m_pageWidget->createTree();
    connect(m_pageWidget, &PageWidget::control_Tab, this, &Page::control_Tab);
    MyTreeView *tree = treeView();
    QStandardItemModel *model = m_treeModel->model();
    tree->setModel(model);

    m_headLineCount = m_definition->readHeadLineCounts(page);
    m_linesPerHeadLine = m_definition->linesPerHeadLine(page);
    m_treePageDefinitions = std::make_unique<TreePageDefinitions>(m_definition);
    m_treePageDefinitions->load(page);
    setTabTitle(m_definition->pageName(page));

    const int total = std::accumulate(m_linesPerHeadLine.cbegin(), m_linesPerHeadLine.cend(), 0);
    const RoadGate::PageHold hold(m_roadGate);   // the progress dialog lets events run
    setupProgressDialog(0, total - 1, page, m_creatingText);
    int progress = 0;

    m_treeLines.resize(m_headLineCount);
    for (int h = 0; h < m_headLineCount; ++h) {
        auto &group = m_treeLines[h];
        group.reserve(lineCount(h) + 1);
        TreeLine *head = new TreeLine(h, 0);
        group.emplace_back(head);
        head->setTreeModel(m_treeModel.get());
        head->setIndexes(h, 0, m_treePageDefinitions.get());
        head->setHelpLineEdit(m_helpLineEdit);
        head->setMessageParent(tree);
        head->setImage(m_image);
        head->insertIntoTree(h, m_treeModel->rootIndex(), model, tree);
        if (head->bgColor() != Transparent)
            m_treeModel->setRowColor(h, 0, head->bgColor());
        const QString changedColor = head->bgColorDiff();
        const QModelIndex headRow = m_treeModel->rowIndex(h, 0);

        for (int j = 1; j <= lineCount(h); ++j) {
            TreeLine *line = new TreeLine(h, j);
            group.emplace_back(line);
            line->setTreeModel(m_treeModel.get());
            line->setImage(m_image);
            line->setIndexes(h, j, m_treePageDefinitions.get());
            line->setHelpLineEdit(m_helpLineEdit);
            line->setMessageParent(tree);
            tree->expand(headRow);
            line->insertIntoTree(j - 1, headRow, model, tree);
            if (line->bgColor() != Transparent)
                m_treeModel->setRowColor(h, j, line->bgColor());
            line->setBGColorDiff(changedColor);

            const QString address = line->eepromAddress();
            m_onOffButtonLinkList.append({address, line->onOffButton()});
            m_numberEditorLinkList.append({address, line->numberEditor()});
            if (line->isAdditionalNumber())
                m_specialNumberEditorLinkList.append({address, line->numberEditor()});
            setProgressValue(++progress);
        }
        tree->collapse(headRow);
    }
    tree->setAlternatingRowColors(true);
    closeProgress();

    connectTreeLines();
    connect(tree, qOverload<int, int>(&MyTreeView::currentIndex), this, &Page::showText);
    connect(tree, &MyTreeView::enterCurrentIndex, this, &Page::setFocusInTree);
    connect(tree, &QTreeView::collapsed, this, &Page::changeHeadLineBG);
}

void Page::connectTreeLines()
{
    for (int h = 0; h < m_headLineCount; ++h) {
        const auto &group = m_treeLines[h];
        TreeLine *first = lineCount(h) > 0 ? group[1].get() : nullptr;
        for (const auto &entry : group) {
            TreeLine *line = entry.get();
            connect(line, &TreeLine::widgetEnterPressed, this, &Page::setFocusOutTree);
            connect(line, &TreeLine::widgetEnterReleased, this, &Page::setFocusOutTree);
            connect(line, &TreeLine::widgetMouseReleased, this, &Page::setFocusOutTree);
            connect(line, &TreeLine::defaultButtonClicked, line, [this, line] {
                const RoadGate::PageHold hold(m_roadGate);
                line->showOkCancelFrame();
            });
            connect(line, &TreeLine::valueIdChanged, this, &Page::emitPageNumber);
            if (!first)
                continue;
            // The group's restore-defaults button (its first line) resets every line of the group
            // by the kind of its editor, then the page checks the flat numbering, once the resets
            // have all run.
            if (first->hasInitButton()) {
                const QString kind = line->objectName();
                if (kind == QLatin1String("button"))
                    connect(first, &TreeLine::buttonBoxAccepted, line, &TreeLine::setDefaultValueOnOff);
                else if (kind == QLatin1String("spinBox"))
                    connect(first, &TreeLine::buttonBoxAccepted, line, &TreeLine::setDefaultValueForSpinBox);
                else if (kind == QLatin1String("comboBox"))
                    connect(first, &TreeLine::buttonBoxAccepted, line, &TreeLine::setDefaultValueForComb);
            }
            if (line->hasInitButton())
                connect(first, &TreeLine::buttonBoxAccepted, this, &Page::checkUpStairsShiftRangeValues,
                        Qt::QueuedConnection);
        }
    }
    if (m_headLineCount > 0)
        connect(this, &Page::checkCondition, treeLine(0, 0), &TreeLine::valueIdChanged, Qt::QueuedConnection);
}

void Page::showText(int currentChildRow, int currentParentRow)
{
    TreeLine *line = lineAt(currentChildRow, currentParentRow);
    if (!line)
        return;
    if (currentChildRow == MyTreeView::HeadRow && line->helpText().isEmpty())
        line->hideHelp();
    else
        line->viewHelp();
}

void Page::setFocusInTree(int currentChildRow, int currentParentRow)
{
    MyTreeView *tree = treeView();
    TreeLine *line = lineAt(currentChildRow, currentParentRow);
    if (!tree || !tree->hasFocus() || !line)
        return;
    // Every line has a number editor, hidden unless its definition shows one: only a shown one
    // takes the focus.
    if (currentChildRow == MyTreeView::HeadRow) {
        if (line->hasNumberEditor()) {
            line->numberEditor()->setEnabled(true);
            line->numberEditor()->setFocus(Qt::OtherFocusReason);
        }
        if (line->hasTextEditor())
            line->textEditor()->setFocus(Qt::OtherFocusReason);
        if (line->hasCombo())
            line->comboBox()->popUp();
        return;
    }
    if (line->hasNumberEditor()) {
        line->numberEditor()->setEnabled(true);
        line->numberEditor()->setFocus(Qt::OtherFocusReason);
    } else if (line->hasCombo()) {
        line->comboBox()->popUp();
    } else if (line->hasOnOffButton()) {
        line->onOffButton()->setFocus();
        line->onOffButton()->cilckOnEnterPress();
    } else if (line->hasInitButton()) {
        line->initButton()->setFocus(Qt::OtherFocusReason);
        line->initButton()->pressDown();
    } else if (line->hasTextEditor()) {
        line->textEditor()->setFocus(Qt::OtherFocusReason);
    }
}

void Page::setFocusOutTree()
{
    MyTreeView *tree = treeView();
    if (tree && !tree->hasFocus())
        tree->setFocus(Qt::OtherFocusReason);
}

void Page::emitPageNumber()
{
    emit updatePage(m_pageNumber);
}

void Page::changeHeadLineBG(const QModelIndex &index)
{
    if (!index.isValid() || index.parent().isValid() || !m_treeModel)
        return;
    const int h = index.row();
    if (h >= m_headLineCount)
        return;
    for (const auto &line : m_treeLines[h]) {
        if (line->isChanged()) {
            if (!line->bgColorDiff().isEmpty())
                m_treeModel->setRowColor(h, 0, line->bgColorDiff());
            return;
        }
    }
}

void Page::checkUpStairsShiftRangeValues()
{
    // A value that no longer shows its last accepted text was changed by the reset; it becomes the
    // accepted one. Each line of a UID decides its flag anew: with several, the last one counts.
    bool shiftChanged = false;
    bool stairsChanged = false;
    forEachLine([&shiftChanged, &stairsChanged](TreeLine &line) {
        const QString uid = line.uid();
        const QString shown = line.numberEditor() ? line.numberEditor()->text() : QString();
        if (uid == QLatin1String("ShiftRange")) {
            shiftChanged = line.shiftRangeText() != shown;
            if (shiftChanged)
                line.setShiftRangeText(shown);
        } else if (uid == QLatin1String("FlatUpStairs")) {
            stairsChanged = line.flatUpStairsText() != shown;
            if (stairsChanged)
                line.setFlatUpStairsText(shown);
        }
    });
    if (shiftChanged || stairsChanged)
        emit checkCondition();
}

QString &Page::scanAddress(QString &member, QString (TreeLine::*address)() const)
{
    forEachLine([&member, address](TreeLine &line) {
        const QString found = (line.*address)();
        if (!found.isEmpty() && found != QLatin1String("-1"))
            member = found;
    });
    return member;
}

QString Page::getFlatUpStairsAddress()
{
    return scanAddress(m_flatUpStairsAddress, &TreeLine::flatUpStairsAddress);
}

QString Page::getShiftRangeAddress()
{
    return scanAddress(m_shiftRangeAddress, &TreeLine::shiftRangeAddress);
}

QString Page::getFlatMinAddress()
{
    return scanAddress(m_flatMinAddress, &TreeLine::flatMinAddress);
}

QString Page::getFlatMaxAddress()
{
    return scanAddress(m_flatMaxAddress, &TreeLine::flatMaxAddress);
}

QString Page::getBlocNumberAddress()
{
    return scanAddress(m_blocNumberAddress, &TreeLine::blocNumberAddress);
}

QStringList Page::getSpecialFlatAddresses() const
{
    QStringList addresses;
    forEachLine([&addresses](TreeLine &line) {
        if (line.isAdditionalNumber())
            addresses << line.additionalNumberAddress();
    });
    return addresses;
}

QString Page::scanValue(const QString &uid, QString (*text)(const TreeLine &)) const
{
    QString value;
    forEachRow([&](TreeLine &line) {
        if (line.uid() == uid)
            value = text(line);
    });
    return value;
}

namespace {

template <typename Widget>
QString textOf(const Widget *widget)
{
    return widget ? widget->text() : QString();
}

}

QString Page::getSerialNumber() const
{
    return scanValue(QStringLiteral("SN"), [](const TreeLine &line) { return textOf(line.serialNumberWidget()); });
}

QString Page::getDataTypeId() const
{
    return scanValue(QStringLiteral("IDD"), [](const TreeLine &line) {
        if (line.hasNumberEditor())
            return textOf(line.iddEditor());
        if (line.hasCombo() && line.iddCombo())
            return line.iddCombo()->currentText();
        return QString();
    });
}

QString Page::getObjectId() const
{
    return scanValue(QStringLiteral("IDO"), [](const TreeLine &line) { return textOf(line.idoEditor()); });
}

QString Page::getBlocNumber() const
{
    return scanValue(QStringLiteral("blocNumber"), [](const TreeLine &line) { return textOf(line.blocNumberEditor()); });
}
