#pragma once

#include "devsimcore.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs a DevSimCore on the master side of a pseudo-terminal, in a thread of its own, so that a
// program opening the terminal's device (devicePath()) talks to it as to the real interface.
// Commands end at "\r"; replies leave at the times the core gives.
class DevSimPty
{
public:
    DevSimPty();
    ~DevSimPty();

    bool start();
    void stop();

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
        QByteArray bytes;
    };
    void loop();
    void writeMaster(const QByteArray &bytes);
    void closeMaster();

    DevSimCore m_core;
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
    QByteArray m_input;
};
