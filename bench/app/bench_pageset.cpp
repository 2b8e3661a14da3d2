// The page set of each sample image as the window builds it after a Load or Receive: creatPages()
// to its return, less the 60 ms busy wait it ends with (the wait is reported apart), and one update
// of the table pages after a flat-numbering change. Offscreen, in-process, medians.
//
//   QT_QPA_PLATFORM=offscreen bench_pageset [runs]        (default 7)

#include "median.h"
#include "roadfixture.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr double PageSetWaitMs = 60.0;

double timed(const std::function<void()> &step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    return clock.nsecsElapsed() / 1e6;
}

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && !message.contains(QLatin1String("propagateSizeHints")))
        fprintf(stderr, "%s\n", qPrintable(message));
}

}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 7;

    const struct {
        const char *image;
        const char *definition;
    } samples[] = {
        {"RK4820_H65_sample.bin", "RK4820_H65_EN.xlx"},
        {"RK4820_U65_sample.bin", "RK4820_U65_EN.xlx"},
    };
    for (const auto &sample : samples) {
        RoadRig rig;
        rig.start(false);
        rig.probe->image()->loadFile(rig.dataPath(QLatin1String(sample.image)));
        rig.probe->useModel(rig.files.path() + QStringLiteral("/application/xml/") + QLatin1String(sample.definition),
                            QStringLiteral("8192"));
        QList<double> builds;
        QList<double> updates;
        int pages = 0;
        for (int run = 0; run < runs; ++run) {
            builds << timed([&] { QMetaObject::invokeMethod(rig.window.get(), "creatPages"); }) - PageSetWaitMs;
            pages = rig.probe->pages().size();
            if (!rig.probe->tablePageIndexes().isEmpty())
                updates << timed([&] { QMetaObject::invokeMethod(rig.window.get(), "updateTables"); });
            dataModified = false;
            QMetaObject::invokeMethod(rig.window.get(), "deleteSystem");   // end of editing: no set left
            QApplication::processEvents();
        }
        printf("%s: %d pages, creatPages() %.1f ms without the %.0f ms wait (median of %d); table update %.1f ms\n",
               sample.definition, pages, median(builds), PageSetWaitMs, runs,
               updates.isEmpty() ? 0.0 : median(updates));
    }
    printf("goal: at most 150 ms for the largest\n");
    return 0;
}
