#pragma once

// A simulated interface on a pseudo-terminal of its own and the port connected to it.

#include "comport.h"
#include "devsimpty.h"
#include "qextserialport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTest>

struct SimRig {
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
        port.setDelays(25, 25);   // long enough that a busy machine does not turn a reply into silence
        sim.core().setLateMs(80);
    }

    bool connect()
    {
        if (!sim.start())
            return false;
        port.setPortName(sim.shortName());
        port.connectDisconnectPort();
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
