// A whole Receive and Send of an 8192-byte memory through the window, against the simulated
// interface at the window's own port delays (30 ms after every block command): from the click to
// the return, the page set of the Receive included. Prints each time and its ratio to the
// reference (15.46 s for the Receive, 15.41 s for the Send) plus the fixed waits of the road
// (Receive: identifier read and size probe 50 ms each, the end of the page build and of the
// Receive 60 ms each; Send: the size probe, 50 ms).
//
//   QT_QPA_PLATFORM=offscreen bench_roads [runs]        (default 1)

#include "roadfixture.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr double ReceiveReference = 15.46 + (50 + 50 + 60 + 60) / 1000.0;
constexpr double SendReference = 15.41 + 50 / 1000.0;

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && !message.contains(QLatin1String("propagateSizeHints")))
        fprintf(stderr, "%s\n", qPrintable(message));
}

double seconds(const std::function<void()> &step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    return clock.nsecsElapsed() / 1e9;
}

}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet);   // the write replies' debug traces
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 1;

    RoadRig rig(RoadRig::sample(QStringLiteral("RK4820_U65_sample.bin")));
    rig.start();
    rig.probe->port()->setDelays(30, 30);
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        if (!rig.probe->port()->isConnected() && !rig.connectInterface())
            return 1;
        rig.button("buttonConnectA0")->click();
        const int before = rig.sim.core().blockCommands();
        const double receive = seconds([&] { rig.button("buttonReceive")->click(); });
        const int reads = rig.sim.core().blockCommands() - before;
        const bool received = rig.probe->image()->image() == rig.sim.core().memory(0) && rig.probe->hasPageTabs();

        rig.button("buttonConnectA0")->click();
        const double send = seconds([&] { rig.button("buttonSend")->click(); });
        const int writes = rig.sim.core().blockCommands() - before - reads;
        const bool sent = rig.sim.core().memory(0) == rig.probe->image()->image();
        failures += (received && sent && rig.script.seen.isEmpty()) ? 0 : 1;

        printf("Receive %.2f s (%d block reads), ratio %.3f; Send %.2f s (%d block writes), ratio %.3f%s\n", receive,
               reads, receive / ReceiveReference, send, writes, send / SendReference,
               received && sent ? "" : "  (FAILED)");
    }
    return failures ? 1 : 0;
}
