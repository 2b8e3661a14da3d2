// Whole-memory read and write against the simulated interface: outcomes of the block replies,
// retries, breaks, a memory that goes away, and stopping a transfer from its progress dialog.

#include "simrig.h"
#include "myprogressdialog.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using Fault = DevSimCore::Fault;
Q_DECLARE_METATYPE(DevSimCore::Fault)

namespace {

constexpr int MemorySize = 128;
constexpr int Blocks = MemorySize / 16;

// Records a transfer's signals, and stops a transfer that would otherwise repeat for ever.
struct Watch {
    QList<int> progress;
    int penUnplugged = 0;
    int unplugWarnings = 0;
    bool runningAtEveryReport = true;

    explicit Watch(ComPort &port)
    {
        QObject::connect(&port, &ComPort::progressRead, [this, &port](int value) {
            progress << value;
            runningAtEveryReport = runningAtEveryReport && (port.isReading() || port.isWriting());
            if (progress.size() > 40 * Blocks)
                port.breakSendReceive();
        });
        QObject::connect(&port, &ComPort::penUnplugged, [this, &port]() {
            ++penUnplugged;
            runningAtEveryReport = runningAtEveryReport && (port.isReading() || port.isWriting());
        });
        QObject::connect(&port, &ComPort::unplugWarning, [this]() { ++unplugWarnings; });
    }

    // Every report is the last one or one more; nothing beyond the block count.
    bool steady(int blocks) const
    {
        int last = 0;
        for (int v : progress) {
            if (v < last || v > last + 1 || v > blocks)
                return false;
            last = v;
        }
        return true;
    }
};

}

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void transfer_data();
    void transfer();
    void slowInterface_data();
    void slowInterface();
    void stalledProcess_data();
    void stalledProcess();
    void replyOfAnotherCommand_data();
    void replyOfAnotherCommand();
    void splitReplies_data();
    void splitReplies();
    void writeReplyHeldUp_data();
    void writeReplyHeldUp();
    void writeEchoHeardOutsideItsReply_data();
    void writeEchoHeardOutsideItsReply();
    void noiseShapedLikeAnEcho_data();
    void noiseShapedLikeAnEcho();
    void shortReadReply_data();
    void shortReadReply();
    void blockCounts_data();
    void blockCounts();
    void refusedSizes_data();
    void refusedSizes();
    void wholeAddressSpace();
    void shortImageSendsEmptyBlocks();
    void breaks_data();
    void breaks();
    void dialogStopsRepeatingBlock_data();
    void dialogStopsRepeatingBlock();
};

void TestTransfer::transfer_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<Fault>("laterFault");   // Fault::None: none
    QTest::addColumn<int>("laterFirst");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<int>("penUnplugged");
    QTest::addColumn<int>("blocksDone");    // of a transfer that ends early
    QTest::addColumn<int>("scans");

    for (bool write : {false, true}) {
        const char *dir = write ? "send" : "receive";
        auto row = [&](const char *name) { return &QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(dir), QLatin1String(name)))); };
        *row("clean") << write << Fault::None << 0 << 0 << Fault::None << 0 << true << 0 << Blocks << 0;
        *row("late reply") << write << Fault::Late << 3 << 1 << Fault::None << 0 << true << 0 << Blocks << 3;
        *row("split reply") << write << Fault::Split << 3 << 1 << Fault::None << 0 << true << 0 << Blocks << 0;
        *row("one silence") << write << Fault::Silence << 3 << 1 << Fault::None << 0 << true << 0 << Blocks << 3;
        *row("every silence on one block makes its scans") << write << Fault::Silence << 3 << 3 << Fault::None << 0 << true << 0 << Blocks << 9;
        *row("memory drops out") << write << Fault::DropOut << 5 << 1 << Fault::None << 0 << false << 0 << 5 << 3;
        *row("drop out after a passing silence") << write << Fault::Silence << 2 << 1 << Fault::DropOut << 7 << false << 0 << 6 << 6;
        // Block 3 is silent once, the memory is found, and its retry (the fifth block command) fails.
        *row("drop out on the retry of a block that had a passing silence") << write << Fault::Silence << 3 << 1 << Fault::DropOut << 4 << false << 0 << 3 << 6;
        *row("hang-up on the retry of a block that had a passing silence") << write << Fault::Silence << 3 << 1 << Fault::HangUp << 4 << false << 0 << 3 << 3;
        *row("hang-up") << write << Fault::HangUp << 4 << 1 << Fault::None << 0 << false << 0 << 4 << 0;   // its scans reach nobody
    }
    QTest::newRow("receive: wrong mark") << false << Fault::WrongMark << 3 << 2 << Fault::None << 0 << true << 0 << Blocks << 0;
    QTest::newRow("receive: digit that is not hexadecimal") << false << Fault::BadDigit << 3 << 1 << Fault::None << 0 << true << 0 << Blocks << 0;
    QTest::newRow("receive: garbage") << false << Fault::Garbage << 3 << 2 << Fault::None << 0 << true << 0 << Blocks << 0;
    QTest::newRow("receive: *errd") << false << Fault::ReadError << 3 << 2 << Fault::None << 0 << true << 2 << Blocks << 0;
    QTest::newRow("send: *erwr") << true << Fault::WriteError << 3 << 2 << Fault::None << 0 << true << 2 << Blocks << 0;
    // Random characters in place of "ok", the block not stored.
    QTest::newRow("send: garbage") << true << Fault::Garbage << 3 << 1 << Fault::None << 0 << true << 0 << Blocks << 0;
}

void TestTransfer::transfer()
{
    QFETCH(bool, write);
    QFETCH(Fault, fault);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(Fault, laterFault);
    QFETCH(int, laterFirst);
    QFETCH(bool, complete);
    QFETCH(int, penUnplugged);
    QFETCH(int, blocksDone);
    QFETCH(int, scans);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(fault, first, count);
    if (laterFault != Fault::None)
        rig.sim.core().addFault(laterFault, laterFirst, 1);
    QVERIFY(rig.connect());
    Watch watch(rig.port);

    const QByteArray before = rig.sim.core().memory(0);
    const QByteArray image = SimRig::pattern(MemorySize, 7);
    QByteArray received;
    if (write)
        rig.port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));
    else
        received = rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize));

    QVERIFY(!rig.port.isReading() && !rig.port.isWriting());
    QVERIFY(watch.runningAtEveryReport);
    QVERIFY(watch.steady(Blocks));
    QCOMPARE(watch.penUnplugged, penUnplugged);
    QCOMPARE(rig.commandCount(QStringLiteral("scan")), scans);
    QCOMPARE(rig.port.isBreakRequested(), !complete);
    QCOMPARE(watch.unplugWarnings, complete ? 0 : 1);
    QCOMPARE(watch.progress.value(watch.progress.size() - 1), blocksDone);
    if (fault != Fault::None && complete)
        QVERIFY2(watch.progress.size() > Blocks, "the faulty block was asked again");
    if (complete)
        QCOMPARE(watch.progress.size(), rig.sim.core().blockCommands());   // a report for every attempt

    // Byte-exact up to where the transfer got.
    const int bytesDone = blocksDone * 16;
    if (write) {
        const QByteArray after = rig.sim.core().memory(0);
        QCOMPARE(after.left(bytesDone), image.left(bytesDone));
        QCOMPARE(after.mid(bytesDone + 16), before.mid(bytesDone + 16));
    } else {
        QCOMPARE(received, before.left(bytesDone).toHex());
    }
}

// An interface that answers every block a little later than the wait: each reply is taken by the
// attempt it answers, never by the next block's.
void TestTransfer::slowInterface_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("late");

    // Between one and two delays late, with room on both sides for a busy machine.
    QTest::newRow("receive") << false << 50 << 75;
    QTest::newRow("send") << true << 50 << 75;
}

void TestTransfer::slowInterface()
{
    QFETCH(bool, write);
    QFETCH(int, delay);
    QFETCH(int, late);

    SimRig rig(MemorySize);
    rig.port.setDelays(delay, delay);
    rig.sim.core().setLateMs(late);
    rig.sim.core().setFault(Fault::Late, 0, -1);
    QVERIFY(rig.connect());
    Watch watch(rig.port);

    const QByteArray before = rig.sim.core().memory(0);
    const QByteArray image = SimRig::pattern(MemorySize, 11);
    if (write) {
        rig.port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));
        QCOMPARE(rig.sim.core().memory(0).toHex(), image.toHex());
    } else {
        QCOMPARE(rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize)), before.toHex());
    }
    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(watch.unplugWarnings, 0);
    QCOMPARE(watch.penUnplugged, 0);
    QCOMPARE(rig.commandCount(QStringLiteral("scan")), 0);
    QCOMPARE(rig.sim.core().blockCommands(), Blocks);   // one attempt per block
}

// A process the machine keeps from running makes every wait last longer than asked: a reply the
// interface sends late must still come after the waits it missed, and one on time within its own.
void TestTransfer::stalledProcess_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("scans");
    QTest::addColumn<int>("attempts");

    QTest::newRow("replies on time") << Fault::None << 0 << Blocks;
    QTest::newRow("a late reply is a silence") << Fault::Late << 3 << Blocks + 1;
}

void TestTransfer::stalledProcess()
{
    QFETCH(Fault, fault);
    QFETCH(int, scans);
    QFETCH(int, attempts);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(fault, 3, 1);
    // Every wait takes four times its length: longer than the late reply takes to come.
    setWaitFunction([&rig](int ms) {
        QTest::qSleep(3 * ms);
        rig.sim.step(ms);
    });
    QVERIFY(rig.connect());

    const QByteArray before = rig.sim.core().memory(0);
    QCOMPARE(rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize)), before.toHex());
    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(rig.commandCount(QStringLiteral("scan")), scans);
    QCOMPARE(rig.sim.core().blockCommands(), attempts);
}

// A reply that is not the attempt's own waits on the line when a block's first attempt reads its
// reply: the memory gives no answer of its own (or "*erwr"), and the reply must not count for the
// block. A read does not take another block's or another memory's data; a write does not take an
// "ok" for a block the memory did not store, neither one after another block's echo nor a bare one
// from an interface that echoes its writes, nor after the block's own echo cut off before its line
// end, nor beside "*erwr" (in either order, on an interface that answers writes "ok" alone; with the
// memory's name the warning still comes). A NUL after a held-up "ok" (of the key reader's switch,
// say) hides neither the "ok" nor the echo behind it, also at the first write of a session.
void TestTransfer::replyOfAnotherCommand_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("block");
    QTest::addColumn<Fault>("ownReply");
    QTest::addColumn<QByteArray>("stale");
    QTest::addColumn<bool>("writeEcho");
    QTest::addColumn<int>("penUnplugged");

    const QByteArray memory = SimRig::pattern(MemorySize);
    const QByteArray image = SimRig::pattern(MemorySize, 13);
    QTest::newRow("receive, own reply silent: block 2's reply")
        << false << 3 << Fault::Silence << "rd:a0@0020,10\r\n**" + memory.mid(32, 16).toHex() + "-00\r" << true << 0;
    QTest::newRow("receive, own reply silent: memory A2's reply for the block")
        << false << 3 << Fault::Silence << QByteArray("rd:a2@0030,10\r\n**0123456789abcdef0123456789abcdef-00\r")
        << true << 0;
    QTest::newRow("send, own reply *erwr: block 2's reply")
        << true << 3 << Fault::WriteError << "wr:a0@0020," + image.mid(32, 16).toHex() + "\r\nok\r" << true << 0;
    QTest::newRow("send, not stored, no answer: a lone ok")
        << true << 3 << Fault::Silence << QByteArray("ok\r") << true << 0;
    QTest::newRow("send, not stored, no answer: ok and a NUL")
        << true << 3 << Fault::Silence << QByteArray("ok\r\0", 4) << true << 0;
    QTest::newRow("send, first write, not stored: ok, a NUL, then its echo without answer")
        << true << 0 << Fault::Silence << QByteArray("ok\r\0", 4) + "wr:a0@0000," + image.left(16).toHex() + "\r\n"
        << true << 0;
    const QByteArray echo = "wr:a0@0030," + image.mid(48, 16).toHex();
    QTest::newRow("send, not stored: its echo cut after the last digit, then a held-up ok")
        << true << 3 << Fault::Silence << echo + "ok\r" << true << 0;
    QTest::newRow("send, writes answered ok alone: *erwr, then a held-up ok")
        << true << 3 << Fault::Silence << QByteArray("*erwr\rok\r") << false << 0;
    QTest::newRow("send, writes answered ok alone: a held-up ok, then *erwr")
        << true << 3 << Fault::Silence << QByteArray("ok\r*erwr\r") << false << 0;
    QTest::newRow("send, writes answered ok alone: a held-up ok, then *erwr naming the memory")
        << true << 3 << Fault::Silence << QByteArray("ok\r*erwr a0\r") << false << 1;
}

void TestTransfer::replyOfAnotherCommand()
{
    QFETCH(bool, write);
    QFETCH(int, block);
    QFETCH(Fault, ownReply);
    QFETCH(QByteArray, stale);
    QFETCH(bool, writeEcho);
    QFETCH(int, penUnplugged);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(ownReply, block, 1);   // the block's first attempt
    rig.sim.core().setWriteEcho(writeEcho);
    QVERIFY(rig.connect());
    Watch watch(rig.port);
    const QByteArray before = rig.sim.core().memory(0);
    const QByteArray image = SimRig::pattern(MemorySize, 13);
    bool sent = false;
    auto sendStale = [&]() {
        sent = true;
        rig.sim.send(stale);
        QVERIFY(rig.waitForBytes(stale.size()));
    };
    if (block == 0) {   // in the first attempt's wait, once its command is out
        setWaitFunction([&](int ms) {
            if (!sent)
                sendStale();
            rig.sim.step(ms);
        });
    } else {   // before the first attempt's command
        connect(&rig.port, &ComPort::progressRead, &rig.port, [&](int done) {
            if (done == block && !sent)
                sendStale();
        });
    }

    if (write) {
        rig.port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));
        QCOMPARE(rig.sim.core().memory(0).toHex(), image.toHex());
    } else {
        QCOMPARE(rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize)), before.toHex());
    }
    QVERIFY(sent);
    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(rig.sim.core().blockCommands(), Blocks + 1);
    QCOMPARE(watch.penUnplugged, penUnplugged);
}

// An interface that sends every block reply in two pieces, the first 20 characters at once and
// the rest held up on its way, the answers to later commands passing it (or, answering in turn,
// waiting behind it). No reply may be pieced together from two: the Receive ends byte-exact or
// stopped, never with a wrong byte. A rest within the read delay is no fault at all; one that
// never comes makes each block a wrong reply, asked again until the user stops, and is no
// interface gone away.
void TestTransfer::splitReplies_data()
{
    QTest::addColumn<int>("restMs");
    QTest::addColumn<bool>("inTurn");

    for (bool inTurn : {false, true}) {
        for (int ms : {25, 40, 60, 100, 250, 1000})
            QTest::newRow(qPrintable(QStringLiteral("rest %1 ms later%2").arg(ms).arg(inTurn ? ", in turn" : ""))) << ms << inTurn;
    }
    QTest::newRow("rest never comes") << 3000 << false;
}

void TestTransfer::splitReplies()
{
    QFETCH(int, restMs);
    QFETCH(bool, inTurn);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(Fault::Split, 0, -1);
    rig.sim.core().setSplitAt(20);
    rig.sim.core().setLateMs(restMs);
    rig.sim.core().setAnswersInTurn(inTurn);
    // Stopped, as by Cancel, once the Receive has had time enough to piece replies together.
    int waited = 0;
    setWaitFunction([&](int ms) {
        waited += ms;
        rig.sim.step(ms);
    });
    QVERIFY(rig.connect());
    Watch watch(rig.port);
    connect(&rig.port, &ComPort::progressRead, &rig.port, [&]() {
        if (waited > 2 * Blocks * SimRig::DelayMs + restMs)
            rig.port.breakSendReceive();
    });

    const QByteArray memory = rig.sim.core().memory(0).toHex();
    const QByteArray received = rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize));
    const bool stopped = rig.port.isBreakRequested();
    QCOMPARE(received, stopped ? memory.left(received.size()) : memory);
    if (restMs <= SimRig::DelayMs)
        QVERIFY(!stopped);
    QCOMPARE(watch.unplugWarnings, 0);
    QVERIFY(!rig.port.isReading());
}

// Block 3's write reply comes in two pieces: its first character (or its whole echo) at once, its
// rest held up on the way; its second attempt is answered at once. Then block 4's first attempt
// fails: its write is not stored and only a first character comes, or it is answered "*erwr",
// nothing or garbage. The held-up rest, with its "ok", must never count for a block the memory does
// not hold, also when it comes after the settling of the line has given up on it: every progress
// report names a block that holds the image's bytes, and the Send ends byte-exact.
void TestTransfer::writeReplyHeldUp_data()
{
    QTest::addColumn<int>("splitAt");
    QTest::addColumn<int>("restMs");
    QTest::addColumn<Fault>("nextFault");
    QTest::addColumn<bool>("inTurn");

    const QList<QPair<const char *, Fault>> faults{{"first character only, not stored", Fault::Cut},
                                                   {"*erwr", Fault::WriteError},
                                                   {"silence", Fault::Silence},
                                                   {"garbage", Fault::Garbage}};
    for (int ms : {40, 65, 85}) {
        for (const auto &f : faults)
            QTest::newRow(qPrintable(QStringLiteral("rest %1 ms later, next: %2").arg(ms).arg(QLatin1String(f.first))))
                << 1 << ms << f.second << false;
    }
    for (const auto &f : faults)
        QTest::newRow(qPrintable(QStringLiteral("rest 65 ms later, in turn, next: %1").arg(QLatin1String(f.first))))
            << 1 << 65 << f.second << true;
    // The echo with its line end (45 bytes) at once, the "ok" past ReplyRestTimeoutMs: it comes while
    // block 4 waits for its answer.
    const int echo = QByteArray("wr:a0@0030,\r\n").size() + 32;
    for (int ms : {2060, 2090})
        QTest::newRow(qPrintable(QStringLiteral("echo at once, ok %1 ms later, next: silence").arg(ms))) << echo << ms << Fault::Silence << false;
}

void TestTransfer::writeReplyHeldUp()
{
    QFETCH(int, splitAt);
    QFETCH(int, restMs);
    QFETCH(Fault, nextFault);
    QFETCH(bool, inTurn);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(Fault::Split, 3, 1);
    rig.sim.core().addFault(nextFault, 5, 1);   // block 4's first attempt, after block 3's second
    rig.sim.core().setSplitAt(splitAt);
    rig.sim.core().setLateMs(restMs);
    rig.sim.core().setAnswersInTurn(inTurn);
    QVERIFY(rig.connect());
    Watch watch(rig.port);
    const QByteArray image = SimRig::pattern(MemorySize, 21);
    QStringList wrongBlocks;
    connect(&rig.port, &ComPort::progressRead, &rig.port, [&](int done) {
        const int at = 16 * (done - 1);
        if (done > 0 && rig.sim.core().memory(0).mid(at, 16) != image.mid(at, 16))
            wrongBlocks << QString::number(done - 1);
    });

    rig.port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));

    QVERIFY2(wrongBlocks.isEmpty(), qPrintable("counted as written, not in the memory: block " + wrongBlocks.join(", ")));
    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(watch.unplugWarnings, 0);
    QCOMPARE(rig.sim.core().memory(0).toHex(), image.toHex());
    QVERIFY(watch.steady(Blocks));
    QCOMPARE(watch.progress.size(), rig.sim.core().blockCommands());
}

// The first write's echo reaches the port but not in the block reply itself: late, read by the
// bank scans after the silent attempt, or split after "wr:a0" with its rest read while the line
// settles. Then two bare "ok"s answer writes the memory does not store (block 0's retry, block 1):
// the interface has echoed a write, so neither counts, and the Send ends byte-exact.
void TestTransfer::writeEchoHeardOutsideItsReply_data()
{
    QTest::addColumn<Fault>("firstReply");
    QTest::addColumn<int>("splitAt");
    QTest::addColumn<int>("lateMs");

    QTest::newRow("late, read by the scans") << Fault::Late << 0 << 60;
    QTest::newRow("split after its first 5 bytes, the rest read while the line settles") << Fault::Split << 5 << 40;
}

void TestTransfer::writeEchoHeardOutsideItsReply()
{
    QFETCH(Fault, firstReply);
    QFETCH(int, splitAt);
    QFETCH(int, lateMs);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(firstReply, 0, 1);
    rig.sim.core().addFault(Fault::BareOkLost, 1, 2);
    rig.sim.core().setSplitAt(splitAt);
    rig.sim.core().setLateMs(lateMs);
    QVERIFY(rig.connect());
    Watch watch(rig.port);
    const QByteArray image = SimRig::pattern(MemorySize, 21);

    rig.port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));

    QCOMPARE(rig.sim.core().memory(0).toHex(), image.toHex());
    QVERIFY(!rig.port.isBreakRequested());
    QVERIFY(watch.steady(Blocks));
    QCOMPARE(watch.progress.size(), rig.sim.core().blockCommands());
}

// Noise on an interface that answers writes "ok" alone, read before the Send: shaped like the head
// of a write echo, read with a bank scan's reply or split between that read and the next, or the
// whole echo of a write the port never sent. It does not make the interface one that echoes: every
// bare "ok" counts, and the Send ends with one command a block.
void TestTransfer::noiseShapedLikeAnEcho_data()
{
    QTest::addColumn<QByteArray>("afterScan");    // read with the scan's reply
    QTest::addColumn<QByteArray>("beforeSend");   // read by itself, when the Send begins

    QTest::newRow("an echo's head after a scan reply") << QByteArray("wr:a0@0000,") << QByteArray();
    QTest::newRow("an echo's head split between two reads") << QByteArray("wr:a0") << QByteArray("@0000,");
    QTest::newRow("the whole echo of a write never sent")
        << QByteArray() << "wr:a0@0000," + QByteArray(32, '5') + "\r\n";
}

void TestTransfer::noiseShapedLikeAnEcho()
{
    QFETCH(QByteArray, afterScan);
    QFETCH(QByteArray, beforeSend);

    SimRig rig(MemorySize);
    rig.sim.core().setWriteEcho(false);
    QVERIFY(rig.connect());
    Watch watch(rig.port);
    const int scanReply = QByteArray("scan\r\nA0\r").size();
    setWaitFunction([&](int ms) {
        rig.sim.step(ms);
        rig.sim.send(afterScan);
        QVERIFY(rig.waitForBytes(scanReply + afterScan.size()));
    });
    QVERIFY(rig.port.bankPresent(QStringLiteral("a0")));
    setWaitFunction([&rig](int ms) { rig.sim.step(ms); });
    rig.sim.send(beforeSend);
    QVERIFY(rig.waitForBytes(beforeSend.size()));
    const QByteArray image = SimRig::pattern(MemorySize, 23);

    rig.port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));

    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(rig.sim.core().memory(0).toHex(), image.toHex());
    QCOMPARE(rig.sim.core().blockCommands(), Blocks);
}

// A read reply that comes short and never whole (one byte lost on the line, or cut off): once the
// line has been quiet for the rest's whole wait it is a wrong reply like any other, and the block is
// asked again.
void TestTransfer::shortReadReply_data()
{
    QTest::addColumn<int>("cutAt");

    QTest::newRow("one byte lost: 50 characters") << 51;   // of 53 bytes with their carriage returns
    QTest::newRow("cut after 20 bytes") << 20;
    QTest::newRow("cut after 40 bytes") << 40;
}

void TestTransfer::shortReadReply()
{
    QFETCH(int, cutAt);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(Fault::Cut, 3, 1);
    rig.sim.core().setSplitAt(cutAt);
    QVERIFY(rig.connect());
    Watch watch(rig.port);

    const QByteArray memory = rig.sim.core().memory(0).toHex();
    QCOMPARE(rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize)), memory);
    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(watch.unplugWarnings, 0);
    QCOMPARE(rig.commandCount(QStringLiteral("scan")), 0);
    QCOMPARE(rig.sim.core().blockCommands(), Blocks + 1);
    QVERIFY(watch.steady(Blocks));
    QCOMPARE(watch.progress.size(), Blocks + 1);
    QCOMPARE(watch.progress.at(3), 3);   // block 3 asked again
}

void TestTransfer::blockCounts_data()
{
    QTest::addColumn<QString>("memorySize");
    QTest::addColumn<int>("blocks");

    QTest::newRow("100 bytes: 6 blocks, the rest untouched") << "100" << 6;
}

void TestTransfer::blockCounts()
{
    QFETCH(QString, memorySize);
    QFETCH(int, blocks);

    SimRig rig(MemorySize);
    QVERIFY(rig.connect());
    const QByteArray before = rig.sim.core().memory(0);
    QCOMPARE(rig.port.readMemory(QStringLiteral("a0"), memorySize), before.left(16 * blocks).toHex());
    QCOMPARE(rig.sim.core().blockCommands(), blocks);

    const QByteArray image = SimRig::pattern(MemorySize, 3);
    rig.port.writePort1(image, QStringLiteral("a0"), memorySize);
    QCOMPARE(rig.sim.core().memory(0), image.left(16 * blocks) + before.mid(16 * blocks));
}

// A memory size that is no whole number from one block to the 16-bit address space (past it a block
// address has no four-digit field): nothing at all goes out, the transfers end as stopped, so that no
// caller takes them for complete, and the size probe says the memory does not fit.
void TestTransfer::refusedSizes_data()
{
    QTest::addColumn<QString>("memorySize");

    for (const char *size : {"0", "8", "15", "-1", "abc", "", "8k", "0x100", "65537", "70000", "2147483647", "99999999999"})
        QTest::newRow(*size ? size : "empty") << QString::fromLatin1(size);
}

void TestTransfer::refusedSizes()
{
    QFETCH(QString, memorySize);

    SimRig rig(MemorySize);
    QVERIFY(rig.connect());
    const QByteArray before = rig.sim.core().memory(0);
    rig.sim.core().clearLog();

    QVERIFY(!rig.port.memoryFits(QStringLiteral("a0"), memorySize));
    QVERIFY(rig.port.readMemory(QStringLiteral("a0"), memorySize).isEmpty());
    QVERIFY(rig.port.isBreakRequested());
    QVERIFY(!rig.port.isReading());
    rig.port.continueSendReceive();
    rig.port.writePort1(SimRig::pattern(MemorySize, 5), QStringLiteral("a0"), memorySize);
    QVERIFY(rig.port.isBreakRequested());
    QVERIFY(!rig.port.isWriting());
    QTest::qWait(20);
    QCOMPARE(rig.sim.core().commands(), QStringList());
    QCOMPARE(rig.sim.core().memory(0), before);
}

// The largest memory a model may have: 4096 blocks up to the address field "fff0", the size probed
// at "ffff", received and sent byte-exact.
void TestTransfer::wholeAddressSpace()
{
    constexpr int Size = OperationBin::MaxImageSize;
    SimRig rig(Size);
    rig.port.setDelays(1, 1);   // the replies come at once: 4096 blocks each way within seconds
    QVERIFY(rig.connect());
    int reports = 0, last = 0;
    connect(&rig.port, &ComPort::progressRead, &rig.port, [&](int done) {
        ++reports;
        last = done;
    });
    const QString size = QString::number(Size);
    const QByteArray memory = rig.sim.core().memory(0);

    QVERIFY(rig.port.memoryFits(QStringLiteral("a0"), size));
    QCOMPARE(rig.sim.core().commands().value(0), QStringLiteral("rd:a0@ffff,01"));
    QCOMPARE(rig.port.readMemory(QStringLiteral("a0"), size), memory.toHex());
    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(rig.sim.core().commands().last(), QStringLiteral("rd:a0@fff0,10"));
    QCOMPARE(rig.sim.core().blockCommands(), Size / 16);
    QCOMPARE(reports, Size / 16);
    QCOMPARE(last, Size / 16);

    const QByteArray image = SimRig::pattern(Size, 17);
    reports = 0;
    rig.port.writePort1(image, QStringLiteral("a0"), size);
    QVERIFY(!rig.port.isBreakRequested());
    QCOMPARE(rig.sim.core().commands().last(), QLatin1String("wr:a0@fff0,") + QString::fromLatin1(image.right(16).toHex()));
    QCOMPARE(rig.sim.core().blockCommands(), Size / 8);
    QCOMPARE(reports, Size / 16);
    QCOMPARE(last, Size / 16);
    QCOMPARE(rig.sim.core().memory(0).toHex(), image.toHex());
}

void TestTransfer::shortImageSendsEmptyBlocks()
{
    SimRig rig(64);
    QVERIFY(rig.connect());
    const QByteArray image = SimRig::pattern(20, 5);
    rig.port.writePort1(image, QStringLiteral("a0"), QStringLiteral("64"));
    const QStringList commands = rig.sim.core().commands();
    QCOMPARE(commands.size(), 4);
    QCOMPARE(commands.at(1), QLatin1String("wr:a0@0010,") + QString::fromLatin1(image.mid(16).toHex()));
    QCOMPARE(commands.at(2), QStringLiteral("wr:a0@0020,"));
    QCOMPARE(commands.at(3), QStringLiteral("wr:a0@0030,"));
    QCOMPARE(rig.sim.core().memory(0).left(20), image);
}

void TestTransfer::breaks_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("blocksDone");
    QTest::addColumn<int>("lastProgress");

    for (bool write : {false, true}) {
        const QString dir = write ? QStringLiteral("send: ") : QStringLiteral("receive: ");
        QTest::newRow(qPrintable(dir + "at progress 4")) << write << "progress" << 5 << 4;
        QTest::newRow(qPrintable(dir + "in the memory-error warning")) << write << "warning" << 2 << 2;
        QTest::newRow(qPrintable(dir + "left over from before")) << write << "before" << 1 << -1;
    }
}

void TestTransfer::breaks()
{
    QFETCH(bool, write);
    QFETCH(QString, how);
    QFETCH(int, blocksDone);
    QFETCH(int, lastProgress);

    SimRig rig(MemorySize);
    if (how == QLatin1String("warning"))
        rig.sim.core().setFault(write ? Fault::WriteError : Fault::ReadError, 2, 1);
    QVERIFY(rig.connect());
    Watch watch(rig.port);
    if (how == QLatin1String("progress"))
        connect(&rig.port, &ComPort::progressRead, &rig.port, [&](int v) { if (v == 4) rig.port.breakSendReceive(); });
    else if (how == QLatin1String("warning"))
        connect(&rig.port, &ComPort::penUnplugged, &rig.port, &ComPort::breakSendReceive);
    else
        rig.port.breakSendReceive();

    const QByteArray before = rig.sim.core().memory(0);
    const QByteArray image = SimRig::pattern(MemorySize, 9);
    QByteArray received;
    if (write)
        rig.port.writePort1(image, QStringLiteral("a0"), QString::number(MemorySize));
    else
        received = rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize));

    QVERIFY(rig.port.isBreakRequested());
    QVERIFY(!rig.port.isReading() && !rig.port.isWriting());
    QVERIFY(watch.runningAtEveryReport);
    QCOMPARE(watch.progress.isEmpty() ? -1 : watch.progress.last(), lastProgress);
    QCOMPARE(watch.unplugWarnings, 0);
    QCOMPARE(rig.sim.core().blockCommands(), how == QLatin1String("warning") ? blocksDone + 1 : blocksDone);
    if (write)
        QCOMPARE(rig.sim.core().memory(0).left(16 * blocksDone), image.left(16 * blocksDone));
    else
        QCOMPARE(received, before.left(16 * blocksDone).toHex());

    rig.port.continueSendReceive();
    QVERIFY(!rig.port.isBreakRequested());
}

void TestTransfer::dialogStopsRepeatingBlock_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("escape");

    QTest::addColumn<bool>("busyLine");

    QTest::newRow("receive, Esc") << false << true << false;
    QTest::newRow("receive, Cancel") << false << false << false;
    QTest::newRow("send, Esc") << true << true << false;
    QTest::newRow("send, Cancel") << true << false << false;
    QTest::newRow("receive, line never quiet, Cancel") << false << false << true;
    QTest::newRow("send, line never quiet, Esc") << true << true << true;
}

// A block that keeps failing reports the same progress again and again; the dialog must still
// let Cancel and Esc through. So must an interface that keeps the line busy for ever with the
// beginnings of block replies: the wait for the line to fall quiet ends, and the block is asked
// again, with no word of an interface gone away.
void TestTransfer::dialogStopsRepeatingBlock()
{
    QFETCH(bool, write);
    QFETCH(bool, escape);
    QFETCH(bool, busyLine);

    SimRig rig(MemorySize);
    rig.sim.core().setFault(write ? Fault::WriteError : Fault::Garbage, 0, 100);
    if (busyLine) {   // the beginning of a block reply after every wait, for ever
        const QByteArray beginning = write ? "wr:a0@0000," : "rd:a0@0000,10\r\n**";
        setWaitFunction([&rig, beginning](int ms) {
            rig.sim.step(ms);
            rig.sim.send(beginning);
        });
    }
    QVERIFY(rig.connect());
    Watch watch(rig.port);

    QWidget window;
    window.show();
    MyProgressDialog dialog(&window, Qt::Window);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setRange(0, Blocks);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    dialog.setCancelButton(cancel);
    connect(&rig.port, &ComPort::progressRead, &dialog, &MyProgressDialog::setProgress);
    connect(cancel, &QPushButton::pressed, &rig.port, &ComPort::breakSendReceive);
    connect(&dialog, &MyProgressDialog::escapeKey, &rig.port, &ComPort::breakSendReceive);

    QTimer::singleShot(100, &dialog, [&]() {
        if (escape)
            QTest::keyRelease(&dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(cancel, Qt::LeftButton);
    });
    if (write)
        rig.port.writePort1(SimRig::pattern(MemorySize), QStringLiteral("a0"), QString::number(MemorySize));
    else
        rig.port.readMemory(QStringLiteral("a0"), QString::number(MemorySize));

    QVERIFY(rig.port.isBreakRequested());
    QVERIFY2(rig.sim.core().blockCommands() < 100, "stopped while the block still failed");
    QCOMPARE(watch.unplugWarnings, 0);
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
