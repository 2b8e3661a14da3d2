// The bank poller and the key poller over the simulated interface: thresholds of waiting input,
// the memory buttons, staying off the port during transfers, re-arming, and a hang-up.

#include "simrig.h"
#include "mythread.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <ctime>

namespace {

constexpr int Never = 1000000;   // an interval that does not come round during a test

struct Buttons {
    QPushButton a0, a2, a4, send, receive;
    Buttons()
    {
        for (QPushButton *b : {&a0, &a2, &a4})
            b->setCheckable(true);
    }
};

double cpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

}

class TestPollers : public QObject
{
    Q_OBJECT
private slots:
    void bankPollThreshold_data();
    void bankPollThreshold();
    void bankPollButtons_data();
    void bankPollButtons();
    void keyPollThreshold_data();
    void keyPollThreshold();
    void idleDuringTransfer_data();
    void idleDuringTransfer();
    void rearm();
    void hangUpIsSilenceWithoutSpinning();
};

void TestPollers::bankPollThreshold_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("waiting");
    QTest::addColumn<bool>("scans");

    QTest::newRow("port closed") << false << 0 << false;
    QTest::newRow("nothing waiting") << true << 0 << true;
    QTest::newRow("9 bytes waiting") << true << 9 << true;
    QTest::newRow("10 bytes waiting") << true << 10 << false;
    QTest::newRow("a key record waiting") << true << 30 << false;
}

void TestPollers::bankPollThreshold()
{
    QFETCH(bool, connected);
    QFETCH(int, waiting);
    QFETCH(bool, scans);

    SimRig rig;
    if (connected)
        QVERIFY(rig.connect());
    else
        QVERIFY(rig.sim.start());
    rig.sim.send(QByteArray(waiting, 'x'));
    if (connected)
        QVERIFY(rig.waitForBytes(waiting));

    Buttons b;
    MyThread poller;
    poller.setInterval(Never);
    poller.setObjects(&rig.port, &b.a0, &b.a2, &b.a4, &b.send, &b.receive, nullptr, nullptr, {});
    poller.run();
    QCOMPARE(rig.commandCount(QStringLiteral("scan")), scans ? 1 : 0);
}

void TestPollers::bankPollButtons_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<int>("checkedBefore");   // 0, 1, 2 for A0, A2, A4; -1 none
    QTest::addColumn<QList<bool>>("enabledAfter");
    QTest::addColumn<int>("checkedAfter");
    QTest::addColumn<bool>("sendReceiveEnabled");
    QTest::addColumn<int>("unplugged");

    QTest::newRow("checked A0 still there") << QList<int>{128, 0, 128} << false << 0 << QList<bool>{true, false, true} << 0 << true << 0;
    QTest::newRow("checked A2 gone") << QList<int>{128, 0, 0} << false << 1 << QList<bool>{true, false, false} << -1 << false << 0;
    QTest::newRow("nothing checked") << QList<int>{128, 128, 128} << false << -1 << QList<bool>{true, true, true} << -1 << false << 0;
    QTest::newRow("interface silent") << QList<int>{128, 0, 0} << true << 0 << QList<bool>{false, false, false} << -1 << false << 1;
}

void TestPollers::bankPollButtons()
{
    QFETCH(QList<int>, sizes);
    QFETCH(bool, muted);
    QFETCH(int, checkedBefore);
    QFETCH(QList<bool>, enabledAfter);
    QFETCH(int, checkedAfter);
    QFETCH(bool, sendReceiveEnabled);
    QFETCH(int, unplugged);

    SimRig rig(sizes[0], sizes[1], sizes[2]);
    rig.sim.core().setMuted(muted);
    QVERIFY(rig.connect());
    QSignalSpy unpluggedSpy(&rig.port, &ComPort::deviceUnplugged);

    Buttons b;
    QPushButton *memory[] = {&b.a0, &b.a2, &b.a4};
    if (checkedBefore >= 0)
        memory[checkedBefore]->setChecked(true);
    MyThread poller;
    poller.setInterval(Never);
    poller.setObjects(&rig.port, &b.a0, &b.a2, &b.a4, &b.send, &b.receive, nullptr, nullptr, {});
    poller.run();

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(memory[i]->isEnabled(), enabledAfter[i]);
        QCOMPARE(memory[i]->isChecked(), i == checkedAfter);
    }
    QCOMPARE(b.send.isEnabled(), sendReceiveEnabled);
    QCOMPARE(b.receive.isEnabled(), sendReceiveEnabled);
    QCOMPARE(unpluggedSpy.count(), unplugged);
}

void TestPollers::keyPollThreshold_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("emitted");

    QTest::newRow("25 bytes") << QByteArray(25, 'k') << false;
    QTest::newRow("26 bytes") << QByteArray(26, 'k') << true;
    QTest::newRow("one key record") << DevSimCore::keyRecord(QStringLiteral("01A2B3C4D5E6F70800"), QStringLiteral("3ba1")) << true;
    QTest::newRow("two key records") << DevSimCore::keyRecord(QStringLiteral("01A2B3C4D5E6F70800"), QStringLiteral("3ba1")).repeated(2) << true;
}

void TestPollers::keyPollThreshold()
{
    QFETCH(QByteArray, input);
    QFETCH(bool, emitted);

    SimRig rig;
    QVERIFY(rig.connect());
    rig.sim.send(input);
    QVERIFY(rig.waitForBytes(input.size()));

    MyThread1 poller;
    poller.setInterval(Never);
    poller.setObjects(&rig.port, nullptr);
    QSignalSpy spy(&poller, &MyThread1::sendTMkeySerialNumber);
    poller.run();
    QCOMPARE(spy.count(), emitted ? 1 : 0);
    if (emitted) {
        QCOMPARE(spy.at(0).at(0).toString(), QString::fromLatin1(input));
        QCOMPARE(rig.port.serialPort()->bytesAvailable(), 0);
    } else {
        QCOMPARE(rig.port.serialPort()->bytesAvailable(), input.size());
    }
}

void TestPollers::idleDuringTransfer_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("inFirstWarning");

    QTest::newRow("receive, progress report") << false << false;
    QTest::newRow("receive, warning of the first block") << false << true;
    QTest::newRow("send, progress report") << true << false;
    QTest::newRow("send, warning of the first block") << true << true;
}

// Whatever waits on the port, a poll that runs inside a transfer's report neither writes, reads
// nor emits.
void TestPollers::idleDuringTransfer()
{
    QFETCH(bool, write);
    QFETCH(bool, inFirstWarning);

    SimRig rig;
    if (inFirstWarning)
        rig.sim.core().setFault(write ? DevSimCore::Fault::WriteError : DevSimCore::Fault::ReadError, 0, 1);
    QVERIFY(rig.connect());

    Buttons b;
    MyThread bankPoller;
    bankPoller.setInterval(Never);
    bankPoller.setObjects(&rig.port, &b.a0, &b.a2, &b.a4, &b.send, &b.receive, nullptr, nullptr, {});
    MyThread1 keyPoller;
    keyPoller.setInterval(Never);
    keyPoller.setObjects(&rig.port, nullptr);
    QSignalSpy keys(&keyPoller, &MyThread1::sendTMkeySerialNumber);

    bool polled = false;
    bool stillWaiting = true;
    auto pollNow = [&](int waiting) {
        if (polled)
            return;
        polled = true;
        rig.sim.send(QByteArray(waiting, 'k'));
        rig.waitForBytes(waiting);
        bankPoller.run();
        keyPoller.run();
        stillWaiting = rig.port.serialPort()->bytesAvailable() == waiting;
    };
    if (inFirstWarning)
        connect(&rig.port, &ComPort::penUnplugged, this, [&]() { pollNow(4); });
    else
        connect(&rig.port, &ComPort::progressRead, this, [&](int v) { if (v == 2) pollNow(30); });
    rig.sim.core().clearLog();

    if (write)
        rig.port.writePort1(SimRig::pattern(128), QStringLiteral("a0"), QStringLiteral("128"));
    else
        rig.port.readMemory(QStringLiteral("a0"), QStringLiteral("128"));

    QVERIFY(polled);
    QCOMPARE(rig.commandCount(QStringLiteral("scan")), 0);
    QCOMPARE(keys.count(), 0);
    QVERIFY(stillWaiting);
}

void TestPollers::rearm()
{
    SimRig rig;
    QVERIFY(rig.connect());
    Buttons b;
    MyThread bankPoller;
    bankPoller.setInterval(20);
    bankPoller.setObjects(&rig.port, &b.a0, &b.a2, &b.a4, &b.send, &b.receive, nullptr, nullptr, {});
    MyThread1 keyPoller;
    keyPoller.setInterval(10);
    keyPoller.setObjects(&rig.port, nullptr);
    QSignalSpy keys(&keyPoller, &MyThread1::sendTMkeySerialNumber);

    bankPoller.run();
    keyPoller.run();
    QTRY_VERIFY2_WITH_TIMEOUT(rig.commandCount(QStringLiteral("scan")) >= 3, "the bank poll came round again", 10000);

    // A key record that arrives between polls keeps the bank poll off the port and is taken
    // whole by the next key poll.
    const QByteArray record = DevSimCore::keyRecord(QStringLiteral("01A2B3C4D5E6F70800"), QStringLiteral("3ba1"));
    rig.sim.send(record);
    QTRY_COMPARE_WITH_TIMEOUT(keys.count(), 1, 10000);
    QCOMPARE(keys.at(0).at(0).toString(), QString::fromLatin1(record));
}

void TestPollers::hangUpIsSilenceWithoutSpinning()
{
    SimRig rig;
    QVERIFY(rig.connect());
    QSignalSpy unplugged(&rig.port, &ComPort::deviceUnplugged);
    rig.sim.hangUp();

    MyThread1 keyPoller;
    keyPoller.setInterval(10);
    keyPoller.setObjects(&rig.port, nullptr);
    QSignalSpy keys(&keyPoller, &MyThread1::sendTMkeySerialNumber);
    keyPoller.run();

    QCOMPARE(rig.port.scanMemory(rig.port.serialPort()), (QStringList{"noaddress", "NOA0", "NOA2", "NOA4"}));
    QCOMPARE(unplugged.count(), 1);

    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(500);
    const double cpuShare = (cpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
    QVERIFY2(cpuShare < 0.5, qPrintable(QStringLiteral("processor share while idle: %1").arg(cpuShare)));
    QCOMPARE(keys.count(), 0);
    QCOMPARE(rig.port.serialPort()->bytesAvailable(), 0);
}

QTEST_MAIN(TestPollers)
#include "tst_pollers.moc"
