// The table page's write-back: every changed cell goes into the image at once, names when the main
// window asks for them.

#include "page.h"

#include "celltexts.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "numbertext.h"
#include "operationbin.h"
#include "tableline.h"

#include <QSignalBlocker>

namespace {

constexpr int EmptySlotFlat = 0xFF;

QString address(int value)
{
    return QString::number(value);
}

}

void Page::dataBaseSave(int row, int column)
{
    if (tableKind() != NameTable || !m_image)
        return;
    const TableLine *line = lineOfRow(row);
    const MyTableWidgetItem *cell = cellAt(row, column);
    if (!line || !cell || (cell->cellType() != CellNameFlat && cell->cellType() != CellBlockNumber))
        return;
    const QString at = address(line->getAddress(cell->cellType() == CellNameFlat ? 5 : 6));
    const int value = NumberText::parse(cell->text(), cell->base());
    if (cell->valueType() == QLatin1String("U16"))
        m_image->writeInt16(at, value);
    else if (cell->valueType() == QLatin1String("U8"))
        m_image->writeInt8(at, value);
}

void Page::saveTMTable(int row, int column)
{
    if (tableKind() != KeyTable || !m_image)
        return;
    if (TableLine *line = lineOfRow(row))
        saveKeyRow(line, column);
}

// A key slot is its code word and its flat byte: empty is code 0 with flat byte 0xFF, a key without
// a flat has flat byte 0.
void Page::saveKeyRow(TableLine *line, int changedColumn)
{
    MyTableWidgetItem *codeCell = line->tmCodeCell();
    if (!codeCell)
        return;
    const QString codeAddress = address(line->getAddress(2));
    const QString code = codeCell->text();
    const QString codeHex = codeCell->base() == 16 ? code : QString::number(NumberText::parse(code, codeCell->base()), 16);

    if (m_columnCount == 2) {
        m_image->writeHexWord(code == EmptyCell ? QStringLiteral("0") : codeHex, codeAddress);
        return;
    }
    MyTableWidgetItem *flatCell = line->tmFlatCell();
    if (m_columnCount != 3 || !flatCell)
        return;
    const QString flatAddress = address(line->getAddress(3));
    const QString flat = flatCell->text();
    const bool codeChanged = line->cells().value(changedColumn) == codeCell;

    if (code != EmptyCell && flat != EmptyCell) {
        m_image->writeHexWord(codeHex, codeAddress);
        // A new code for a key keeps the key's flat byte: its number may no longer be serviced
        // (the numbering changed since) or have no number at all ("-1"), and the key still opens
        // that flat. A slot that was empty takes the flat the row shows.
        if (codeChanged && m_image->readByte(flatAddress) != EmptySlotFlat)
            return;
        const int number = NumberText::parse(flat, flatCell->base());
        if (number >= 0 && line->isFlatServiced(unsigned(number))) {
            m_image->writeInt8(flatAddress, line->logicalToPhysicalFlat(unsigned(number)));
            return;
        }
        warnUnservicedFlat();
        {
            const QSignalBlocker quiet(tableWidget());
            flatCell->setDisplayText(UnservicedFlat);
        }
        m_image->writeInt8(flatAddress, 0);
    } else if (code != EmptyCell) {
        m_image->writeHexWord(codeHex, codeAddress);
        m_image->writeInt8(flatAddress, 0);
    } else if (flat == EmptyCell) {
        m_image->writeInt8(flatAddress, EmptySlotFlat);
        m_image->writeHexWord(QStringLiteral("0"), codeAddress);
    } else if (codeChanged) {
        // The code was emptied: the key goes, whatever flat it had, and the row shows a free slot.
        m_image->writeInt8(flatAddress, EmptySlotFlat);
        m_image->writeHexWord(QStringLiteral("0"), codeAddress);
        flatCell->setDisplayText(EmptyCell);
    }
    // A flat typed into a free slot is written with the slot's code.
}

void Page::codeChipChanged(int row, int column)
{
    const TableLine *line = lineOfRow(row);
    const MyTableWidgetItem *cell = cellAt(row, column);
    if (!line || !cell || cell->cellType() != CellLockCode || !m_image)
        return;
    m_image->writeInt16(address(line->getAddress(1)), NumberText::parse(cell->text(), cell->base()));
}

void Page::actualItem(int row, int column)
{
    MyTableWidgetItem *cell = cellAt(row, column);
    if (!cell || cell->cellType() == CellComputedFlat)
        return;
    if (cell->cellType() == CellKeyFlat && cell->text() == UnservicedFlat)
        return;
    cell->acceptEditedText();
}

void Page::saveTMTable()
{
    if (tableKind() != NameTable || !m_image)
        return;
    const QString length = QString::number(m_nameFieldBytes / 2);
    for (int k = 1; k <= m_tableSize; ++k) {
        const TableLine *line = tableLine(k);
        const QList<MyTableWidgetItem *> cells = line->cells();
        for (int c = 0; c < m_columnCount && c < cells.size(); ++c) {
            const MyTableWidgetItem *cell = cells.at(c);
            if (cell && cell->cellType() == CellName)
                m_image->writeText(length, cell->text(), address(line->getAddress(4)));
        }
    }
}
