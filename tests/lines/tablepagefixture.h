#pragma once

#include "mytablewidget.h"
#include "mytablewidgetitem.h"
#include "operationbin.h"
#include "tabledefinition.h"
#include "tableline.h"
#include "xmldefinition.h"

#include <QLineEdit>
#include <QWidget>

#include <memory>

// Builds one table page's lines the way the table page does: the side-panel line, the header line
// and one data line per row, configured in that order, the row addresses computed from the first
// data line's template, and the cells inserted into a grid. Tests and the benchmark use it in place
// of the page.
class TablePageFixture
{
public:
    struct FlatParameters {
        QString upStairs, shift, minimum, maximum;
        QStringList specials;
    };

    // Loads the definition page; build() makes the lines.
    TablePageFixture(const QString &definitionPath, int page)
        : reader(new XmlDefinition(definitionPath)), definition(new TableDefinition(reader.get()))
    {
        definition->load(page);
        pageIndex = page;
        columnCount = reader->tableColumnCount(page);
    }

    ~TablePageFixture()
    {
        if (linesFirst)
            deleteLines();
        delete container;
        deleteLines();
    }

    void deleteLines()
    {
        qDeleteAll(rows);
        rows.clear();
        delete header;
        header = nullptr;
        delete panel;
        panel = nullptr;
    }

    // The page's build from its side panel to the inserted cells.
    void build(OperationBin *image, const FlatParameters &flat = {}, const QString &errorText = QStringLiteral("Error"))
    {
        container = new QWidget;
        container->resize(800, 430);
        grid = new MyTableWidget(container);
        helpLine = new QLineEdit(container);

        panel = new TableLine;
        panel->setParentWidget(container);
        panel->setDefinition(0, 2, definition.get(), pageIndex);
        panel->setImage(image);
        panel->createWidgets();
        panel->setHelpLineEdit(helpLine);

        header = new TableLine;
        header->setTableWidget(grid);
        header->setDefinition(0, 0, definition.get(), pageIndex);
        header->setImage(image);
        header->readTableDim();
        const int size = header->tableSize;
        const int first = header->indexMin;

        for (int k = 1; k <= size; ++k) {
            auto *line = new TableLine;
            line->setErrorMessage(errorText);
            line->setTableWidget(grid);
            line->setRowNumber(k);
            rows << line;
        }
        for (TableLine *line : qAsConst(rows)) {
            line->setDefinition(0, 1, definition.get(), pageIndex);
            line->setImage(image);
            line->setFlatParamAddresses(flat.upStairs, flat.shift, flat.minimum, flat.maximum, flat.specials);
            line->setHelpLineEdit(helpLine);
        }
        if (rows.isEmpty())
            return;

        TableLine *template_ = rows.first();
        template_->readLineDefinition();
        const QList<int> layout = template_->dbRecordLayout();
        const int L = layout.value(0), E = layout.value(1), D = layout.value(2);
        const QStringList kinds = template_->columnKinds();
        const QStringList bits = template_->bitAddresses();
        const bool hasCombo = template_->firstComboColumn != TableLine::NoComboColumn;
        int comboWord = hasCombo ? template_->getAddress(0) + 2 * first : 0;
        int cipher = template_->getAddress(1) + 2 * first;
        int code = template_->getAddress(2) + 2 * first;
        int flatByte = template_->getAddress(3) + first;
        int name = template_->getAddress(4) + first * L;
        for (TableLine *line : qAsConst(rows)) {
            line->setFlatNumberStart(template_->flatNumberStart);
            line->setIndexMin(first);
            if (hasCombo) {
                QStringList list = bits;
                for (int c = 0; c < kinds.size(); ++c)
                    if (kinds[c] == QLatin1String("CB"))
                        list[c] = QString::number(comboWord) + TableLine::bitRange(bits[c]);
                line->setBitAddresses(list);
            }
            for (const QString &kind : kinds) {
                if (kind == QLatin1String("CIPHER")) {
                    tableKind = LockCodeTable;
                    line->setAddress(cipher, 1);
                } else if (kind == QLatin1String("TMCODE") || kind == QLatin1String("TMFLAT")) {
                    tableKind = KeyTable;
                    line->setAddress(kind == QLatin1String("TMCODE") ? code : flatByte, kind == QLatin1String("TMCODE") ? 2 : 3);
                } else if (kind == QLatin1String("DBNAME") || kind == QLatin1String("DBFLAT") || kind == QLatin1String("DBBNUMBER")) {
                    tableKind = NameTable;
                    const int kindNumber = kind == QLatin1String("DBNAME") ? 4 : kind == QLatin1String("DBFLAT") ? 5 : 6;
                    line->setAddress(kindNumber == 4 ? name : kindNumber == 5 ? name + E : name + E + D, kindNumber);
                }
            }
            comboWord += 2;
            cipher += 2;
            code += 2;
            flatByte += 1;
            name += L;
        }
        grid->setTableKind(tableKind);

        grid->setRowCount(size);
        grid->setColumnCount(columnCount);
        header->setHeader(grid);

        for (int k = 1; k <= size; ++k) {
            TableLine *line = rows[k - 1];
            line->setTableWidget(grid);
            line->setColumnCount(columnCount);
            line->insertLine(k - 1, grid);
            if (MyTableWidgetItem *index = line->indexCell())
                index->setDisplayText(QString::number(first + k - 1));
        }
    }

    TableLine *row(int k) const { return rows.value(k - 1); }

    std::unique_ptr<XmlDefinition> reader;
    std::unique_ptr<TableDefinition> definition;
    int pageIndex = 0;
    int columnCount = 0;
    int tableKind = NoTable;
    QWidget *container = nullptr;
    MyTableWidget *grid = nullptr;
    QLineEdit *helpLine = nullptr;
    TableLine *panel = nullptr;
    TableLine *header = nullptr;
    QList<TableLine *> rows;
    bool linesFirst = true; // the page's lines go before its widgets
};
