// Builds every tree page of a definition file as a tree page builds it (tree model, one line per
// head line and line, inserted in file order, rows painted, head lines' changed colour handed on,
// groups expanded while their lines go in and collapsed after) on a sample image, and prints the
// time per page and per row, and the top-level widgets the build added.
//
//   bench_treelines [file] [image] [repetitions]
//       file:  a definition file (default application/xml/RK4820_U65_EN.xlx of the data tree)
//       image: its sample image (default DATA/RK4820_U65_sample.bin)
//   Run from anywhere with QT_QPA_PLATFORM=offscreen where there is no display.

#include "median.h"
#include "mycombobox.h"
#include "operationbin.h"
#include "treeline.h"
#include "treemodel.h"
#include "treepagedefinitions.h"
#include "xmldefinition.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTextStream>
#include <QTreeView>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// One built page: everything a tree page keeps as long as the page set lives.
struct BuiltPage {
    std::unique_ptr<TreeModel> model;
    std::unique_ptr<TreePageDefinitions> accessor;
    std::unique_ptr<QTreeView> view;
    std::vector<std::unique_ptr<TreeLine>> lines;
    int rows = 0;
    qint64 lineNanos = 0; // spent making, inserting and painting the lines
};

void paint(QStandardItemModel *model, const QModelIndex &row, const QString &color)
{
    if (color != QLatin1String("transparent"))
        model->setData(row, QColor(color), Qt::BackgroundRole);
}

std::unique_ptr<TreeLine> configured(int h, int j, BuiltPage &page, OperationBin *image, QLineEdit *help)
{
    auto line = std::make_unique<TreeLine>(h, j);
    line->setTreeModel(page.model.get());
    line->setImage(image);
    line->setIndexes(h, j, page.accessor.get());
    line->setHelpLineEdit(help);
    line->setMessageParent(page.view.get());
    return line;
}

// Builds page; the view is made (and, when shown, shown) before the clock starts.
qint64 build(BuiltPage &page, XmlDefinition *definition, int number, OperationBin *image, QLineEdit *help, bool shown)
{
    page.view = std::make_unique<QTreeView>();
    page.view->resize(800, 440);
    if (shown)
        page.view->show();
    QElapsedTimer timer;
    timer.start();
    page.model = std::make_unique<TreeModel>(definition);
    page.model->build(number);
    QTreeView *view = page.view.get();
    view->setModel(page.model->model());
    const int heads = definition->readHeadLineCounts(number);
    const QVector<int> counts = definition->linesPerHeadLine(number);
    page.accessor = std::make_unique<TreePageDefinitions>(definition);
    page.accessor->load(number);
    QStandardItemModel *model = page.model->model();
    QElapsedTimer lineTimer;
    lineTimer.start();
    for (int h = 0; h < heads; ++h) {
        auto head = configured(h, 0, page, image, help);
        head->insertIntoTree(h, page.model->rootIndex(), model, view);
        const QModelIndex headRow = page.model->headIndexes().at(h);
        paint(model, headRow, head->bgColor());
        for (int j = 1; j <= counts.value(h); ++j) {
            auto line = configured(h, j, page, image, help);
            view->expand(headRow);
            line->insertIntoTree(j - 1, headRow, model, view);
            paint(model, model->index(j - 1, 0, headRow), line->bgColor());
            line->setBGColorDiff(head->bgColorDiff());
            page.lines.push_back(std::move(line));
        }
        view->collapse(headRow);
        page.lines.push_back(std::move(head));
    }
    view->setAlternatingRowColors(true);
    QApplication::processEvents(); // a shown view lays out and shows its row frames
    page.lineNanos = lineTimer.nsecsElapsed();
    page.rows = int(page.lines.size());
    return timer.nsecsElapsed();
}

// Top-level widgets besides the views: combo popups counted apart.
void countWindows(const std::vector<BuiltPage> &pages, const QWidgetList &before, int *popups, int *others)
{
    *popups = *others = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (before.contains(w))
            continue;
        const bool isView = std::any_of(pages.begin(), pages.end(), [w](const BuiltPage &p) { return p.view.get() == w; });
        if (isView)
            continue;
        if (qobject_cast<MyComboBox *>(w->parentWidget()))
            ++*popups;
        else
            ++*others;
    }
}

}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString root = QStringLiteral(TKV_DATA_ROOT);
    const QStringList args = app.arguments();
    const QString file = args.value(1, root + QStringLiteral("/application/xml/RK4820_U65_EN.xlx"));
    const QString imageFile = args.value(2, root + QStringLiteral("/DATA/RK4820_U65_sample.bin"));
    const int repetitions = qMax(1, args.value(3, QStringLiteral("15")).toInt());
    QTextStream out(stdout);

    XmlDefinition definition(file);
    const int pageCount = definition.readPageKinds();
    QVector<int> treePages;
    for (int p = 0; p < pageCount; ++p)
        if (definition.pageKinds().value(p) == PageKindTree)
            treePages << p;
    if (treePages.isEmpty()) {
        out << "no tree page in " << file << "\n";
        return 1;
    }
    OperationBin image;
    image.loadFile(imageFile);
    const QByteArray before = image.image();
    QLineEdit help;

    out << QStringLiteral("%1 on %2, median of %3 builds\n").arg(file, imageFile).arg(repetitions);
    bool ok = true;
    for (const bool shown : {false, true}) {
        out << (shown ? "\nview shown while the page is built\n" : "\nview hidden while the page is built\n");
        for (int page : treePages) {
            QVector<qint64> times, lineTimes;
            int rows = 0, popups = 0, others = 0, combos = 0;
            {   // warm-up build, which also counts the windows
                const QWidgetList windowsBefore = QApplication::topLevelWidgets();
                std::vector<BuiltPage> pages(1);
                build(pages[0], &definition, page, &image, &help, shown);
                countWindows(pages, windowsBefore, &popups, &others);
                for (const auto &line : pages[0].lines)
                    combos += line->hasCombo() ? 1 : 0;
            }
            // Pages are kept until the end, as a page set keeps them.
            std::vector<BuiltPage> kept(repetitions);
            for (int r = 0; r < repetitions; ++r) {
                times << build(kept[r], &definition, page, &image, &help, shown);
                lineTimes << kept[r].lineNanos;
                rows = kept[r].rows;
            }
            const double ms = median(times) / 1e6, lineMs = median(lineTimes) / 1e6;
            out << QStringLiteral("page %1 \"%2\": %3 rows, %4 ms per page (%5 ms of it reading the definition "
                                  "file), %6 ms per row; windows added: %7 combo popups (%8 combo boxes), %9 others\n")
                       .arg(page)
                       .arg(definition.pageName(page).trimmed())
                       .arg(rows)
                       .arg(ms, 0, 'f', 2)
                       .arg(ms - lineMs, 0, 'f', 2)
                       .arg(lineMs / qMax(1, rows), 0, 'f', 3)
                       .arg(popups)
                       .arg(combos)
                       .arg(others);
            ok = ok && others == 0 && popups <= combos;
        }
    }
    if (image.image() != before) {
        out << "the build changed the image\n";
        ok = false;
    }
    return ok ? 0 : 1;
}
