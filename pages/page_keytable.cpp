// The key table's reader modes: each key code the image object reads from the programming
// interface reaches the key-table page on the current tab, which shows it and adds it to the first
// free position (Add), adds it with a flat (Add to flat), puts it at the selected position (Add to
// position) or looks it up (Verify key), by the panel's mode button that is down.

#include "page.h"

#include "globals.h"
#include "mybutton.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "pagesound.h"
#include "pagewidget.h"
#include "tableline.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>

namespace {

enum PanelButton { AddButton = 1, AddToFlatButton = 2, AddToPositionButton = 3, VerifyButton = 5 };

// A key code as the key-code column holds it: four hexadecimal digits. The reader also sends
// "ERROR" and, from a garbled record, anything else.
bool isKeyCode(const QString &code)
{
    if (code.size() != 4)
        return false;
    for (const QChar c : code) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

}

// ---- what the modes share -------------------------------------------------------------------------

void Page::setKeyClock(KeyRepeatFilter::Clock clock)
{
    m_keyFilter.setClock(std::move(clock));
}

bool Page::acceptsKeys() const
{
    const QWidget *container = m_pageWidget ? m_pageWidget->widget() : nullptr;
    return m_tableBuilt && !operationRunning() && container && !container->isHidden();
}

QLineEdit *Page::panelEdit(int field) const
{
    static const std::array<int, 6> flags{TableLine::PanelText1, TableLine::PanelText2, TableLine::PanelText3, -1,
                                          TableLine::PanelText5, -1};
    const TableLine *panel = panelLine();
    const int flag = field >= 1 && field <= 5 ? flags[size_t(field - 1)] : -1;
    if (!panel || flag < 0 || !panel->panelTextPresent[size_t(flag)])
        return nullptr;
    return panel->panelEdits[size_t(field - 1)];
}

QAbstractButton *Page::panelButton(int n) const
{
    const TableLine *panel = panelLine();
    if (!panel || n < 1 || n > 6 || !panel->panelButtonPresent[size_t(n - 1)])
        return nullptr;
    return panel->panelButtons[size_t(n - 1)];
}

bool Page::modeActive(int button) const
{
    const QAbstractButton *b = panelButton(button);
    return b && b->isChecked();
}

int Page::lineHoldingCode(const QString &code) const
{
    for (int k = 1; k <= m_tableSize; ++k) {
        if (tableLine(k)->hasTMCode(code))
            return k;
    }
    return 0;
}

int Page::firstFreeLine() const
{
    for (int k = 1; k <= m_tableSize; ++k) {
        if (tableLine(k)->isCellEmpty(CellKeyCode))
            return k;
    }
    return 0;
}

void Page::markLine(int line)
{
    deselectRow(m_markedLine);
    m_markedLine = line;
}

void Page::centreOnLine(int line)
{
    const TableLine *l = tableLine(line);
    MyTableWidget *grid = tableWidget();
    if (l && grid && l->tmCodeCell() && l->tmCodeCell()->tableWidget() == grid)
        grid->scrollToItem(l->tmCodeCell(), QAbstractItemView::PositionAtCenter);
}

// Makes the key-code cell of a line the table's current cell, with the keyboard focus.
void Page::makeCurrentLine(int line)
{
    const TableLine *l = tableLine(line);
    MyTableWidget *grid = tableWidget();
    if (!l || !grid || !l->tmCodeCell())
        return;
    grid->setFocus(Qt::OtherFocusReason);
    grid->setCurrentCell(line - 1, l->tmCodeCell()->column());
}

void Page::selectRow(int line)
{
    setRowSelected(line, true);
}

void Page::deselectRow(int line)
{
    setRowSelected(line, false);
}

void Page::setRowSelected(int line, bool selected)
{
    const TableLine *l = line >= 1 ? tableLine(line) : nullptr;
    MyTableWidget *grid = tableWidget();
    if (!l || !grid)
        return;
    const QList<MyTableWidgetItem *> cells = l->cells();
    for (int c = 0; c < m_columnCount && c < cells.size(); ++c) {
        if (cells[c] && cells[c]->tableWidget() == grid)
            cells[c]->setSelected(selected);
    }
}

// ---- the chain from the image object ----------------------------------------------------------------

void Page::processData(QString data)
{
    if (!acceptsKeys() || !m_keyFilter.accepts(data))
        return;
    emit TMData(data);
}

void Page::processLongSerial(QString data)
{
    if (acceptsKeys())
        emit TMLSerial(data);
}

void Page::setSerialNumber(QString serialNumber)
{
    QLineEdit *field = panelEdit(1);
    if (!field)
        return;
    field->setText(serialNumber);
    m_keyFilter.record(serialNumber);
}

void Page::setLongSerialNUmber(QString serialNumber)
{
    if (QLineEdit *field = panelEdit(2))
        field->setText(serialNumber);
}

void Page::newKeyRead()
{
    const TableLine *panel = panelLine();
    if (!panel || !panel->menuBox)
        return;
    const QList<QAbstractButton *> buttons = panel->menuBox->findChildren<QAbstractButton *>(QStringLiteral("button"));
    for (const QAbstractButton *button : buttons) {
        if (button->isChecked())
            return;
    }
    PageSound::play(panel->soundNewKey());
}

// ---- the modes ----------------------------------------------------------------------------------------

void Page::addNewTMCodeToFreePosition(QString code)
{
    if (modeActive(AddButton) && isKeyCode(code))
        addKey(code, false, QString());
}

void Page::addTMCodeToFlat(QString code)
{
    if (!modeActive(AddToFlatButton) || !isKeyCode(code))
        return;
    const QLineEdit *flatField = panelEdit(3);
    addKey(code, true, flatField ? flatField->text() : QString());
}

// Add and Add to flat: a code already in the table is shown, not added; otherwise it goes to the
// first free position, with the flat when one is given.
void Page::addKey(const QString &code, bool withFlat, const QString &flat)
{
    const TableLine *panel = panelLine();
    if (const int held = lineHoldingCode(code)) {
        markLine(held);
        centreOnLine(held);
        PageSound::play(panel->soundKeyNotAdded());
        selectRow(held);
        return;
    }
    const int free = firstFreeLine();
    if (!free)
        return;
    markLine(free);
    TableLine *line = tableLine(free);
    line->addTMCode(code, false);
    if (withFlat && line->tmFlatCell())
        line->addFlat(flat);
    // The code is in the image now: closing, Load or Receive must ask before discarding it.
    dataModified = true;
    centreOnLine(free);
    PageSound::play(panel->soundKeyAdded());
    selectRow(free);
}

void Page::addTMCodeToSelectedPosition(QString code)
{
    QAbstractButton *button = panelButton(AddToPositionButton);
    if (!button || !button->isChecked() || !isKeyCode(code))
        return;
    const TableLine *panel = panelLine();
    if (const int held = lineHoldingCode(code)) {
        markLine(held);
        centreOnLine(held);
        button->setChecked(false);
        PageSound::play(panel->soundKeyNotAdded());
        selectRow(held);
        return;
    }
    QList<int> selectedLines;
    for (int k = 1; k <= m_tableSize; ++k) {
        const MyTableWidgetItem *cell = tableLine(k)->tmCodeCell();
        if (cell && cell->tableWidget() && cell->isSelected())
            selectedLines << k;
    }
    // The code goes to the topmost selected position; every selected position is marked in turn,
    // so the last one stays selected.
    for (int k : qAsConst(selectedLines)) {
        markLine(k);
        if (k == selectedLines.first())
            tableLine(k)->addTMCode(code, true);
        button->setChecked(false);
        PageSound::play(panel->soundKeyAdded());
        selectRow(k);
        dataModified = true;
    }
}

void Page::scrollToTMCode(QString code)
{
    if (!modeActive(VerifyButton))
        return;
    deselectRow(m_markedLine);
    if (!isKeyCode(code))
        return;
    const TableLine *panel = panelLine();
    const int held = lineHoldingCode(code);
    if (!held) {
        PageSound::play(panel->soundCheckKeyNotFound());
        return;
    }
    markLine(held);
    centreOnLine(held);
    makeCurrentLine(held);
    PageSound::play(panel->soundCheckKeyFound());
    selectRow(held);
}
