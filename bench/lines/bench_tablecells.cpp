// Builds a key table's grid of 2048 rows x 4 columns (row index, logical flat, key code, key flat)
// of formatted cells, set up as the table lines set them up, and the same texts as plain table
// items, and prints both times and their ratio. Also checks that the cells add no top-level widget.
//
//   bench_tablecells [repetitions]      (run with QT_QPA_PLATFORM=offscreen where there is no display)

#include "median.h"
#include "mytablewidget.h"
#include "mytablewidgetitem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

const int Rows = 2048;
const int Columns = 4;

QString keyCodeText(int row) { return QString::number((row * 7919) & 0xFFFF, 16); }
QString flatText(int row) { return row % 5 == 0 ? QStringLiteral("-----") : QString::number(row % 250 + 1); }

MyTableWidgetItem *formattedCell(int column, int row)
{
    MyTableWidgetItem *cell = nullptr;
    switch (column) {
    case 0:
        cell = new MyTableWidgetItem(CellRowIndex);
        cell->setTextColor(QColor(QStringLiteral("black")));
        cell->setForegroundBrush(QBrush(QColor(QStringLiteral("black"))));
        cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        cell->setDisplayText(QString::number(row));
        break;
    case 1:
        cell = new MyTableWidgetItem(CellComputedFlat);
        cell->setTextColor(QColor(QStringLiteral("black")));
        cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        cell->setDisplayText(QString::number(row % 250 + 1));
        break;
    case 2:
        cell = new MyTableWidgetItem(CellKeyCode);
        cell->setFormat(QStringLiteral("%04X"));
        cell->setRange(QStringLiteral("0"), QStringLiteral("0xFFFF"));
        cell->setTextColor(QColor(QStringLiteral("black")));
        cell->setChangedColor(QColor(QStringLiteral("red")));
        cell->setChangedColorName(QStringLiteral("red"));
        cell->setFormattedValue(16, keyCodeText(row));
        cell->setAcceptedText(cell->text());
        break;
    default:
        cell = new MyTableWidgetItem(CellKeyFlat);
        cell->setFormat(QStringLiteral("%d"));
        cell->setRange(QStringLiteral("0"), QStringLiteral("0xFF"));
        cell->setTextColor(QColor(QStringLiteral("black")));
        cell->setChangedColor(QColor(QStringLiteral("red")));
        cell->setChangedColorName(QStringLiteral("red"));
        cell->setFormattedValue(10, flatText(row));
        cell->setAcceptedText(cell->text());
        break;
    }
    cell->setTextAlignment(Qt::AlignCenter);
    return cell;
}

QStringList plainTexts()
{
    QStringList texts;
    MyTableWidget scratch(nullptr);
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column) {
            MyTableWidgetItem *cell = formattedCell(column, row);
            texts << cell->text();
            delete cell;
        }
    return texts;
}

// Each build makes a new grid and keeps it, as a page set keeps its tables: destroying a grid
// right before the next build would hand its memory back to the system and time the page faults
// of taking it again instead of the build.
qint64 buildFormatted(QList<QTableWidget *> &kept)
{
    auto *table = new MyTableWidget(nullptr);
    kept << table;
    QElapsedTimer timer;
    timer.start();
    table->setRowCount(Rows);
    table->setColumnCount(Columns);
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column)
            table->setItem(row, column, formattedCell(column, row));
    return timer.nsecsElapsed();
}

qint64 buildPlain(QList<QTableWidget *> &kept, const QStringList &texts)
{
    auto *table = new QTableWidget;
    kept << table;
    table->setStyleSheet(QLatin1String(MyTableWidget::SelectionStyle));
    QElapsedTimer timer;
    timer.start();
    table->setRowCount(Rows);
    table->setColumnCount(Columns);
    int i = 0;
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column)
            table->setItem(row, column, new QTableWidgetItem(texts.at(i++)));
    return timer.nsecsElapsed();
}

}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 9;
    QTextStream out(stdout);
    const QStringList texts = plainTexts();
    const int topLevelBefore = QApplication::topLevelWidgets().size();
    int topLevelDuring = 0;
    QVector<qint64> formatted, plain;
    QList<QTableWidget *> kept;
    buildFormatted(kept); // warm up
    buildPlain(kept, texts);
    topLevelDuring = QApplication::topLevelWidgets().size() - topLevelBefore - kept.size(); // the grids themselves
    for (int i = 0; i < repetitions; ++i) {
        plain << buildPlain(kept, texts);
        formatted << buildFormatted(kept);
    }
    qDeleteAll(kept);
    const double f = median(formatted) / 1e6, p = median(plain) / 1e6;
    out << QStringLiteral("grid %1 x %2, median of %3 builds\n").arg(Rows).arg(Columns).arg(repetitions);
    out << QStringLiteral("formatted cells: %1 ms\n").arg(f, 0, 'f', 2);
    out << QStringLiteral("plain items:     %1 ms\n").arg(p, 0, 'f', 2);
    out << QStringLiteral("ratio:           %1 (goal: at most 3)\n").arg(f / p, 0, 'f', 2);
    out << QStringLiteral("top-level widgets added by the cells: %1\n").arg(topLevelDuring);
    return topLevelDuring == 0 ? 0 : 1;
}
