// Builds each sample model's page set from its definition file over its sample image, as the main
// window builds it (every page made and added as a tab, then each built by its kind in file order),
// in a shown window, timed until the pending events have run; prints the median of the rounds for
// the set, for each built page and for the events, the event-loop passes during a build, and the
// top-level widgets a set adds. Exits with 1 when a set's median exceeds the goal of 150 ms.
//
//   bench_pages [rounds]      (default 11; run with QT_QPA_PLATFORM=offscreen where there is no display)

#include "operationbin.h"
#include "pageset.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr double GoalMs = 150;

double medianMs(QVector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2) / 1e6;
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
    return u65 && h65 ? 0 : 1;
}
