#pragma once

// A simulated interface on a pseudo-terminal of its own and the port connected to it.

#include "comport.h"
#include "devsimpty.h"
#include "qextserialport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTest>

struct SimRig {
    static constexpr int DelayMs = 25;   // the port's read and write delays

    DevSimPty sim;
    ComPort port;

    // Memory sizes of A0, A2 and A4; 0 leaves a memory out.
    explicit SimRig(int a0 = 128, int a2 = 0, int a4 = 0)
    {
        const int sizes[] = {a0, a2, a4};
        for (int i = 0; i < 3; ++i) {
            if (sizes[i] > 0)
                sim.core().setMemory(i, pattern(sizes[i], i));
        }
        port.setDelays(DelayMs, DelayMs);
        sim.core().setLateMs(80);
        // The port's waits drive the interface: every reply comes on simulated time, counted from
        // its command, so a busy machine makes no reply late and no late reply on time.
        sim.setStepped(true);
        setWaitFunction([this](int ms) { sim.step(ms); });
    }
    ~SimRig() { setWaitFunction(nullptr); }   // the port closes before the terminal goes
    SimRig(const SimRig &) = delete;
    SimRig &operator=(const SimRig &) = delete;

    bool connect()
    {
        if (!sim.start())
            return false;
        port.setPortName(sim.shortName());
        port.connectDisconnectPort();
        if (!port.isConnected())
            qWarning("%s does not open: %s", qPrintable(sim.devicePath()), qPrintable(port.serialPort()->errorString()));
        return port.isConnected();
    }

    // Waits until at least n bytes wait on the port (the terminal delivers them a little later).
    bool waitForBytes(int n, int timeoutMs = 1000)
    {
        QElapsedTimer clock;
        clock.start();
        while (port.serialPort()->bytesAvailable() < n) {
            if (clock.elapsed() > timeoutMs)
                return false;
            QTest::qSleep(1);
        }
        return true;
    }

    int commandCount(const QString &command) { return sim.core().commands().count(command); }

    static QByteArray pattern(int size, int seed = 0)
    {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char((i * 37 + seed * 101 + (i >> 8)) & 0xff);
        return bytes;
    }
};
