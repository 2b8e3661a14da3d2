// Whole-memory Receive and Send of 8192 bytes against the simulated interface, at the delays the
// main window sets (30 ms after every block command). Prints each time and its ratio to the floor
// that the busy waits alone set.
//
//   bench_transfer [runs]

#include "comport.h"
#include "devsimpty.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int MemorySize = 8192;
constexpr int Delay = 30;
constexpr int Blocks = MemorySize / 16;
// Receive: identifier read and size probe (50 ms each), then one wait per block.
constexpr double ReceiveFloor = (50 + 50 + Blocks * Delay) / 1000.0;
// Send: size probe, then one wait per block.
constexpr double SendFloor = (50 + Blocks * Delay) / 1000.0;

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);   // the write replies' debug traces
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 1;

    QByteArray memory(MemorySize, '\0');
    for (int i = 0; i < MemorySize; ++i)
        memory[i] = char((i * 31 + (i >> 7)) & 0xff);
    DevSimPty sim;
    sim.core().setMemory(0, memory);
    if (!sim.start()) {
        fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    ComPort port;
    port.setDelays(Delay, Delay);
    port.setPortName(sim.shortName());
    port.connectDisconnectPort();
    if (!port.isConnected()) {
        fprintf(stderr, "cannot open %s\n", qPrintable(sim.devicePath()));
        return 1;
    }

    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        sim.core().clearLog();
        const int attemptsBefore = sim.core().blockCommands();
        QElapsedTimer clock;
        clock.start();
        port.setSlaveAddress(QStringLiteral("A0"));
        port.readDeviceWord(QStringLiteral("0x000E"));
        port.memoryFits(QStringLiteral("A0"), QString::number(MemorySize));
        const QByteArray hex = port.readMemory(QStringLiteral("a0"), QString::number(MemorySize));
        const double receive = clock.nsecsElapsed() / 1e9;
        const int receiveAttempts = sim.core().blockCommands() - attemptsBefore;
        const int receiveScans = sim.core().commands().count(QStringLiteral("scan"));
        if (hex != memory.toHex() || port.isBreakRequested())
            ++failures;

        QByteArray image = memory;
        for (char &c : image)
            c = char(~c);
        sim.core().clearLog();
        const int sendBefore = sim.core().blockCommands();
        clock.restart();
        port.memoryFits(QStringLiteral("A0"), QString::number(MemorySize));
        port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));
        const double send = clock.nsecsElapsed() / 1e9;
        const int sendAttempts = sim.core().blockCommands() - sendBefore;
        const int sendScans = sim.core().commands().count(QStringLiteral("scan"));
        if (sim.core().memory(0) != image || port.isBreakRequested())
            ++failures;
        sim.core().setMemory(0, memory);

        printf("run %d: receive %.3f s (floor %.2f s, ratio %.4f, %d block commands, %d scans), "
               "send %.3f s (floor %.2f s, ratio %.4f, %d block commands, %d scans)\n",
               run + 1, receive, ReceiveFloor, receive / ReceiveFloor, receiveAttempts, receiveScans, send, SendFloor,
               send / SendFloor, sendAttempts, sendScans);
        fflush(stdout);
    }
    if (failures)
        printf("%d transfers were not byte-exact\n", failures);
    return failures ? 1 : 0;
}
