#pragma once

#include "operationbin.h"

#include <QByteArray>
#include <QQueue>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class QPushButton;
class QextSerialPort;

// Busy wait of ms milliseconds on a monotonic clock, without processing events: no timer,
// poller or user input runs until it returns. 0 or less returns at once.
void delayMs(int ms);

// While a wait function is set, delayMs() calls it in place of its own busy wait (an empty one
// restores that). A test that drives a simulated interface sets one, so that the interface
// answers each command within the simulated time of the waits that follow it, whatever the load
// of the machine.
using WaitFunction = std::function<void(int ms)>;
void setWaitFunction(WaitFunction wait);

// The link to the programming interface over a serial port: the port list and identification,
// connecting, the bank scan, the identifier word, the memory-size probe and the whole-memory
// transfers in 16-byte blocks.
//
// Every command is written in one piece, followed by a busy wait, after which all waiting bytes
// are read as its reply. Replies are turned into text up to the first NUL byte.
//
// Transfers: a block reply counts only for the command its echo repeats (memory and address, letter
// case aside), so a slow interface costs time and never shifts a block or mixes up memories. A
// block reply that has not begun after the delay is given one more delay; an attempt still silent
// then makes three bank scans (the last counts), and a memory the scan does not find ends the
// transfer with unplugWarning().
//
// A block reply that is not taken is read to its end, and the line until it is quiet, before the
// block is asked again: a rest held up on its way would otherwise join the next reply, and the
// two pieces could pass every check of a reply or lend a later block its "ok". A rest that does
// not come within ReplyRestTimeoutMs leaves what came a wrong reply: the block is asked again.
//
// A write reply that holds "*erwr" never counts as written. Once the interface has echoed a write
// command (learnt from the whole echo, data and line end included, of a write command this port has
// sent since it was opened, wherever it is read: replies taken or not, the line settling, scans and
// bytes discarded), a write reply is taken only when it holds its own command's whole echo and its
// line end, answered by "ok": a bare "ok" may be the held-up answer of an earlier write, and the
// memory may not hold this block. From an interface that has never echoed a write, an "ok" without
// echo counts. NUL bytes in a write reply are passed over.
//
// A memory size that is not a whole number from 16 to 65536 sends nothing: the transfer ends at
// once with the break set, and the size probe answers false.
class ComPort : public OperationBin
{
    Q_OBJECT
public:
    ComPort();
    ~ComPort() override;

    // Port names and the port list. A port entry is the short port name, a blank, and the
    // interface's identification when that has more than 10 characters. availablePorts() lists
    // the ports anew at every call.
    void setPortName(const QString &shortName);
    bool testPort(const QString &entry);
    QStringList availablePorts();
    bool isConnected() const { return m_connected; }
    QextSerialPort *serialPort() const { return m_port; }
    QString readAvailableText();
    QString getHwId(QextSerialPort *port);
    void setDelays(int readDelay, int writeDelay);

    // Device commands outside the transfers.
    QStringList scanMemory(QextSerialPort *port);
    void setBankButtons(const QStringList &banks, QPushButton *a0, QPushButton *a2, QPushButton *a4);
    bool bankPresent(const QString &slave);
    void setSlaveAddress(const QString &slave);
    QString readDeviceWord(const QString &address);
    static QByteArray extractData(const QByteArray &reply);
    static QString formatHexAddress(const QString &address);
    bool memoryFits(const QString &slave, const QString &memorySize);
    static QString formatAddress(int address);
    // The bytes of a memory size text that a transfer can take: a whole number from one block to
    // the 16-bit address space; 0 for anything else.
    static int transferSize(const QString &memorySize);

    // Whole-memory transfers.
    QByteArray readMemory(const QString &slave, const QString &memorySize);
    void readMemoryBlocks(const QString &slave, const QString &memorySize);
    bool parseReadReply(const QByteArray &reply);
    bool isBreakRequested() const { return m_breakRequested; }
    bool isReading() const { return m_reading; }
    bool isWriting() const { return m_writing; }

    // Longest wait for the identification reply.
    static constexpr int HwIdTimeoutMs = 150;
    // Longest wait for the rest of a block reply that has begun.
    static constexpr int ReplyRestTimeoutMs = 2000;

signals:
    void progressRead(int progress);
    void testsig(int progress);
    void noConnection();
    void deviceUnplugged();
    void unplugWarning();
    void penUnplugged();

public slots:
    void connectDisconnectPort();
    void disconnectPort();
    void writePort1(QByteArray byteArray, QString address, QString memorySize);
    void breakSendReceive();
    void continueSendReceive();
    void readNext();
    void deviceDisconnected();

private:
    QByteArray command(QextSerialPort *port, const QByteArray &text, int waitMs);
    QByteArray readWaiting(QextSerialPort *port);
    void hear(const QByteArray &bytes);
    void recordWrite(const QByteArray &cmd);
    void forgetWriteEchoes();
    void discardInput();
    QByteArray blockReply(const QByteArray &cmd, int waitMs);
    void settleLine(QByteArray seen, int quietMs, bool (*unfinished)(const QByteArray &));
    bool refuseSize(const QString &memorySize);
    bool memoryStillPresent(const QString &slave);
    static int blockCount(const QString &memorySize);

    QextSerialPort *m_port = nullptr;
    bool m_connected = false;
    bool m_writing = false;
    bool m_reading = false;
    bool m_breakRequested = false;
    QByteArray m_readBuffer;
    QStringList m_portList;
    QString m_slave;
    int m_readDelay = 30;
    int m_writeDelay = 30;
    // The interface has echoed a write command since the port was opened (in anything read on it).
    bool m_echoesWrites = false;
    QByteArray m_heardTail;   // an echo not yet whole at the end of what was last read
    // Until then, the write commands sent (in small letters), and their order.
    QSet<QByteArray> m_sentWrites;
    QQueue<QByteArray> m_sentOrder;
};
