#include "qextserialport.h"

QextSerialPort::QextSerialPort(QObject *parent)
    : QIODevice(parent)
{
}

QextSerialPort::QextSerialPort(const QString &name, QueryMode mode, QObject *parent)
    : QIODevice(parent)
    , m_mode(mode)
{
    setPortName(name);
}

QextSerialPort::~QextSerialPort()
{
    close();
}

void QextSerialPort::setPortName(const QString &name)
{
    m_name = name;
    m_port.setPortName(name);
}

QString QextSerialPort::portName() const
{
    return m_name;
}

bool QextSerialPort::open(OpenMode mode)
{
    if (isOpen())
        return true;
    // The serial port refuses the unbuffered flag; it only matters to this object.
    if (!m_port.open(mode & ReadWrite)) {
        setErrorString(m_port.errorString());
        return false;
    }
    m_hungUp = false;
    QIODevice::open(mode | Unbuffered);
    return true;
}

void QextSerialPort::close()
{
    if (!isOpen())
        return;
    m_port.close();
    QIODevice::close();
}

// Moves whatever the system holds for the port into the port's own buffer, without waiting.
void QextSerialPort::collect() const
{
    if (!m_port.isOpen() || m_hungUp)
        return;
    while (m_port.waitForReadyRead(0)) {
    }
    if (m_port.error() == QSerialPort::ResourceError)
        m_hungUp = true;
}

qint64 QextSerialPort::bytesAvailable() const
{
    if (!isOpen())
        return 0;
    collect();
    return m_port.bytesAvailable();
}

qint64 QextSerialPort::readData(char *data, qint64 maxSize)
{
    collect();
    const qint64 n = m_port.read(data, maxSize);
    return n < 0 ? 0 : n;
}

qint64 QextSerialPort::writeData(const char *data, qint64 maxSize)
{
    if (m_hungUp) {
        m_port.clear(QSerialPort::Output);
        return maxSize;
    }
    const qint64 n = m_port.write(data, maxSize);
    // Hand the bytes to the system now: nothing else would, as no event loop runs meanwhile.
    while (m_port.bytesToWrite() > 0 && m_port.flush()) {
    }
    if (m_port.bytesToWrite() > 0 && !m_port.waitForBytesWritten(100)) {
        if (m_port.error() == QSerialPort::ResourceError)
            m_hungUp = true;
        m_port.clear(QSerialPort::Output);
    }
    return n < 0 ? maxSize : n;
}
