#include "devsimcore.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>

#include <cctype>
#include <cstring>

DevSimCore::DevSimCore()
    : m_identification(QStringLiteral("TKV-05 sim 1.0"))
{
}

int DevSimCore::slaveIndex(const QString &slaveText)
{
    const QString s = slaveText.toLower();
    if (s == QLatin1String("a0"))
        return 0;
    if (s == QLatin1String("a2"))
        return 1;
    if (s == QLatin1String("a4"))
        return 2;
    return -1;
}

void DevSimCore::setMemory(int slave, const QByteArray &bytes)
{
    QMutexLocker lock(&m_mutex);
    m_memory[slave] = bytes;
    m_present[slave] = true;
}

void DevSimCore::removeMemory(int slave)
{
    QMutexLocker lock(&m_mutex);
    m_present[slave] = false;
}

QByteArray DevSimCore::memory(int slave) const
{
    QMutexLocker lock(&m_mutex);
    return m_memory[slave];
}

bool DevSimCore::hasMemory(int slave) const
{
    QMutexLocker lock(&m_mutex);
    return m_present[slave];
}

void DevSimCore::setIdentification(const QString &text)
{
    QMutexLocker lock(&m_mutex);
    m_identification = text;
}

void DevSimCore::setMuted(bool muted)
{
    QMutexLocker lock(&m_mutex);
    m_muted = muted;
}

void DevSimCore::setFault(Fault fault, int first, int count)
{
    clearFault();
    addFault(fault, first, count);
}

void DevSimCore::addFault(Fault fault, int first, int count)
{
    addFault(fault, first, count, -1, 0);
}

void DevSimCore::addFault(Fault fault, int first, int count, int lateMs, int at)
{
    QMutexLocker lock(&m_mutex);
    m_faults << FaultRange{fault, first, count, lateMs, at};
}

void DevSimCore::clearFault()
{
    QMutexLocker lock(&m_mutex);
    m_faults.clear();
}

void DevSimCore::setAnswerDelayMs(int ms)
{
    QMutexLocker lock(&m_mutex);
    m_answerDelayMs = ms;
}

void DevSimCore::setLateMs(int ms)
{
    QMutexLocker lock(&m_mutex);
    m_lateMs = ms;
}

int DevSimCore::lateMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_lateMs;
}

void DevSimCore::setSplitAt(int bytes)
{
    QMutexLocker lock(&m_mutex);
    m_splitAt = bytes;
}

void DevSimCore::setAnswersInTurn(bool inTurn)
{
    QMutexLocker lock(&m_mutex);
    m_answersInTurn = inTurn;
}

bool DevSimCore::answersInTurn() const
{
    QMutexLocker lock(&m_mutex);
    return m_answersInTurn;
}

void DevSimCore::setWriteEcho(bool echo)
{
    QMutexLocker lock(&m_mutex);
    m_writeEcho = echo;
}

void DevSimCore::reconnected()
{
    QMutexLocker lock(&m_mutex);
    closeWindow();
    ++m_connection;
    m_writeEchoSent = false;
}

QList<DevSimCore::LookAlike> DevSimCore::lookAlikes() const
{
    QMutexLocker lock(&m_mutex);
    QList<LookAlike> all = m_lookAlikes;
    LookAlike open;
    if (windowLookAlike(&open))
        all << open;
    return all;
}

QStringList DevSimCore::commands() const
{
    QMutexLocker lock(&m_mutex);
    return m_log;
}

int DevSimCore::commandsHandled() const
{
    QMutexLocker lock(&m_mutex);
    return m_commandsHandled;
}

int DevSimCore::blockCommands() const
{
    QMutexLocker lock(&m_mutex);
    return m_blockCommands;
}

void DevSimCore::clearLog()
{
    QMutexLocker lock(&m_mutex);
    m_log.clear();
}

QByteArray DevSimCore::keyRecord(const QString &longSerial, const QString &keyCode)
{
    // "*#TM: ", 18 characters of long serial, a blank, the 4-digit code with its halves
    // swapped, and the closing carriage return: 30 characters.
    const QByteArray serial = longSerial.toLatin1().leftJustified(18, '0', true);
    const QByteArray code = keyCode.toLatin1().rightJustified(4, '0', true);
    return "*#TM: " + serial + ' ' + code.mid(2, 2) + code.left(2) + '\r';
}

DevSimCore::Reply DevSimCore::handle(const QByteArray &command)
{
    QMutexLocker lock(&m_mutex);
    m_log << QString::fromLatin1(command);
    closeWindow();
    m_window.command = m_commandsHandled++;
    if (m_muted)
        return Reply();
    Reply reply = answer(command);
    for (Chunk &c : reply.chunks)
        c.delayMs += m_answerDelayMs;
    return reply;
}

namespace {

DevSimCore::Reply now(const QByteArray &bytes)
{
    DevSimCore::Reply r;
    r.chunks << DevSimCore::Chunk{0, bytes};
    return r;
}

int hexValue(const QByteArray &digits, bool *ok)
{
    return digits.toInt(ok, 16);
}

QByteArray blockReplyText(const QByteArray &echo, const QByteArray &data)
{
    quint8 sum = 0;
    for (char c : data)
        sum += quint8(c);
    return echo + "**" + data.toHex() + '-' + QByteArray::number(sum, 16).rightJustified(2, '0') + '\r';
}

// Sixteen bytes no memory of the simulator holds at an address, for the answer of a memory or a
// block that has none.
QByteArray madeUpBlock(int slave, int address)
{
    QByteArray bytes(16, '\0');
    for (int i = 0; i < 16; ++i)
        bytes[i] = char((address * 3 + i * 29 + slave * 71 + 0x3c) & 0xff);
    return bytes;
}

const char *const slaveLabels[] = {"a0", "a2", "a4"};

// The marks of a good block read reply (carriage returns removed) after its echo.
bool readReplyShape(const QByteArray &reply)
{
    if (reply.size() != 51 || reply.at(14) != '*' || reply.at(15) != '*' || reply.at(48) != '-')
        return false;
    for (int i = 16; i < 48; ++i) {
        if (!std::isxdigit(uchar(reply.at(i))))
            return false;
    }
    return true;
}

int indexOfNoCase(const QByteArray &text, const QByteArray &what, int from)
{
    for (int i = from; i + what.size() <= text.size(); ++i) {
        if (qstrnicmp(text.constData() + i, what.constData(), uint(what.size())) == 0)
            return i;
    }
    return -1;
}

// Whether what follows a write's echo (carriage returns removed) is its answer to a reader: line ends
// and blanks, at least one line end among them, then "ok".
bool answersEcho(const QByteArray &text, int from)
{
    const int skipped = int(strspn(text.constData() + from, "\n "));
    return memchr(text.constData() + from, '\n', size_t(skipped)) != nullptr
           && qstrnicmp(text.constData() + from + skipped, "ok", 2) == 0;
}

// Where the whole echo of a write command, up to its carriage return, ends in an answer that begins
// with it (NUL bytes passed over, letter case aside): the index of that carriage return, or -1.
int echoEnd(const QByteArray &bytes, const QByteArray &command)
{
    const QByteArray echo = command + '\r';
    int matched = 0;
    for (int i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\0')
            continue;
        if (std::tolower(uchar(bytes.at(i))) != std::tolower(uchar(echo.at(matched))))
            return -1;
        if (++matched == echo.size())
            return i;
    }
    return -1;
}

}

DevSimCore::Reply DevSimCore::answer(const QByteArray &command)
{
    const QByteArray echo = command + "\r\n";
    if (command == "hwid")
        return now(echo + m_identification.toLatin1() + '\r');
    if (command == "scan") {
        QByteArrayList names;
        const char *labels[] = {"A0", "A2", "A4"};
        for (int i = 0; i < 3; ++i) {
            if (m_present[i])
                names << labels[i];
        }
        return now(echo + names.join(' ') + '\r');
    }
    if (command == "idon" || command == "idoff")
        return now("ok\r");

    // "rd:SS@AAAA,NN" and "wr:SS@AAAA,DD..."
    const bool read = command.startsWith("rd:");
    if ((!read && !command.startsWith("wr:")) || command.size() < 11 || command.at(5) != '@' || command.at(10) != ',')
        return now(echo + "?\r");
    const int slave = slaveIndex(QString::fromLatin1(command.mid(3, 2)));
    bool ok = false;
    const int address = hexValue(command.mid(6, 4), &ok);
    if (slave < 0 || !ok)
        return now(echo + "?\r");
    if (!read) {   // until it is stored
        m_window.kind = Window::LostWrite;
        m_window.slave = slave;
        m_window.address = address;
        m_window.echo = command;
    }
    if (!m_present[slave])
        return Reply();
    const QByteArray payload = command.mid(11);
    if (read) {
        const int count = hexValue(payload, &ok);
        if (!ok)
            return now(echo + "?\r");
        if (count != 16)
            return now(readAnswer(echo, slave, address, count));
    }
    const int blockCommand = m_blockCommands;
    Reply reply = blockAnswer(command, read, slave, address, payload);
    addHeldOks(&reply, blockCommand);
    return reply;
}

// The "ok"s that OkHeldUp held up for this block command's answer, before or after it.
void DevSimCore::addHeldOks(Reply *reply, int blockCommand)
{
    for (int i = 0; i < m_heldOks.size();) {
        if (m_heldOks.at(i).command != blockCommand) {
            ++i;
            continue;
        }
        const Chunk ok{0, "ok\r"};
        if (m_heldOks.takeAt(i).first)
            reply->chunks.prepend(ok);
        else
            reply->chunks.append(ok);
    }
}

QByteArray DevSimCore::readAnswer(const QByteArray &echo, int slave, int address, int count) const
{
    const QByteArray &mem = m_memory[slave];
    if (address + count > mem.size())
        return echo + "ERMA Memory Addres > " + QByteArray::number(qMax(0, mem.size() - 1), 16).rightJustified(4, '0')
               + '\r';
    return blockReplyText(echo, mem.mid(address, count));
}

// The whole answer the same block command gets for another block or memory, as a stale reply of it
// would come.
QByteArray DevSimCore::otherAnswer(const FaultRange &f, bool read, int slave, int address,
                                   const QByteArray &payload) const
{
    const int steps = qMax(1, f.at);
    int otherSlave = slave;
    int otherAddress = address;
    if (f.fault == Fault::OtherMemory)
        otherSlave = (slave + steps) % 3;
    else
        otherAddress = (address + 16 * steps) & 0xffff;
    const QByteArray &mem = m_memory[otherSlave];
    const bool stored = m_present[otherSlave] && otherAddress + 16 <= mem.size();
    const QByteArray data = stored ? mem.mid(otherAddress, 16) : madeUpBlock(otherSlave, otherAddress);
    const QByteArray head = QByteArray(read ? "rd:" : "wr:") + slaveLabels[otherSlave] + '@'
        + QByteArray::number(otherAddress, 16).rightJustified(4, '0') + ',';
    if (read)
        return blockReplyText(head + "10\r\n", data);
    if (!m_writeEcho)
        return "ok\r";
    return head + (f.fault == Fault::OtherMemory ? payload : data.toHex()) + "\r\nok\r";
}

quint32 DevSimCore::nextRandom()
{
    m_random = m_random * 1103515245u + 12345u;
    return m_random >> 16;
}

// A piece of what a line that keeps talking sends: beginnings of replies, heads of write echoes (now and
// then split over two pieces), digits, marks, a NUL byte; never an "ok", and never a whole reply (no
// run of pieces makes the 32 digits of one).
QByteArray DevSimCore::chatterBytes()
{
    static const char *const pieces[] = {"rd:a0@0010,10\r\n**", "0123456789abcde", "-5a\r", "\r\n", "?\r", "*", "@",
                                         "wr:a0@00", "wr:a0@0000,", "10,\r\n"};
    const int count = int(sizeof pieces / sizeof *pieces);
    const int pick = int(nextRandom() % (count + 1));
    return pick == count ? QByteArray(1, '\0') : QByteArray(pieces[pick]);
}

void DevSimCore::delivered(const Chunk &chunk)
{
    QMutexLocker lock(&m_mutex);
    if (chunk.writeEcho && chunk.connection == m_connection)
        m_writeEchoSent = true;
    if (m_window.kind != Window::None)
        m_window.bytes += chunk.bytes;
}

// Whether the reply window, as it stands, makes a look-alike (see delivered()).
bool DevSimCore::windowLookAlike(LookAlike *lookAlike) const
{
    QByteArray text = m_window.bytes;
    text.replace('\r', QByteArray());
    bool found = false;
    LookAlike::Kind kind = LookAlike::ReadData;
    QByteArray data;
    if (m_window.kind == Window::Read) {
        const int echoLength = m_window.echo.size();
        data = text.mid(16, 32).toLower();
        found = readReplyShape(text) && qstrnicmp(text.constData(), m_window.echo.constData(), uint(echoLength)) == 0
                && data != m_window.dataHex;
    } else if (m_window.kind == Window::LostWrite && !text.isEmpty()) {
        text.replace('\0', QByteArray());
        const int at = indexOfNoCase(text, m_window.echo, 0);
        if (indexOfNoCase(text, "*erwr", 0) >= 0) {
            found = false;
        } else if (at >= 0) {
            kind = LookAlike::EchoOk;
            found = answersEcho(text, at + m_window.echo.size());
        } else {
            kind = LookAlike::BareOk;
            found = !m_writeEchoSent && !text.contains('@') && indexOfNoCase(text, "ok", 0) >= 0;
        }
    }
    if (found)
        *lookAlike = LookAlike{kind, m_window.command, m_window.slave, m_window.address, data};
    return found;
}

void DevSimCore::closeWindow()
{
    LookAlike lookAlike;
    if (windowLookAlike(&lookAlike))
        m_lookAlikes << lookAlike;
    m_window = Window();
}

DevSimCore::Reply DevSimCore::blockAnswer(const QByteArray &command, bool read, int slave, int address,
                                          const QByteArray &payload)
{
    const int index = m_blockCommands++;
    FaultRange f{Fault::None, 0, 0, -1, 0};
    for (const FaultRange &range : qAsConst(m_faults)) {
        if (index >= range.first && (range.count < 0 || index < range.first + range.count)) {
            f = range;
            break;
        }
    }
    const Fault fault = f.fault;
    const int late = f.lateMs >= 0 ? f.lateMs : m_lateMs;
    const QByteArray echo = command + "\r\n";
    QByteArray &mem = m_memory[slave];
    if (read && address + 16 <= mem.size()) {
        m_window.kind = Window::Read;
        m_window.slave = slave;
        m_window.address = address;
        m_window.echo = command;
        m_window.dataHex = mem.mid(address, 16).toHex();
    }

    switch (fault) {
    case Fault::Silence:
        return Reply();
    case Fault::DropOut:
        m_present[slave] = false;
        return Reply();
    case Fault::HangUp: {
        Reply r;
        r.hangUp = true;
        return r;
    }
    case Fault::ReadError:
        return now(echo + "*errd\r");
    case Fault::WriteError:
        return now((m_writeEcho ? echo : QByteArray()) + "*erwr\r");
    case Fault::Garbage: {
        QByteArray junk;
        const int length = 20 + int(m_random % 40);
        while (junk.size() < length) {
            const char c = char(0x21 + nextRandom() % 90);
            if (std::tolower(c) != 'o' && std::tolower(c) != 'k')
                junk += c;
        }
        return now(junk);
    }
    case Fault::BareOkLost:
        return now("ok\r");
    case Fault::OtherBlock:
    case Fault::OtherMemory:
        return now(otherAnswer(f, read, slave, address, payload));
    default:
        break;
    }

    QByteArray bytes;
    if (read) {
        bytes = readAnswer(echo, slave, address, 16);
        if (fault == Fault::WrongMark && bytes.size() > 49)
            bytes[49] = '+';   // the "-", at 48 once the carriage return is removed
        if (fault == Fault::BadDigit && bytes.size() > 20)
            bytes[20] = 'g';   // a data digit
    } else {
        const QByteArray data = QByteArray::fromHex(payload);
        const QByteArray head = m_writeEcho ? echo : QByteArray();
        if (address + data.size() > mem.size()) {
            bytes = head + "ERMA Memory Addres > " + QByteArray::number(qMax(0, mem.size() - 1), 16) + '\r';
        } else {
            if (fault != Fault::Cut) {
                mem.replace(address, data.size(), data);
                m_window.kind = Window::None;
            }
            bytes = head + "ok\r";
            if (fault == Fault::OkHeldUp || fault == Fault::OkHeldUpFirst) {
                bytes = head;
                m_heldOks << HeldOk{index + qMax(1, f.at), fault == Fault::OkHeldUpFirst};
            }
        }
    }
    if (fault == Fault::BareOk)
        bytes = "ok\r";
    if (fault == Fault::UpperCase)
        bytes = bytes.toUpper();
    if (fault == Fault::Garble && !bytes.isEmpty()) {
        static const char marks[] = "#%&'()+/;<=>?[]^_`{|}~GHIJLMNPQRSTUVWXYZ";
        const int at = qBound(0, f.at, int(bytes.size()) - 1);
        bytes[at] = marks[(at * 7 + uchar(bytes.at(at))) % (sizeof marks - 1)];
    }
    if (fault == Fault::NulByte)
        bytes.insert(qBound(0, f.at, int(bytes.size())), '\0');

    Reply r;
    if (fault == Fault::Late) {
        r.chunks << Chunk{late, bytes};
    } else if (fault == Fault::Split || fault == Fault::Cut) {
        const int at = f.at > 0 ? f.at : m_splitAt;
        int cut = at > 0 ? qMin(at, int(bytes.size())) : bytes.size() / 2;
        const int ok = bytes.lastIndexOf("ok\r");
        if (fault == Fault::Cut && !read && ok >= 0)
            cut = qMin(cut, ok + 1);   // an "ok" means stored: a lost write's answer never has one
        r.chunks << Chunk{0, bytes.left(cut)};
        if (fault == Fault::Split)
            r.chunks << Chunk{late, bytes.mid(cut)};
    } else {
        r.chunks << Chunk{0, bytes};
        if (fault == Fault::Repeat)
            r.chunks << Chunk{late, bytes};
    }
    // Which chunk sends the carriage return that ends the write's echo, when the echo is whole.
    const int echoEnds = read || !m_writeEcho ? -1 : echoEnd(bytes, command);
    if (echoEnds >= 0) {
        int start = 0;
        for (Chunk &c : r.chunks) {
            if (fault == Fault::Repeat)
                start = 0;
            c.writeEcho = start <= echoEnds && start + c.bytes.size() > echoEnds;
            c.connection = m_connection;
            start += c.bytes.size();
        }
    }
    if (fault == Fault::Chatter) {
        const int gap = qMax(1, f.at);
        for (int t = gap; t <= late; t += gap)
            r.chunks << Chunk{t, chatterBytes()};
    }
    return r;
}

QByteArray DevSimCore::patternMemory(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 256) & 0xff);
    return bytes;
}

QByteArray DevSimCore::defaultMemory(QString *source)
{
    static const QString sample = QStringLiteral("DATA/RK4820_U65_sample.bin");
    for (const QString &root : {QDir::currentPath(), QStringLiteral(TKV_DATA_ROOT)}) {
        QFile file(QDir(root).filePath(sample));
        if (file.open(QIODevice::ReadOnly)) {
            if (source)
                *source = file.fileName();
            return file.readAll();
        }
    }
    if (source)
        source->clear();
    return patternMemory(8192);
}
