#pragma once

#include <QIODevice>
#include <QSerialPort>
#include <QString>

// The serial port as the device link uses it: polled, never event-driven.
//
// A write leaves at once; bytesAvailable() and read() see what the system holds at the moment
// of the call, also inside a busy wait that runs no event loop. The port works raw (no echo,
// carriage returns pass unchanged) with the default line settings. Once the other end hangs up,
// the port reads as silence and writes go nowhere, without spinning the processor.
class QextSerialPort : public QIODevice
{
    Q_OBJECT
public:
    enum QueryMode { Polling, EventDriven };

    explicit QextSerialPort(QObject *parent = nullptr);
    QextSerialPort(const QString &name, QueryMode mode, QObject *parent = nullptr);
    ~QextSerialPort() override;

    // The device path, such as "/dev/ttyACM0".
    void setPortName(const QString &name);
    QString portName() const;
    QueryMode queryMode() const { return m_mode; }

    // A port that does not open says why in errorString().
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

    // Whether the other end has hung up since the port was opened.
    bool isHungUp() const { return m_hungUp; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    void collect() const;

    mutable QSerialPort m_port;
    QString m_name;
    QueryMode m_mode = EventDriven;
    mutable bool m_hungUp = false;
};
