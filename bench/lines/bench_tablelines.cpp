// Builds two shipped tables as their table page does, over their sample images: the 2048-slot key
// table of RK4820_H65_EN and the lock-code table of RK4820_U65_EN. The side-panel line, the header
// line and one data line per row are made and configured in the page's order, the row addresses
// computed, and every line's cells read from the image and inserted into the grid. Against it: a
// grid of the same shape filled with plain table items of the same texts. Prints the median times,
// their ratio and the top-level windows the lines added; exits with 1 unless that is 0.
//
//   bench_tablelines [repetitions]      (run with QT_QPA_PLATFORM=offscreen where there is no display)

#include "median.h"
#include "tablepagefixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTextStream>

namespace {

const QString Root = QStringLiteral(TKV_DATA_ROOT);

struct Table {
    QString name;
    QString definition;
    int page;
    QString image;
    TablePageFixture::FlatParameters numbering;
};

TablePageFixture::FlatParameters u65Numbering()
{
    QStringList specials;
    for (int i = 0; i < 14; ++i)
        specials << QString::number(50 + 2 * i);
    return {QStringLiteral("44"), QStringLiteral("42"), QStringLiteral("46"), QStringLiteral("48"), specials};
}

// The texts of a built grid, row by row, and of its headers.
struct Texts {
    int rows = 0, columns = 0;
    QStringList cells, headers;
};

Texts textsOf(const TablePageFixture &page)
{
    Texts texts;
    texts.rows = page.grid->rowCount();
    texts.columns = page.grid->columnCount();
    for (int r = 0; r < texts.rows; ++r)
        for (int c = 0; c < texts.columns; ++c)
            texts.cells << (page.grid->item(r, c) ? page.grid->item(r, c)->text() : QString());
    for (int c = 0; c < texts.columns; ++c)
        texts.headers << (page.grid->horizontalHeaderItem(c) ? page.grid->horizontalHeaderItem(c)->text() : QString());
    return texts;
}

// Each build keeps what it made, as a page set keeps its tables: deleting right before the next
// build would time the page faults of taking the memory again.
qint64 buildLines(const Table &table, OperationBin *image, QList<TablePageFixture *> &kept)
{
    auto *page = new TablePageFixture(table.definition, table.page); // reads the definition file
    kept << page;
    QElapsedTimer timer;
    timer.start();
    page->build(image, table.numbering);
    return timer.nsecsElapsed();
}

qint64 buildPlain(const Texts &texts, QList<QWidget *> &kept)
{
    QElapsedTimer timer;
    timer.start();
    auto *container = new QWidget;
    kept << container;
    auto *grid = new QTableWidget(container);
    grid->setStyleSheet(QLatin1String(MyTableWidget::SelectionStyle));
    grid->setRowCount(texts.rows);
    grid->setColumnCount(texts.columns);
    grid->setHorizontalHeaderLabels(texts.headers);
    int i = 0;
    for (int r = 0; r < texts.rows; ++r)
        for (int c = 0; c < texts.columns; ++c)
            grid->setItem(r, c, new QTableWidgetItem(texts.cells.at(i++)));
    return timer.nsecsElapsed();
}

}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 9;
    QTextStream out(stdout);
    const QList<Table> tables = {
        {QStringLiteral("RK4820_H65_EN key table (2048 x 3)"), Root + QStringLiteral("/application/xml/RK4820_H65_EN.xlx"),
         1, Root + QStringLiteral("/DATA/RK4820_H65_sample.bin"), {}},
        {QStringLiteral("RK4820_U65_EN lock-code table (254 x 9)"), Root + QStringLiteral("/application/xml/RK4820_U65_EN.xlx"),
         2, Root + QStringLiteral("/DATA/RK4820_U65_sample.bin"), u65Numbering()},
    };

    int windowsAdded = 0;
    out << QStringLiteral("median of %1 builds\n").arg(repetitions);
    for (const Table &table : tables) {
        OperationBin image;
        image.loadFile(table.image);
        if (image.image().size() != 8192) {
            out << "cannot read " << table.image << "\n";
            return 2;
        }
        QList<TablePageFixture *> pages;
        QList<QWidget *> plainGrids;
        const int before = QApplication::topLevelWidgets().size();
        buildLines(table, &image, pages); // warm up
        const Texts texts = textsOf(*pages.first());
        buildPlain(texts, plainGrids);
        QVector<qint64> lines, plain;
        for (int i = 0; i < repetitions; ++i) {
            plain << buildPlain(texts, plainGrids);
            lines << buildLines(table, &image, pages);
        }
        // Every build has one container of its own; anything more is a window the lines made.
        const int added = QApplication::topLevelWidgets().size() - before - pages.size() - plainGrids.size();
        windowsAdded += added;
        qDeleteAll(pages);
        qDeleteAll(plainGrids);
        const double l = median(lines) / 1e6, p = median(plain) / 1e6;
        out << table.name << "\n";
        out << QStringLiteral("  table lines:  %1 ms\n").arg(l, 0, 'f', 2);
        out << QStringLiteral("  plain items:  %1 ms\n").arg(p, 0, 'f', 2);
        out << QStringLiteral("  ratio:        %1 (goal: at most 6)\n").arg(l / p, 0, 'f', 2);
        out << QStringLiteral("  top-level windows added by the lines: %1\n").arg(added);
    }
    return windowsAdded == 0 ? 0 : 1;
}
