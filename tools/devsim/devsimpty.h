#pragma once

#include "devsimcore.h"

#include <QByteArray>
#include <QString>

class QSocketNotifier;

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs a DevSimCore on the master side of a pseudo-terminal, so that a program opening the
// terminal's device (devicePath()) talks to it as to the real interface. Commands end at "\r";
// replies leave at the times the core gives.
//
// Free-running (the default), a thread of its own answers on the wall clock, as a device would.
// Stepped, there is no such thread: the interface moves only in step(), which the waits of the
// program under test call. A step of ms milliseconds lets that much time pass, then takes every
// command that has arrived (as arrived at the start of the step), advances the simulated clock by
// ms and sends whatever is due by it. A reply delay then counts from the command's arrival in
// simulated time, so a reply is on time, late or missing the same way however long the machine
// keeps any thread from running. A command written outside the waits (a switch of the key reader,
// say) is taken when the program's event loop next runs, or before send() sends, and its answer
// follows at once; only the waits advance the simulated clock.
//
// The terminal stays allocated until stop(), also after a hang-up: close the port first. (The
// port's lock file names the terminal number; a number freed while a port still holds its lock
// makes the next process of the same name that is given that number fail to open its port.)
class DevSimPty
{
public:
    DevSimPty();
    ~DevSimPty();

    // Set before start().
    void setStepped(bool stepped) { m_stepped = stepped; }

    bool start();
    void stop();
    // Stepped: lets ms milliseconds pass and the interface answer within them (see above).
    void step(int ms);
    // Stepped: the same at once, without letting the time pass: the simulated clock alone moves.
    // What is due is on the line when it returns (the port's next look at the terminal finds it).
    void advance(int ms);

    DevSimCore &core() { return m_core; }
    QString devicePath() const { return m_devicePath; }
    // The short port name: the device path without "/dev/".
    QString shortName() const;

    // Bytes the interface sends by itself (key records, stray input).
    void send(const QByteArray &bytes);
    // The interface goes away: the terminal hangs up.
    void hangUp();
    bool isHungUp() const { return m_hungUp; }

private:
    struct Pending {
        qint64 due;
        DevSimCore::Chunk chunk;
    };
    void loop();
    qint64 clockMs() const;
    void answerArrived();
    void readInput();
    int sendDue();
    void writeMaster(const QByteArray &bytes);
    void closeMaster();
    void hangUpNow();

    DevSimCore m_core;
    bool m_stepped = false;
    qint64 m_steppedMs = 0;
    std::unique_ptr<QSocketNotifier> m_arrivals;   // stepped: input outside the waits
    QString m_devicePath;
    int m_master = -1;
    int m_slave = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_hungUp{false};
    std::atomic<bool> m_hangUpRequested{false};
    std::mutex m_pendingMutex;
    std::vector<Pending> m_pending;
    qint64 m_busyUntil = 0;   // answering in turn: when the last answer has gone out
    QByteArray m_input;
};
