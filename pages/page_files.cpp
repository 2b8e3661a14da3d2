// Table text files of a table page: the selected rectangle exported, a file imported at the
// selected cell. An import applies all of its file or nothing.

#include "page.h"

#include "celltexts.h"
#include "datapaths.h"
#include "globals.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "numbertext.h"
#include "rwtable.h"
#include "tableline.h"
#include "tableselection.h"

#include <QMessageBox>
#include <QPointer>

namespace {

// The texts of the unit that name an exported table, from the first tree page.
struct UnitTexts {
    QString systemType, dataTypeId, serialNumber, objectId;
};

bool numberBetween(const MyTableWidgetItem *cell, const QString &field, int lowest, int highest)
{
    bool isNumber = false;
    const int value = NumberText::parse(field, cell->base(), &isNumber);
    return isNumber && value >= lowest && value <= highest;
}

bool numberInRange(const MyTableWidgetItem *cell, const QString &field)
{
    return numberBetween(cell, field, cell->minimum(), cell->maximum());
}

// A name record's flat and block cells show the image's number as it is, also outside the column's
// range (an erased record holds 65535 and 255): any number that fits the field's bytes.
bool numberInField(const MyTableWidgetItem *cell, const QString &field)
{
    const int largest = cell->valueType() == QLatin1String("U16") ? 0xFFFF
                        : cell->valueType() == QLatin1String("U8") ? 0xFF
                                                                   : -1;
    return numberBetween(cell, field, 0, largest);
}

// Whether an imported field may go into a cell as the import writes it.
bool fitsCell(const MyTableWidgetItem *cell, const QString &field)
{
    switch (cell->cellType()) {
    case CellKeyCode:
        return field == EmptyCell || numberInRange(cell, field);
    case CellKeyFlat: {
        // Any number: the write-back decides whether the flat is serviced.
        bool isNumber = false;
        NumberText::parse(field, 10, &isNumber);
        return isNumber || field == EmptyCell || field == UnservicedFlat;
    }
    case CellLockCode:
        return numberInRange(cell, field);
    case CellNameFlat:
    case CellBlockNumber:
        // Empty: the row was deleted.
        return field.isEmpty() || numberInRange(cell, field) || numberInField(cell, field);
    case CellCombo: {
        // -1: exported from a cell that showed the error text; that cell stays as it is.
        bool isNumber = false;
        const int index = field.toInt(&isNumber);
        return isNumber && index >= -1 && index < cell->count();
    }
    default: // names (cut to the field), the row index and computed flats (never written)
        return true;
    }
}

// What a cell shows: its text, and its list's current index for a combo cell.
QPair<QString, int> shownValue(const MyTableWidgetItem *cell)
{
    return {cell->text(), cell->cellType() == CellCombo ? cell->currentIndex() : -1};
}

QString rowLine(const QStringList &fields)
{
    QString line;
    for (const QString &field : fields)
        line += field + QLatin1Char('\t');
    return line;
}

}

QString ImportNothingTexts::shown(QString ImportNothingTexts::*text) const
{
    static const struct {
        QString ImportNothingTexts::*text;
        const char *english;
    } builtIn[] = {
        {&ImportNothingTexts::loneCr, "The file's lines end in CR alone, so its data rows stand in one line with the "
                                      "end-of-table line. A table file ends its lines in CR LF or LF."},
        {&ImportNothingTexts::brokenTitle, "The title line is broken by a line end in the title itself (its closing "
                                           "\"*****\" is missing), so the data rows would go to the wrong table rows."},
        {&ImportNothingTexts::noRows, "The file holds no data rows between its title line and its end-of-table line."},
        {&ImportNothingTexts::noFields, "The first data row has no field ended by a TAB, and it sets the number of "
                                        "fields of every row: no field was taken."},
        {&ImportNothingTexts::noColumn, "The fields go to the table's columns from the first one on, and none of "
                                        "those columns takes a value: no cell was changed."},
    };
    if (!(this->*text).isEmpty())
        return this->*text;
    for (const auto &entry : builtIn) {
        if (entry.text == text)
            return QString::fromUtf8(entry.english);
    }
    return QString();
}

QString Page::tableFileExtension(int index) const
{
    return index < 0 ? QString() : TableLine::splitList(m_fileExtensions).value(index);
}

// The extension of this table's kind, from the first tree page's list.
QString Page::ownFileExtension() const
{
    return m_firstTreePage ? m_firstTreePage->tableFileExtension(tableKind() - 1) : QString();
}

static UnitTexts unitTexts(const Page *first)
{
    if (!first)
        return UnitTexts();
    return UnitTexts{first->systemType(), first->getDataTypeId(), first->getSerialNumber(),
                     first->getObjectId()};
}

void Page::writeTofileError()
{
    const auto *file = qobject_cast<const RWTable *>(sender());
    showFileProblem(m_fileErrorText,
                    file ? file->filePath() + QLatin1Char('\n') + file->writeErrorReason() : QString());
}

void Page::showFileProblem(const QString &text, const QString &details)
{
    const RoadGate::PageHold hold(m_roadGate);
    QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
    box.setInformativeText(details);
    box.exec();
}

bool Page::mayReplaceFile(const QString &path)
{
    if (Platform::fileState(path).kind != Platform::FileState::Regular)
        return true;
    QMessageBox box(QMessageBox::Question, QString(), m_overwriteText, QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Page::makeCopyTableToFile()
{
    const TableSelection selection(tableWidget());
    if (!m_tableBuilt || !selection.hasSelection())
        return;
    // The file dialog and the error box run with the road gate held.
    const RoadGate::PageHold hold(m_roadGate);
    const UnitTexts unit = unitTexts(m_firstTreePage);

    RWTable file;
    connect(&file, &RWTable::writeToFileError, this, &Page::writeTofileError);
    file.setExtension(ownFileExtension());
    file.makeHeader(unit.systemType, unit.dataTypeId, unit.objectId, unit.serialNumber);
    QPointer<Page> alive(this);
    if (!file.openForWriting() || !alive)
        return;
    if (!mayReplaceFile(file.filePath()) || !alive)
        return;
    file.writeTable(exportRows(selection), tableKind());
}

QVector<QStringList> Page::exportRows(const TableSelection &selection) const
{
    const QString blocNumber = m_firstTreePage ? m_firstTreePage->getBlocNumber() : QString();
    const bool withBlocNumber = tableKind() == NameTable && !blocNumber.isEmpty();
    QVector<QStringList> rows;
    rows.reserve(selection.rowCount());
    for (int r = selection.topRow(); r <= selection.bottomRow(); ++r) {
        QStringList fields;
        for (int c = selection.leftColumn(); c <= selection.rightColumn(); ++c)
            fields << copiedValue(r, c);
        if (withBlocNumber)
            fields << blocNumber;
        rows << fields;
    }
    return rows;
}

void Page::loadDataFromFile()
{
    const TableSelection selection(tableWidget());
    if (!m_tableBuilt || !selection.hasSelection())
        return;
    // Keys read meanwhile are dropped, and unserviced flats warn once, at the end.
    RunningOperation running(this);
    QPointer<Page> alive(this);

    RWTable file;
    file.setExtension(ownFileExtension());
    if (!file.openForReading() || !alive)
        return;
    importFile(file, selection);
}

bool Page::importFile(const RWTable &file, const TableSelection &selection)
{
    const TableTextFile::ReadResult &read = file.result();
    if (read.status != TableTextFile::ReadResult::Ok) {
        QString where = read.badLine > 0 ? TableTextFile::describeLine(read.badLine, read.badLineText)
                                         : read.reason;
        if (read.status == TableTextFile::ReadResult::LoneCr)
            where = m_importNothingTexts.shown(&ImportNothingTexts::loneCr) + QLatin1Char('\n') + where;
        else if (read.status == TableTextFile::ReadResult::BrokenTitle)
            where = m_importNothingTexts.shown(&ImportNothingTexts::brokenTitle) + QLatin1Char('\n') + where;
        showFileProblem(m_errorText, file.filePath() + QLatin1Char('\n') + where);
        return false;
    }
    if (selection.rowCount() != 1 || selection.columnCount() != 1)
        return false;

    const QVector<QStringList> &rows = read.rows;
    const int top = selection.topRow();
    const int fieldCount = rows.isEmpty() ? 0 : qMin(rows.first().size(), m_columnCount);
    if (const std::optional<QString> nothing = whyImportTakesNothing(read, top, fieldCount)) {
        showFileProblem(m_errorText, file.filePath() + QLatin1Char('\n') + *nothing);
        return false;
    }
    const int rowCount = qMin(rows.size(), m_tableSize - top);
    for (int k = 0; k < rowCount; ++k) {
        const QStringList &fields = rows[k];
        for (int j = 0; j < fieldCount && j < fields.size(); ++j) {
            const MyTableWidgetItem *cell = cellAt(top + k, j);
            if (cell && !fitsCell(cell, fields[j])) {
                const QString line = TableTextFile::describeLine(TableTextFile::lineOfRow(k), rowLine(fields));
                showFileProblem(m_errorText, file.filePath() + QLatin1Char('\n') + line);
                return false;
            }
        }
    }
    RunningOperation running(this);
    applyImport(rows, top, rowCount, fieldCount);
    return true;
}

std::optional<QString> Page::whyImportTakesNothing(const TableTextFile::ReadResult &read, int top,
                                                   int fieldCount) const
{
    if (read.rows.isEmpty())
        return m_importNothingTexts.shown(&ImportNothingTexts::noRows);
    const QString firstRow = TableTextFile::describeLine(TableTextFile::lineOfRow(0), read.firstRowText);
    if (fieldCount == 0)
        return m_importNothingTexts.shown(&ImportNothingTexts::noFields) + QLatin1Char('\n') + firstRow;
    for (int j = 0; j < fieldCount; ++j) {
        if (takesValue(cellAt(top, j)))
            return std::nullopt;
    }
    return m_importNothingTexts.shown(&ImportNothingTexts::noColumn) + QLatin1Char('\n') + firstRow;
}

void Page::applyImport(const QVector<QStringList> &rows, int top, int rowCount, int fieldCount)
{
    MyTableWidget *grid = tableWidget();
    const QModelIndex selected = grid->selectionModel()->selectedIndexes().value(0);
    setupProgressDialog(0, fieldCount * rowCount, 100, m_copyingText);
    int progress = 0;
    for (int k = 0; k < rowCount; ++k) {
        const QStringList &fields = rows[k];
        for (int j = 0; j < fieldCount && j < fields.size(); ++j) {
            // The fields fit their cells (importFile checked them); a name is cut to its field.
            MyTableWidgetItem *cell = cellAt(top + k, j);
            if (cell) {
                const bool cut = cell->cellType() == CellName && cell->maxLength() > 0;
                const QPair<QString, int> before = shownValue(cell);
                pasteValue(cell, cut ? fields[j].left(cell->maxLength()) : fields[j]);
                // A file that matches the table leaves the data as unmodified as it was.
                if (shownValue(cell) != before)
                    dataModified = true;
            }
            setProgressValue(++progress);
        }
    }
    // Every cell the import went through is deselected: of the selection, that is its one cell.
    if (selected.isValid() && selected.row() >= top && selected.row() < top + rowCount
        && selected.column() < fieldCount)
        grid->selectionModel()->select(selected, QItemSelectionModel::Deselect);
    closeProgress();
}
