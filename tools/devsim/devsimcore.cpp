#include "devsimcore.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>

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
    QMutexLocker lock(&m_mutex);
    m_faults << FaultRange{fault, first, count};
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

QStringList DevSimCore::commands() const
{
    QMutexLocker lock(&m_mutex);
    return m_log;
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
    return blockAnswer(command, read, slave, address, payload);
}

QByteArray DevSimCore::readAnswer(const QByteArray &echo, int slave, int address, int count) const
{
    const QByteArray &mem = m_memory[slave];
    if (address + count > mem.size())
        return echo + "ERMA Memory Addres > " + QByteArray::number(qMax(0, mem.size() - 1), 16).rightJustified(4, '0') + '\r';
    const QByteArray data = mem.mid(address, count);
    quint8 sum = 0;
    for (char c : data)
        sum += quint8(c);
    return echo + "**" + data.toHex() + '-' + QByteArray::number(sum, 16).rightJustified(2, '0') + '\r';
}

DevSimCore::Reply DevSimCore::blockAnswer(const QByteArray &command, bool read, int slave, int address, const QByteArray &payload)
{
    const int index = m_blockCommands++;
    Fault fault = Fault::None;
    for (const FaultRange &f : qAsConst(m_faults)) {
        if (index >= f.first && (f.count < 0 || index < f.first + f.count)) {
            fault = f.fault;
            break;
        }
    }
    const QByteArray echo = command + "\r\n";

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
        return now(echo + "*erwr\r");
    case Fault::Garbage: {
        QByteArray junk;
        const int length = 20 + int(m_random % 40);
        for (int i = 0; i < length; ++i) {
            m_random = m_random * 1103515245u + 12345u;
            junk += char(0x21 + (m_random >> 16) % 90);
        }
        return now(junk);
    }
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
        QByteArray &mem = m_memory[slave];
        const QByteArray data = QByteArray::fromHex(payload);
        if (address + data.size() > mem.size()) {
            bytes = echo + "ERMA Memory Addres > " + QByteArray::number(qMax(0, mem.size() - 1), 16) + '\r';
        } else {
            if (fault != Fault::Cut)
                mem.replace(address, data.size(), data);
            bytes = echo + "ok\r";
        }
    }

    Reply r;
    if (fault == Fault::Late) {
        r.chunks << Chunk{m_lateMs, bytes};
    } else if (fault == Fault::Split || fault == Fault::Cut) {
        const int cut = m_splitAt > 0 ? qMin(m_splitAt, bytes.size()) : bytes.size() / 2;
        r.chunks << Chunk{0, bytes.left(cut)};
        if (fault == Fault::Split)
            r.chunks << Chunk{m_lateMs, bytes.mid(cut)};
    } else {
        r.chunks << Chunk{0, bytes};
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
