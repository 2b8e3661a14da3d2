// The table page: its build, its connections and its small slots (help texts, combo cells, the
// whole-column combo, the copy flags).

#include "page.h"

#include "editordelegate.h"
#include "mybutton.h"
#include "mycombobox.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "mytabwidget.h"
#include "numbertext.h"
#include "operationbin.h"
#include "pagewidget.h"
#include "screengeometry.h"
#include "tabledefinition.h"
#include "tableline.h"
#include "tableselection.h"
#include "xmldefinition.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

namespace {

constexpr int RowHeight = 20;
constexpr int ColumnPadding = 8;     // every column is its WIDTH and this wide
constexpr int GridExtraWidth = 20;   // room for the vertical scroll bar
constexpr int GridHeight = 415;
constexpr int ColumnComboTop = 4;
constexpr int ColumnComboLeft = 2;
constexpr int ColumnComboHeight = 20;

// The whole-column combo stands over the header only while its list is open.
class ColumnCombo : public QComboBox
{
public:
    using QComboBox::QComboBox;
    void hidePopup() override
    {
        QComboBox::hidePopup();
        hide();
    }
};

bool hasEditor(int cellType)
{
    switch (cellType) {
    case CellLockCode:
    case CellKeyCode:
    case CellKeyFlat:
    case CellCombo:
    case CellNameFlat:
    case CellName:
    case CellBlockNumber:
        return true;
    default:
        return false;
    }
}

// The table kind a column sets; NoTable for the index, computed-flat and combo columns.
int kindOfColumn(const QString &columnKind)
{
    if (columnKind == QLatin1String("CIPHER"))
        return LockCodeTable;
    if (columnKind == QLatin1String("TMCODE") || columnKind == QLatin1String("TMFLAT"))
        return KeyTable;
    if (columnKind == QLatin1String("DBNAME") || columnKind == QLatin1String("DBFLAT")
        || columnKind == QLatin1String("DBBNUMBER"))
        return NameTable;
    return NoTable;
}

}

// ---- operations -------------------------------------------------------------------------------------

Page::RunningOperation::RunningOperation(Page *page)
    : m_page(page)
    , m_hold(page->m_roadGate)
{
    ++page->m_operationDepth;
}

Page::RunningOperation::~RunningOperation()
{
    if (!m_page || --m_page->m_operationDepth > 0 || !m_page->m_unservicedFlatPending)
        return;
    m_page->m_unservicedFlatPending = false;
    m_page->showUnservicedFlatWarning();
}

void Page::warnUnservicedFlat()
{
    if (m_operationDepth > 0)
        m_unservicedFlatPending = true;
    else
        showUnservicedFlatWarning();
}

void Page::showUnservicedFlatWarning()
{
    const RoadGate::PageHold hold(m_roadGate);
    const TableLine *first = tableLine(1);
    QMessageBox box(QMessageBox::Warning, QString(), first ? first->menuTexts[5] : QString(), QMessageBox::Ok);
    box.exec();
}

// ---- accessors --------------------------------------------------------------------------------------

// Column j's width on the screen: the header line's WIDTH and the padding.
int Page::columnWidth(int j) const
{
    return ScreenGeometry::extent(qint64(m_columnWidths.value(j)) + ColumnPadding);
}

TableLine *Page::tableLine(int k) const
{
    return k >= 0 && k <= m_tableSize && size_t(k) < m_tableLines.size() ? m_tableLines[size_t(k)].get() : nullptr;
}

QComboBox *Page::columnCombo() const
{
    return m_columnCombo.data();
}

QMenu *Page::tableMenu() const
{
    return m_tableMenu.data();
}

MyTableWidgetItem *Page::cellAt(int row, int column) const
{
    const TableLine *line = lineOfRow(row);
    return line && column >= 0 ? line->cells().value(column) : nullptr;
}

// ---- build --------------------------------------------------------------------------------------------

void Page::createTablePage(int page)
{
    if (m_tableBuilt || m_pageWidget->treeCreated() || !m_definition)
        return;
    RunningOperation running(this);
    m_pageNumber = page;
    m_pageWidget->createTable();
    MyTableWidget *grid = tableWidget();
    connect(m_pageWidget, &PageWidget::control_Tab, this, &Page::control_Tab);

    m_columnCombo = new ColumnCombo(m_pageWidget->container());
    m_columnCombo->hide();

    m_tableDefinition = std::make_unique<TableDefinition>(m_definition);
    m_tableDefinition->load(page);
    m_columnCount = m_definition->tableColumnCount(page);
    setTabTitle(m_definition->pageName(page));

    // The side panel (the WIDGETS section; empty for tables without one).
    m_panelLine = std::make_unique<TableLine>();
    m_panelLine->setParentWidget(m_pageWidget->container());
    m_panelLine->setDefinition(0, 2, m_tableDefinition.get(), page);
    m_panelLine->setImage(m_image);
    m_panelLine->createWidgets();
    m_panelLine->setHelpLineEdit(m_helpLineEdit);
    m_tableBuilt = true;

    // The header line reads the table's size. A size the line table cannot hold, or none, gives a
    // table without rows.
    auto header = std::make_unique<TableLine>();
    header->setTableWidget(grid);
    header->setDefinition(0, 0, m_tableDefinition.get(), page);
    header->setImage(m_image);
    header->readTableDim();
    m_tableSize = header->tableSize >= 1 && header->tableSize <= MaxTableSize ? header->tableSize : 0;
    const int indexMin = header->indexMin;
    m_tableLines.clear();
    m_tableLines.reserve(size_t(m_tableSize) + 1);
    m_tableLines.push_back(std::move(header));

    for (int k = 1; k <= m_tableSize; ++k) {
        auto line = std::make_unique<TableLine>();
        line->setErrorMessage(m_errorText);
        line->setTableWidget(grid);
        line->setRowNumber(k);
        line->setDefinition(0, 1, m_tableDefinition.get(), page);
        line->setImage(m_image);
        line->setFlatParamAddresses(m_flatUpStairsAddress, m_shiftRangeAddress, m_flatMinAddress, m_flatMaxAddress,
                                    m_specialFlatAddresses);
        line->setHelpLineEdit(m_helpLineEdit);
        m_tableLines.push_back(std::move(line));
    }

    TableLine *first = tableLine(1);
    if (first) {
        first->readLineDefinition();
        const int key = NumberText::parse(first->menuTexts[4], 16);
        grid->setColumnSelectKey(key > 0 ? key : 0);
        computeRowAddresses(first, indexMin);
    }

    // The grid: rows 20 pixels high, every column its width and 8 pixels.
    grid->setRowCount(m_tableSize);
    QHeaderView *rows = grid->verticalHeader();
    rows->setMinimumSectionSize(qMin(rows->minimumSectionSize(), RowHeight));
    rows->setDefaultSectionSize(RowHeight);
    grid->setColumnCount(m_columnCount);
    grid->horizontalHeader()->setMinimumSectionSize(ColumnPadding);
    m_tableLines.front()->setHeader(grid);
    m_columnWidths = m_tableLines.front()->columnWidths();
    qint64 gridWidth = GridExtraWidth;
    for (int j = 0; j < m_columnCount; ++j) {
        const int width = columnWidth(j);
        grid->setColumnWidth(j, width);
        gridWidth += width;
    }
    grid->setGeometry(ScreenGeometry::rect(0, 0, gridWidth, GridHeight));

    if (m_tableSize > 0)
        setupProgressDialog(1, m_tableSize, page, m_creatingText);

    // The legend of the table sections, when the table has sections and the panel a place for it.
    if (first && first->hasSections && m_panelLine->hasSections) {
        for (int r = 0; r < 3; ++r) {
            if (QLineEdit *text = m_panelLine->legendEdits[size_t(r)]) {
                text->setText(first->sectionTexts[size_t(r)]);
                text->setCursorPosition(0); // a text longer than its field shows its beginning
            }
            if (QLabel *swatch = m_panelLine->legendLabels[size_t(r)])
                swatch->setStyleSheet(QStringLiteral("background-color:") + first->sectionColors[size_t(r)]);
        }
    }

    // The cells, each row in the colour of its section; the index cell shows the row's position.
    QBrush sectionBrushes[3];
    const bool sections = first && first->hasSections;
    if (sections) {
        for (int i = 0; i < 3; ++i) {
            const QColor colour(first->sectionColors[size_t(i)]);
            if (colour.isValid())
                sectionBrushes[i] = QBrush(colour);
        }
    }
    for (int k = 1; k <= m_tableSize; ++k) {
        TableLine *line = tableLine(k);
        line->setColumnCount(m_columnCount);
        // The cells are finished before the grid takes them: each later change would be a cell
        // change the grid reports and repaints.
        line->createLineItems();
        if (sections) {
            const QBrush &brush = k <= first->sectionLimits[0] ? sectionBrushes[0]
                                  : k <= first->sectionLimits[1] ? sectionBrushes[1]
                                                                 : sectionBrushes[2];
            if (brush.style() != Qt::NoBrush) {
                for (MyTableWidgetItem *cell : line->cells())
                    if (cell)
                        cell->setBackground(brush);
            }
        }
        if (MyTableWidgetItem *index = line->indexCell())
            index->setDisplayText(QString::number(qint64(indexMin) + k - 1));
        line->insertLine(k - 1, grid);
        setProgressValue(k);
    }

    // An editor for every editable column of a table that has a kind.
    if (first && tableKind() != NoTable) {
        const QList<MyTableWidgetItem *> cells = first->cells();
        for (int j = 0; j < m_columnCount && j < cells.size(); ++j) {
            const MyTableWidgetItem *cell = cells.at(j);
            if (!cell || !hasEditor(cell->cellType()))
                continue;
            auto *delegate = new EditorDelegate(grid);
            delegate->setBase(cell->base());
            delegate->setMinimum(cell->minimum());
            delegate->setMaximum(cell->maximum());
            delegate->setMaxLength(cell->maxLength());
            delegate->setMarkedTextColor(cell->textColor());
            delegate->setSelectionTextColor(cell->changedColor());
            grid->setItemDelegateForColumn(j, delegate);
        }
    }

    closeProgress();
    connectTablePage();

    // The computed-flat cells of the special-flat rows, which the tree pages' special-flat editors
    // drive. Special positions start at FLAT_NR_START; a table without one has none.
    if (first && m_columnCount > 6 && first->flatNumberStart >= 1) {
        for (int k = first->flatNumberStart; k <= m_tableSize; ++k) {
            const TableLine *line = tableLine(k);
            if (line->hasTextTableCell())
                if (auto *cell = dynamic_cast<MyTableWidgetItem *>(line->textTableCell()))
                    m_specialFlatItemList << cell;
        }
    }
}

// Every row's image addresses from the first data line's bases: position o = INDEX_MIN + k - 1 of
// line k. Combo columns share the word of the first combo column, each with its own bits.
void Page::computeRowAddresses(TableLine *first, int indexMin)
{
    const QList<int> layout = first->dbRecordLayout();
    const int recordLength = layout.value(0);
    const int nameBytes = layout.value(1);
    const int flatBytes = layout.value(2);
    m_nameFieldBytes = nameBytes;

    const QStringList kinds = first->columnKinds();
    const QStringList bits = first->bitAddresses();
    QVector<int> comboColumns;
    QStringList ranges;
    for (int c = 0; c < kinds.size(); ++c) {
        ranges << TableLine::bitRange(bits.value(c));
        if (kinds[c] == QLatin1String("CB"))
            comboColumns << c;
    }
    const bool hasCombo = first->firstComboColumn != TableLine::NoComboColumn;
    int kind = NoTable;
    bool keyCode = false;
    for (const QString &columnKind : kinds) {
        const int k = kindOfColumn(columnKind);
        if (k != NoTable)
            kind = k;
        keyCode = keyCode || columnKind == QLatin1String("TMCODE");
    }

    // Worked out in 64 bits, which no product of definition numbers outgrows; an address outside
    // the image's address space reads nothing and takes no write.
    const qint64 comboBase = hasCombo ? first->getAddress(0) : 0;
    const qint64 cipherBase = first->getAddress(1);
    const qint64 codeBase = first->getAddress(2);
    const qint64 flatBase = first->getAddress(3);
    const qint64 nameBase = first->getAddress(4);
    const int flatNumberStart = first->flatNumberStart;
    for (int k = 1; k <= m_tableSize; ++k) {
        TableLine *line = tableLine(k);
        const qint64 position = qint64(indexMin) + k - 1;
        const qint64 name = nameBase + position * recordLength;
        line->setFlatNumberStart(flatNumberStart);
        line->setIndexMin(indexMin);
        line->firstComboColumn = first->firstComboColumn;
        if (hasCombo) {
            QStringList list = bits;
            const QString word = QString::number(OperationBin::boundedAddress(comboBase + 2 * position));
            for (int c : qAsConst(comboColumns))
                list[c] = word + ranges.at(c);
            line->setBitAddresses(list);
        }
        for (const QString &columnKind : kinds) {
            if (columnKind == QLatin1String("CIPHER"))
                line->setAddress(OperationBin::boundedAddress(cipherBase + 2 * position), 1);
            else if (columnKind == QLatin1String("TMCODE"))
                line->setAddress(OperationBin::boundedAddress(codeBase + 2 * position), 2);
            else if (columnKind == QLatin1String("TMFLAT"))
                line->setAddress(OperationBin::boundedAddress(flatBase + position), 3);
            else if (columnKind == QLatin1String("DBNAME"))
                line->setAddress(OperationBin::boundedAddress(name), 4);
            else if (columnKind == QLatin1String("DBFLAT"))
                line->setAddress(OperationBin::boundedAddress(name + nameBytes), 5);
            else if (columnKind == QLatin1String("DBBNUMBER"))
                line->setAddress(OperationBin::boundedAddress(name + nameBytes + flatBytes), 6);
        }
    }
    tableWidget()->setTableKind(kind);
    m_keyReaderFlag = keyCode ? 1 : 0;
}

void Page::connectTablePage()
{
    MyTableWidget *grid = tableWidget();
    connect(grid, &MyTableWidget::sendModelIndex, this, &Page::showPopUpComb);
    connect(grid, &MyTableWidget::control_C, this, &Page::getcopyCellsIndexes);
    connect(grid, &MyTableWidget::control_V, this, &Page::getPastCellsIndexes);
    connect(grid, QOverload<>::of(&MyTableWidget::deleteKey), this, &Page::deleteCells);
    connect(grid, &QTableWidget::cellEntered, this, &Page::viewHelp);
    connect(grid, &QTableWidget::cellEntered, this, &Page::hideHelp);
    connect(grid, &QTableWidget::cellClicked, this, &Page::viewHelp);
    connect(grid, &MyTableWidget::rowColumnHelp, this, &Page::viewHelp);
    connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &Page::selectedColumn);
    connect(grid, &MyTableWidget::sectionPressed, this, &Page::selectedColumn);
    connect(m_columnCombo.data(), QOverload<int>::of(&QComboBox::activated), this, &Page::setBoxValueForColumn);

    // The side panel's key reader, searches and found list, as far as the panel has them.
    const TableLine *panel = m_panelLine.get();
    if (panel->panelTextPresent[TableLine::PanelText1]) {
        if (m_image)
            connect(m_image, &OperationBin::newSignal, this, &Page::processData);
        connect(this, &Page::TMData, this, &Page::setSerialNumber);
        connect(this, &Page::TMData, this, &Page::newKeyRead);
        connect(this, &Page::TMData, this, &Page::addNewTMCodeToFreePosition);
        connect(this, &Page::TMData, this, &Page::addTMCodeToFlat);
        connect(this, &Page::TMData, this, &Page::addTMCodeToSelectedPosition);
        connect(this, &Page::TMData, this, &Page::scrollToTMCode);
    }
    if (panel->panelTextPresent[TableLine::PanelText2]) {
        if (m_image)
            connect(m_image, &OperationBin::sendTMkeyLongSerialNumber, this, &Page::processLongSerial);
        connect(this, &Page::TMLSerial, this, &Page::setLongSerialNUmber);
    }
    if (QAbstractButton *button = panelButton(4))
        connect(button, &QAbstractButton::clicked, this, &Page::findFlat);
    if (QAbstractButton *button = panelButton(6))
        connect(button, &QAbstractButton::clicked, this, &Page::findDuplicates);
    if (MyTableWidget *found = foundList()) {
        connect(found, &MyTableWidget::itemPressed, this, &Page::scrolToPosition);
        connect(found, &MyTableWidget::goToCell, this, &Page::scrolToPosition);
        connect(found, &MyTableWidget::rightMenu, this, &Page::findMouseMenu);
    }

    // A changed cell is written into the image before it is re-formatted.
    connect(grid, &QTableWidget::cellChanged, this, &Page::dataBaseSave);
    connect(grid, &QTableWidget::cellChanged, this, QOverload<int, int>::of(&Page::saveTMTable));
    connect(grid, &QTableWidget::cellChanged, this, &Page::codeChipChanged);
    connect(grid, &QTableWidget::cellChanged, this, &Page::actualItem);
    connect(grid, &MyTableWidget::rightMenu, this, &Page::tabMouseMenu);
    connect(grid, &QTableWidget::itemSelectionChanged, this, &Page::enableCopyData);
    connect(grid, &MyTableWidget::itemSelected, this, &Page::enableCopyData);
    connect(grid, &MyTableWidget::tableLeaved, this, &Page::tabEntered);
}

// ---- small table slots ----------------------------------------------------------------------------------

void Page::viewHelp(int row, int column)
{
    TableLine *line = lineOfRow(row);
    if (!line)
        return;
    line->viewHelp(column);
    m_helpColumn = column;
    m_helpRow = row;
}

void Page::hideHelp(int, int)
{
}

void Page::tabEntered()
{
    if (m_helpLineEdit)
        m_helpLineEdit->clear();
}

// The cell's combo box is made here, on the first click, and placed over the cell in the grid's
// viewport; it stays there, in step with the cell, for the page's life.
void Page::showPopUpComb(const QModelIndex &modelIndex)
{
    MyTableWidget *grid = tableWidget();
    if (!grid || !modelIndex.isValid())
        return;
    MyTableWidgetItem *cell = cellAt(modelIndex.row(), modelIndex.column());
    if (!cell || cell->cellType() != CellCombo)
        return;
    MyComboBox *box = cell->comboBox();
    if (box->parentWidget() != grid->viewport())
        box->setParent(grid->viewport());
    box->setGeometry(grid->visualRect(modelIndex));
    box->show();
    box->popUp();
}

void Page::selectedColumn(int column)
{
    QComboBox *combo = m_columnCombo;
    if (!combo)
        return;
    combo->clear();
    const TableLine *first = tableLine(1);
    const MyTableWidgetItem *cell = first && column >= 0 ? first->cells().value(column) : nullptr;
    if (!cell || cell->cellType() != CellCombo) {
        combo->hide();
        return;
    }
    qint64 left = ColumnComboLeft;
    for (int j = 0; j < column; ++j)
        left += columnWidth(j);
    combo->setGeometry(ScreenGeometry::rect(left, ColumnComboTop, columnWidth(column), ColumnComboHeight));
    combo->addItems(first->comboItemLists().value(column));
    m_comboColumn = column;
    combo->show();
    combo->raise();
    combo->showPopup();
}

void Page::setBoxValueForColumn(int index)
{
    MyTableWidget *grid = tableWidget();
    if (m_comboColumn < 0 || !grid)
        return;
    CellRuns changed(grid->model());
    for (int k = 1; k <= m_tableSize; ++k) {
        MyTableWidgetItem *cell = cellAt(k - 1, m_comboColumn);
        if (!cell || cell->cellType() != CellCombo || index < 0 || index >= cell->count())
            continue;
        cell->setCurrentIndex(index);
        changed.add(k - 1, m_comboColumn);
    }
    grid->selectionModel()->select(changed.selection(), QItemSelectionModel::Deselect);
}

void Page::enableCopyData()
{
    m_copyAllowed = true;
    m_copyMenuEnabled = true;
}

void Page::disableCopy()
{
    m_copyAllowed = false;
}
