// Builds each sample model's page set from its definition file over its sample image, as the main
// window builds it (every page made and added as a tab, then each built by its kind in file order),
// in a shown window, timed until the pending events have run; prints the median of the rounds for
// the set, for each built page and for the events, and the top-level widgets a set adds.
//
//   bench_pages [rounds]      (default 11; run with QT_QPA_PLATFORM=offscreen where there is no display)

#include "operationbin.h"
#include "pageset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTextStream>

#include <algorithm>

namespace {

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
        return QStringLiteral("table (not built)");
    case PageKindWeb:
        return QStringLiteral("web");
    default:
        return QStringLiteral("none");
    }
}

void benchModel(const QString &model, int rounds, QTextStream &out)
{
    MainWindowStandIn main;
    main.window.show();
    if (!QTest::qWaitForWindowExposed(&main.window))
        qWarning("the window was not exposed");
    OperationBin image;
    image.loadFile(sampleImage(model));
    const int windowsBefore = QApplication::topLevelWidgets().size();

    QVector<qint64> whole, events, deletion;
    QVector<QVector<qint64>> pages;
    int windowsAdded = 0;
    QMap<QString, int> windowKinds;
    for (int round = -1; round < rounds; ++round) { // round -1 warms up
        QElapsedTimer timer;
        timer.start();
        auto set = std::make_unique<PageSet>(main, sampleDefinition(model), &image);
        const qint64 built = timer.nsecsElapsed();
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
            pages.resize(set->count());
            for (int i = 0; i < set->count(); ++i)
                pages[i] << set->buildTime(i);
        }
        if (round == rounds - 1) {
            out << QStringLiteral("RK4820 %1: %2 pages, median of %3 builds\n").arg(model).arg(set->count()).arg(rounds);
            for (int i = 0; i < set->count(); ++i) {
                const QString rows = set->kind(i) == PageKindTree
                    ? QStringLiteral(", %1 rows").arg([&] {
                          int n = 0;
                          for (int h = 0; h < set->page(i)->headLineCount(); ++h)
                              n += 1 + set->page(i)->lineCount(h);
                          return n;
                      }())
                    : QString();
                out << QStringLiteral("  page %1 %2%3: %4 ms\n")
                           .arg(i)
                           .arg(kindName(set->kind(i)), rows)
                           .arg(medianMs(pages[i]), 0, 'f', 2);
            }
            out << QStringLiteral("  pending events after the build: %1 ms\n").arg(medianMs(events), 0, 'f', 2);
            out << QStringLiteral("  whole set: %1 ms\n").arg(medianMs(whole), 0, 'f', 2);
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
    benchModel(QStringLiteral("U65"), rounds, out);
    benchModel(QStringLiteral("H65"), rounds, out);
    return 0;
}
