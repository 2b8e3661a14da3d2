// Builds each sample model's page set from its definition file over its sample image, as the main
// window builds it (every page made and added as a tab, then each built by its kind in file order),
// in a shown window, timed until the pending events have run; prints the median of the rounds for
// the set, for each built page and for the events, the event-loop passes during a build, and the
// top-level widgets a set adds. Exits with 1 when a set's median exceeds the goal of 150 ms.
// Then, on the H65 key table (2048 slots): a whole-table export to a file, a whole-table import that
// changes every key code (read, checked, applied through the write-back), and Find duplicates, each
// with its event-loop passes; goal 100 ms each.
//
//   bench_pages [rounds]      (default 11; run with QT_QPA_PLATFORM=offscreen where there is no display)

#include "median.h"
#include "mytablewidget.h"
#include "operationbin.h"
#include "pageset.h"
#include "rwtable.h"
#include "tableline.h"
#include "tableselection.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QMessageBox>
#include <QTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr double GoalMs = 150;
constexpr double TableFileGoalMs = 100;

double medianMs(const QVector<qint64> &values)
{
    return median(values) / 1e6;
}

QString kindName(PageKind kind)
{
    switch (kind) {
    case PageKindTree:
        return QStringLiteral("tree");
    case PageKindTable:
        return QStringLiteral("table");
    case PageKindWeb:
        return QStringLiteral("web");
    default:
        return QStringLiteral("none");
    }
}

// Returns false when the set's median exceeds the goal.
bool benchModel(const QString &model, int rounds, QTextStream &out)
{
    MainWindowStandIn main;
    main.window.show();
    if (!QTest::qWaitForWindowExposed(&main.window))
        qWarning("the window was not exposed");
    OperationBin image;
    image.loadFile(sampleImage(model));
    const int windowsBefore = QApplication::topLevelWidgets().size();

    // Every pass of the event loop wakes the dispatcher: a build that let events run per row would
    // show thousands.
    int passes = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&passes] { ++passes; });
    QVector<qint64> whole, events, deletion, buildPasses;
    QVector<QVector<qint64>> pages;
    int windowsAdded = 0;
    QMap<QString, int> windowKinds;
    for (int round = -1; round < rounds; ++round) { // round -1 warms up
        QElapsedTimer timer;
        timer.start();
        passes = 0;
        auto set = std::make_unique<PageSet>(main, sampleDefinition(model), &image);
        const qint64 built = timer.nsecsElapsed();
        const int passesInBuild = passes;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const qint64 total = timer.nsecsElapsed();
        windowsAdded = QApplication::topLevelWidgets().size() - windowsBefore;
        windowKinds.clear();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != &main.window)
                ++windowKinds[QString::fromLatin1(w->metaObject()->className())];
        if (round >= 0) {
            whole << total;
            events << total - built;
            buildPasses << passesInBuild;
            pages.resize(set->count());
            for (int i = 0; i < set->count(); ++i)
                pages[i] << set->buildTime(i);
        }
        if (round == rounds - 1) {
            out << QStringLiteral("RK4820 %1: %2 pages, median of %3 builds\n").arg(model).arg(set->count()).arg(rounds);
            for (int i = 0; i < set->count(); ++i) {
                const Page *page = set->page(i);
                QString rows;
                if (set->kind(i) == PageKindTree)
                    rows = QStringLiteral(", %1 rows").arg([page] {
                        int n = 0;
                        for (int h = 0; h < page->headLineCount(); ++h)
                            n += 1 + page->lineCount(h);
                        return n;
                    }());
                else if (set->kind(i) == PageKindTable)
                    rows = QStringLiteral(", %1 x %2").arg(page->tableSize()).arg(page->tableColumnCount());
                out << QStringLiteral("  page %1 %2%3: %4 ms\n")
                           .arg(i)
                           .arg(kindName(set->kind(i)), rows)
                           .arg(medianMs(pages[i]), 0, 'f', 2);
            }
            out << QStringLiteral("  pending events after the build: %1 ms\n").arg(medianMs(events), 0, 'f', 2);
            out << QStringLiteral("  event-loop passes during the build: %1\n").arg(medianMs(buildPasses) * 1e6, 0, 'f', 0);
            out << QStringLiteral("  whole set: %1 ms (goal %2 ms)\n").arg(medianMs(whole), 0, 'f', 2).arg(GoalMs);
            QStringList kinds;
            for (auto it = windowKinds.cbegin(); it != windowKinds.cend(); ++it)
                kinds << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
            out << QStringLiteral("  top-level widgets added by the set: %1 (%2)\n").arg(windowsAdded).arg(kinds.join(QStringLiteral(", ")));
        }
        QElapsedTimer deleting;
        deleting.start();
        set.reset();
        QCoreApplication::processEvents();
        if (round >= 0)
            deletion << deleting.nsecsElapsed();
    }
    out << QStringLiteral("  deleting the set (pages in index order, the tab widget shown): %1 ms\n")
               .arg(medianMs(deletion), 0, 'f', 2);
    return medianMs(whole) <= GoalMs;
}


// Export, import and Find duplicates on the key table of the H65 sample (page 1, 2048 x 3). The
// import alternates between two files that differ in every key code, so every round rewrites every
// row. Returns false when a median exceeds the goal.
bool benchKeyTable(int rounds, QTextStream &out)
{
    MainWindowStandIn main;
    main.window.show();
    if (!QTest::qWaitForWindowExposed(&main.window))
        qWarning("the window was not exposed");
    OperationBin image;
    image.loadFile(sampleImage(QStringLiteral("H65")));
    PageSet set(main, sampleDefinition(QStringLiteral("H65")), &image);
    Page *page = set.page(1);
    page->setProgressMinimumDuration(1000000);
    MyTableWidget *grid = page->tableWidget();
    main.tabs->setCurrentIndex(1);
    QTemporaryDir dir;
    // Any message box would wait for a click: note it and close it.
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            qWarning("message box: %s %s", qPrintable(box->text()), qPrintable(box->informativeText()));
            box->accept();
        }
    });
    boxes.start(50);
    int passes = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&passes] { ++passes; });

    // The table as it is, and the same with every code replaced (flats as they are).
    grid->selectAll();
    QVector<QStringList> rows = page->exportRows(TableSelection(grid));
    QStringList files{dir.filePath(QStringLiteral("sample.id")), dir.filePath(QStringLiteral("other.id"))};
    for (const QString &path : files) {
        RWTable file;
        file.setFilePath(path);
        file.writeTable(rows, KeyTable);
        for (int r = 0; r < rows.size(); ++r)
            rows[r][1] = QStringLiteral("%1").arg((r * 37 + 11) % 0xFFFF + 1, 4, 16, QLatin1Char('0')).toUpper();
    }

    QVector<qint64> exports, imports, finds, exportPasses, importPasses, findPasses;
    QElapsedTimer timer;
    for (int round = -1; round < rounds; ++round) {
        grid->selectAll();
        passes = 0;
        timer.start();
        {
            const TableSelection selection(grid);
            RWTable file;
            file.makeHeader(page->firstTreePage()->systemType(), page->firstTreePage()->getDataTypeId(),
                            page->firstTreePage()->getObjectId(), page->firstTreePage()->getSerialNumber());
            file.setFilePath(dir.filePath(QStringLiteral("export.id")));
            if (!file.writeTable(page->exportRows(selection), KeyTable))
                qWarning("the export failed");
        }
        const qint64 exported = timer.nsecsElapsed();
        const int exportLoops = passes;

        grid->clearSelection();
        grid->setCurrentCell(0, 0);
        passes = 0;
        timer.start();
        {
            RWTable file;
            file.setFilePath(files.at(round & 1 ? 0 : 1));
            file.parse();
            if (!page->importFile(file, TableSelection(grid)))
                qWarning("the import was refused");
        }
        const qint64 imported = timer.nsecsElapsed();
        const int importLoops = passes;
        const QString expected = round & 1 ? QString() : QStringLiteral("%1").arg((100 * 37 + 11) % 0xFFFF + 1, 4, 16, QLatin1Char('0')).toUpper();
        if (!expected.isEmpty() && page->lineOfRow(100)->tmCodeText() != expected)
            qWarning("the import did not change the codes");

        passes = 0;
        timer.start();
        page->findDuplicates();
        const qint64 found = timer.nsecsElapsed();
        if (round >= 0) {
            exports << exported;
            imports << imported;
            finds << found;
            exportPasses << exportLoops;
            importPasses << importLoops;
            findPasses << passes;
        }
    }
    const auto line = [&out](const char *what, const QVector<qint64> &times, const QVector<qint64> &loops) {
        out << QStringLiteral("  %1: %2 ms, %3 event-loop passes (goal %4 ms)\n")
                   .arg(QLatin1String(what))
                   .arg(medianMs(times), 0, 'f', 2)
                   .arg(medianMs(loops) * 1e6, 0, 'f', 0)
                   .arg(TableFileGoalMs);
    };
    out << QStringLiteral("RK4820 H65 key table, %1 x %2, median of %3 rounds\n")
               .arg(page->tableSize()).arg(page->tableColumnCount()).arg(rounds);
    line("export of the whole table", exports, exportPasses);
    line("import of a whole table, every code changed", imports, importPasses);
    line("Find duplicates", finds, findPasses);
    return medianMs(exports) <= TableFileGoalMs && medianMs(imports) <= TableFileGoalMs && medianMs(finds) <= TableFileGoalMs;
}

}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir::setCurrent(dataRoot());
    const int rounds = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 11;
    QTextStream out(stdout);
    const bool u65 = benchModel(QStringLiteral("U65"), rounds, out);
    const bool h65 = benchModel(QStringLiteral("H65"), rounds, out);
    const bool keyTable = benchKeyTable(rounds, out);
    return u65 && h65 && keyTable ? 0 : 1;
}
