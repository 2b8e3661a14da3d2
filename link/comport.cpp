#include "comport.h"

#include "qextserialport.h"
#include "serialports.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QPushButton>

namespace {

WaitFunction &waitFunction()
{
    static WaitFunction wait;
    return wait;
}

}

void setWaitFunction(WaitFunction wait)
{
    waitFunction() = std::move(wait);
}

void delayMs(int ms)
{
    if (ms <= 0)
        return;
    if (waitFunction()) {
        waitFunction()(ms);
        return;
    }
    QElapsedTimer clock;   // monotonic: unaffected by changes of the time of day
    clock.start();
    while (clock.elapsed() < ms) {
    }
}

namespace {

// A reply as text: ASCII, up to the first NUL byte.
QString replyText(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

QByteArray withoutCarriageReturns(QByteArray bytes)
{
    bytes.replace('\r', QByteArray());
    return bytes;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

constexpr int BlockBytes = 16;
constexpr int ReadReplyLength = 51;
constexpr int ScansPerSilence = 3;
// What settling the line keeps of what came: enough for the beginning of the last reply.
constexpr int SettleWindow = 128;

// Whether the marks of a block read reply stand where the text has them: ":" at 2, "@" at 5,
// "**" at 14 and 15, data digits from 16 to 47 and "-" at 48.
bool readReplyMarksHold(const QByteArray &text)
{
    const int end = qMin(int(text.size()), ReadReplyLength);
    for (int i = 0; i < end; ++i) {
        const char c = text.at(i);
        if ((i == 2 && c != ':') || (i == 5 && c != '@') || ((i == 14 || i == 15) && c != '*')
            || (i >= 16 && i < 48 && !isHexDigit(c)) || (i == 48 && c != '-'))
            return false;
    }
    return true;
}

// Whether a text (carriage returns removed) ends in a block read reply that has begun and not
// ended: its last echo of a read command and what follows hold the marks of a reply, but fewer
// than its characters.
bool endsInUnfinishedReadReply(const QByteArray &text)
{
    const int start = text.lastIndexOf("rd:");
    return start >= 0 && text.size() - start < ReadReplyLength && readReplyMarksHold(text.mid(start));
}

bool readReplyUnfinished(const QByteArray &bytes)
{
    return endsInUnfinishedReadReply(withoutCarriageReturns(bytes));
}

// Whether raw input (carriage returns kept) ends in a block write reply that has begun and not
// ended: the last echo of a write command, or its first characters at the very end, without the
// two carriage returns that close the echo and the answer after it.
bool endsInUnfinishedWriteReply(const QByteArray &raw)
{
    const int start = raw.lastIndexOf("wr:");
    if (start < 0)
        return raw.endsWith('w') || raw.endsWith("wr");
    return raw.mid(start).count('\r') < 2;
}

// The longest write command, its carriage return included: "wr:", a slave text, "@", the address
// field, ",", 32 data digits and "\r".
constexpr int LongestWriteCommand = 44;

// Whether a reply begins with the echo of another block command than cmd: another memory, another
// address, for a read another count, for a write other data (letter case aside). The reply to an
// earlier attempt, another block or another memory must never count for this command.
bool echoesOtherCommand(const QByteArray &reply, const QByteArray &cmd)
{
    if (reply.size() < 10 || reply.at(2) != ':' || reply.at(5) != '@')
        return false;
    const QByteArray echo = withoutCarriageReturns(cmd);
    const int length = qMin(reply.size(), echo.size());
    const QString start = QString::fromLatin1(reply.left(length));
    return start.compare(QString::fromLatin1(echo.left(length)), Qt::CaseInsensitive) != 0;
}

// Whether the text from "from" on, right after a write command's whole echo, answers it: the echo's
// line end, then nothing but line ends and blanks before "ok". An echo cut off before its line end,
// followed by the held-up "ok" of an earlier write, is no answer: this write may have been lost.
bool answersEcho(const QString &text, int from)
{
    int answer = from;
    bool lineEnd = false;
    for (; answer < text.size() && (text.at(answer) == QLatin1Char('\n') || text.at(answer) == QLatin1Char(' '));
         ++answer)
        lineEnd = lineEnd || text.at(answer) == QLatin1Char('\n');
    return lineEnd && text.midRef(answer, 2).compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0;
}

// A write attempt's reply, read once into what its checks need. The text is the reply without
// carriage returns and NUL bytes, so that a NUL on the line hides neither an echo nor what follows.
struct WriteReply {
    QString text;
    bool silent = false;         // nothing came but carriage returns
    bool failed = false;         // "*erwr": the memory did not take the write
    bool namesMemory = false;    // the slave text
    bool otherCommand = false;   // begins with the echo of another command
    bool taken = false;          // holds this attempt's "ok"

    // A reply counts as written only with this attempt's "ok" and never with "*erwr". From an
    // interface that echoes its write commands the "ok" must answer the command's own echo
    // (answersEcho): a bare "ok" may be the held-up answer of an earlier write that the memory
    // stored while this one was lost. From an interface that has never echoed a write, an "ok" in a
    // reply that holds no echo counts; one that holds this command's echo is read as from an echoing
    // interface.
    WriteReply(const QByteArray &raw, const QByteArray &cmd, const QString &slave, bool echoing)
    {
        QByteArray bytes = withoutCarriageReturns(raw);
        silent = bytes.isEmpty();
        bytes.replace('\0', QByteArray());
        text = QString::fromLatin1(bytes);
        failed = text.contains(QLatin1String("*erwr"), Qt::CaseInsensitive);
        namesMemory = text.contains(slave, Qt::CaseInsensitive);
        otherCommand = echoesOtherCommand(bytes, cmd);
        const QString echo = QString::fromLatin1(withoutCarriageReturns(cmd));
        const int at = text.indexOf(echo, 0, Qt::CaseInsensitive);
        if (failed)
            taken = false;
        else if (at >= 0)
            taken = answersEcho(text, at + echo.size());
        else
            taken = !echoing && !text.contains(QLatin1Char('@'))
                    && text.contains(QLatin1String("ok"), Qt::CaseInsensitive);
    }
};

}

int ComPort::transferSize(const QString &memorySize)
{
    bool ok = false;
    const int size = memorySize.toInt(&ok);
    return ok && size >= BlockBytes && size <= MaxImageSize ? size : 0;
}

ComPort::ComPort()
    : m_port(new QextSerialPort(this))
{
}

ComPort::~ComPort() = default;

void ComPort::setPortName(const QString &shortName)
{
    forgetWriteEchoes();
    m_port->setPortName(Platform::serialDevicePath(shortName));
}

bool ComPort::testPort(const QString &entry)
{
    const int blank = entry.indexOf(QLatin1Char(' '));
    const QString name = blank < 0 ? entry : entry.left(blank);
    if (!Platform::isSerialPortName(name))
        return false;
    QextSerialPort probe(Platform::serialDevicePath(name), QextSerialPort::Polling);
    const bool opened = probe.open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    probe.close();
    return opened;
}

QStringList ComPort::availablePorts()
{
    m_portList.clear();
    const QStringList names = Platform::serialPortNames();
    for (const QString &name : names) {
        QextSerialPort probe(Platform::serialDevicePath(name), QextSerialPort::Polling);
        if (!probe.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
            continue;
        const QString id = getHwId(&probe);
        m_portList << name + QLatin1Char(' ') + (id.length() > 10 ? id : QString());
        probe.close();
    }
    return m_portList;
}

QString ComPort::readAvailableText()
{
    return m_port->isOpen() ? replyText(m_port->readAll()) : QString();
}

// The reply is the echo "hwid" with its line end (6 characters), the identification and a
// closing carriage return. It is awaited up to that carriage return, within a bound, so that
// the interface is recognised however quickly it answers. The bound counts the waits, as the
// other commands' delays do.
QString ComPort::getHwId(QextSerialPort *port)
{
    if (!port->isOpen())
        return QString();
    port->write("hwid\r");
    QByteArray reply;
    for (int waited = 0;; ++waited) {
        if (port->bytesAvailable() > 0)
            reply += port->read(port->bytesAvailable());
        if ((reply.size() > 6 && reply.endsWith('\r')) || waited >= HwIdTimeoutMs)
            break;
        delayMs(1);
    }
    reply += port->readAll();
    const QString text = replyText(reply);
    if (text.length() <= 7)
        return QString();
    return text.mid(6, text.length() - 7);
}

void ComPort::setDelays(int readDelay, int writeDelay)
{
    m_readDelay = readDelay;
    m_writeDelay = writeDelay;
}

// Whether the interface echoes its writes is learnt anew on every port opened.
void ComPort::connectDisconnectPort()
{
    forgetWriteEchoes();
    if (!m_connected) {
        // Connected only when the port really opened: a port that refuses (no permission, gone)
        // must not look like an interface that never answers.
        m_connected = m_port->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    } else {
        m_port->close();
        m_connected = false;
    }
}

void ComPort::disconnectPort()
{
}

void ComPort::readNext()
{
}

void ComPort::deviceDisconnected()
{
    qDebug() << "deviceDisscon";
}

QByteArray ComPort::command(QextSerialPort *port, const QByteArray &text, int waitMs)
{
    if (!port->isOpen())
        return QByteArray();   // goes nowhere; the reply is silence
    port->write(text);
    delayMs(waitMs);
    return readWaiting(port);
}

// All bytes waiting on a port.
QByteArray ComPort::readWaiting(QextSerialPort *port)
{
    const QByteArray bytes = port->read(port->bytesAvailable());
    if (port == m_port)
        hear(bytes);
    return bytes;
}

// Whether the interface echoes its write commands is learnt from the whole echo of a write command
// this port has sent since it was opened, up to its carriage return, wherever it is read: in a block
// reply taken or not, the rest read while the line settles, a scan's reply, bytes discarded, an echo
// read in pieces. Noise shaped like an echo (its head, or a write no one sent) teaches nothing, so
// that it never makes a later bare "ok" suspect.
void ComPort::hear(const QByteArray &bytes)
{
    if (bytes.isEmpty() || m_echoesWrites)
        return;
    QByteArray text = m_heardTail + bytes;
    text.replace('\0', QByteArray());
    text = text.toLower();
    for (int at = text.indexOf("wr:"); at >= 0 && !m_echoesWrites; at = text.indexOf("wr:", at + 1)) {
        const int end = text.indexOf('\r', at);
        if (end < 0)
            break;
        m_echoesWrites = m_sentWrites.contains(text.mid(at, end + 1 - at));
    }
    m_heardTail = text.mid(text.lastIndexOf('\r') + 1).right(LongestWriteCommand);   // an echo not yet whole
}

// Until the interface is known to echo, the write commands sent are kept (as many as a memory of
// the 16-bit address space has blocks: an echo held up longer never comes) to be told from noise.
void ComPort::recordWrite(const QByteArray &cmd)
{
    if (m_echoesWrites)
        return;
    const QByteArray echo = cmd.toLower();
    if (m_sentWrites.contains(echo))
        return;
    if (m_sentOrder.size() >= MaxImageSize / BlockBytes)
        m_sentWrites.remove(m_sentOrder.dequeue());
    m_sentWrites.insert(echo);
    m_sentOrder.enqueue(echo);
}

void ComPort::forgetWriteEchoes()
{
    m_echoesWrites = false;
    m_heardTail.clear();
    m_sentWrites.clear();
    m_sentOrder.clear();
}

void ComPort::discardInput()
{
    if (!m_port->isOpen())
        return;
    readWaiting(m_port);
    hear(m_port->readAll());
}

QStringList ComPort::scanMemory(QextSerialPort *port)
{
    const QByteArray reply = command(port, "scan\r", 40);
    if (reply.isEmpty() && port->isOpen())
        emit deviceUnplugged();
    const QString text = replyText(reply);
    QStringList banks;
    for (const char *bank : {"A0", "A2", "A4"}) {
        const QString name = QLatin1String(bank);
        banks << (text.contains(name, Qt::CaseInsensitive) ? name : QLatin1String("NO") + name);
    }
    if (reply.isEmpty())
        banks.prepend(QStringLiteral("noaddress"));
    return banks;
}

void ComPort::setBankButtons(const QStringList &banks, QPushButton *a0, QPushButton *a2, QPushButton *a4)
{
    QPushButton *buttons[] = {a0, a2, a4};
    const char *names[] = {"A0", "A2", "A4"};
    for (int i = 0; i < 3; ++i) {
        if (!buttons[i])
            continue;
        if (banks.value(i) == QLatin1String(names[i])) {
            buttons[i]->setEnabled(true);
        } else {
            buttons[i]->setChecked(false);
            buttons[i]->setEnabled(false);
        }
    }
}

// An answer that does not name the memory means the memory is gone, as silence does.
bool ComPort::bankPresent(const QString &slave)
{
    const QString text = replyText(command(m_port, "scan\r", 30));
    return !slave.isEmpty() && text.contains(slave, Qt::CaseInsensitive);
}

void ComPort::setSlaveAddress(const QString &slave)
{
    m_slave = slave;
}

QString ComPort::readDeviceWord(const QString &address)
{
    const QString cmd = QLatin1String("rd:") + m_slave + QLatin1Char('@') + formatHexAddress(address)
                        + QLatin1String(",02\r");
    const QByteArray reply = command(m_port, cmd.toLatin1(), 50);
    return replyText(extractData(reply));
}

// Digits cut off by the end of the reply, with no "-" after them, are not taken.
QByteArray ComPort::extractData(const QByteArray &reply)
{
    QByteArray data;
    for (int i = 0; i + 1 < reply.size(); ++i) {
        if (reply.at(i) != '*' || reply.at(i + 1) != '*')
            continue;
        const int end = reply.indexOf('-', i + 2);
        if (end >= 0)
            data += reply.mid(i + 2, end - i - 2);
    }
    return data;
}

QString ComPort::formatHexAddress(const QString &address)
{
    const QString digits = address.mid(2);
    if (digits.isEmpty() || digits.length() > 4)
        return QString();
    return QString(4 - digits.length(), QLatin1Char('0')) + digits;
}

bool ComPort::memoryFits(const QString &slave, const QString &memorySize)
{
    const int size = transferSize(memorySize);
    if (size == 0)
        return false;   // no command without its address field
    const QString cmd = QStringLiteral("rd:%1@%2,01\r").arg(slave, formatAddress(size - 1));
    const QString text = replyText(command(m_port, cmd.toLatin1(), 50));
    return !text.contains(QLatin1String("ERMA Memory Addres >"));
}

QString ComPort::formatAddress(int address)
{
    if (address < 0 || address > 0xFFFF)
        return QString();
    return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0'));
}

int ComPort::blockCount(const QString &memorySize)
{
    return transferSize(memorySize) / BlockBytes;
}

// A memory size the transfers cannot take (transferSize) stops the transfer before its first
// command, as a break does, so that the caller never takes it for a complete one.
bool ComPort::refuseSize(const QString &memorySize)
{
    if (transferSize(memorySize) != 0)
        return false;
    breakSendReceive();
    return true;
}

// A block attempt's reply: what waits after the delay, as it came. A reply that has not begun by
// then gets one more delay, so that a slow interface is not taken for silence.
QByteArray ComPort::blockReply(const QByteArray &cmd, int waitMs)
{
    QByteArray reply = command(m_port, cmd, waitMs);
    if (reply.isEmpty() && m_port->isOpen()) {
        delayMs(waitMs);
        reply = readWaiting(m_port);
    }
    return reply;
}

// After a block reply that is not taken: reads and drops what arrives until a delay passes with
// nothing. A reply that has begun and not ended (unfinished() of what came, the last reply's
// beginning included) is read to its end first, however long its rest is held up on the way, so
// that no part of it can join a later reply. A rest that has not come within ReplyRestTimeoutMs,
// or a line that is never quiet that long, ends the settling: what came was a wrong reply, and the
// block is asked again, where the user's Cancel can act.
void ComPort::settleLine(QByteArray seen, int quietMs, bool (*unfinished)(const QByteArray &))
{
    const int step = qMax(1, quietMs);
    for (int waited = 0;;) {
        delayMs(step);
        waited += step;
        const QByteArray more = m_port->isOpen() ? readWaiting(m_port) : QByteArray();
        seen = seen.right(SettleWindow) + more;   // the last reply's beginning is all that counts
        if ((more.isEmpty() && !unfinished(seen)) || waited >= ReplyRestTimeoutMs || m_breakRequested)
            return;
    }
}

// After a silent attempt: three bank scans, of which the last counts (the earlier ones may read
// what the interface still sends for the block).
bool ComPort::memoryStillPresent(const QString &slave)
{
    bool present = false;
    for (int i = 0; i < ScansPerSilence; ++i)
        present = bankPresent(slave);
    return present;
}

QByteArray ComPort::readMemory(const QString &slave, const QString &memorySize)
{
    readMemoryBlocks(slave, memorySize);
    return m_readBuffer;
}

void ComPort::readMemoryBlocks(const QString &slave, const QString &memorySize)
{
    // Running from before the first command, so that no poller touches the port during the
    // warnings of the first block.
    m_reading = true;
    int done = 0;
    const int blocks = blockCount(memorySize);
    m_readBuffer.clear();
    if (refuseSize(memorySize)) {
        m_reading = false;
        return;
    }
    discardInput();

    while (done < blocks) {
        const QString field = formatAddress(BlockBytes * done);
        ++done;
        const QByteArray cmd =
            (QLatin1String("rd:") + slave + QLatin1Char('@') + field + QLatin1String(",10\r")).toLatin1();
        const QByteArray raw = blockReply(cmd, m_readDelay);
        const QByteArray reply = withoutCarriageReturns(raw);
        const int length = reply.size();

        if (length != 0) {
            if (length != ReadReplyLength) {
                const QString text = replyText(reply);
                if (text.contains(slave, Qt::CaseInsensitive)
                    && text.contains(QLatin1String("*errd"), Qt::CaseInsensitive))
                    emit penUnplugged();
            }
            if (length != ReadReplyLength || echoesOtherCommand(reply, cmd) || !parseReadReply(reply)) {
                --done;
                settleLine(reply, m_readDelay, readReplyUnfinished);
            }
        } else {
            if (!memoryStillPresent(slave)) {
                breakSendReceive();
                emit unplugWarning();
                break;
            }
            --done;
        }
        if (m_breakRequested)
            break;
        m_reading = true;
        emit progressRead(done);
    }
    m_reading = false;
}

// A reply counts only with all its marks and its 32 data digits; anything else leaves the
// image text untouched, so that the block is asked again.
bool ComPort::parseReadReply(const QByteArray &reply)
{
    if (reply.size() < ReadReplyLength || !readReplyMarksHold(reply))
        return false;
    m_readBuffer += reply.mid(16, 32);
    return true;
}

void ComPort::writePort1(QByteArray byteArray, QString address, QString memorySize)
{
    m_writing = true;
    int done = 0;
    const int blocks = blockCount(memorySize);
    if (refuseSize(memorySize)) {
        m_writing = false;
        return;
    }
    discardInput();

    while (done < blocks) {
        const int addr = BlockBytes * done;
        const QString field = formatAddress(addr);
        ++done;
        const QByteArray data = addr < byteArray.size() ? byteArray.mid(addr, BlockBytes) : QByteArray();
        const QByteArray cmd = "wr:" + address.toLatin1() + '@' + field.toLatin1() + ',' + data.toHex() + '\r';
        recordWrite(cmd);
        const QByteArray raw = blockReply(cmd, m_writeDelay);
        const WriteReply reply(raw, cmd, address, m_echoesWrites);
        qDebug() << reply.text;

        // The reply to an earlier attempt, "*erwr", or anything else without this attempt's "ok":
        // once the line is quiet, this block is written again.
        if (reply.taken) {
            // written
        } else if (!reply.silent) {
            if (reply.failed && reply.namesMemory && !reply.otherCommand)
                emit penUnplugged();
            --done;
            settleLine(raw, m_writeDelay, endsInUnfinishedWriteReply);
        } else {
            discardInput();
            if (!memoryStillPresent(address)) {
                breakSendReceive();
                emit unplugWarning();
                break;
            }
            --done;
            discardInput();
        }
        if (m_breakRequested)
            break;
        m_writing = true;
        emit progressRead(done);
    }
    m_writing = false;
}

void ComPort::breakSendReceive()
{
    m_breakRequested = true;
}

void ComPort::continueSendReceive()
{
    m_breakRequested = false;
}
