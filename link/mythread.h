#pragma once

#include <QString>
#include <QStringList>
#include <QThread>
#include <QTimer>

class ComPort;
class QComboBox;
class QPushButton;
class QWidget;

// The memory-bank poller. Never started as a thread: run() makes one poll at once, and every
// poll re-arms itself with a single-shot timer in the thread of the caller, until the object
// is destroyed.
//
// A poll (when the port is open, no transfer runs and at most 9 bytes wait) scans the banks,
// switches the A0, A2 and A4 buttons by the answer and disables Send and Receive when none of
// the three is down.
class MyThread : public QThread
{
    Q_OBJECT
public:
    explicit MyThread(QObject *parent = nullptr);
    ~MyThread() override;

    static constexpr int DefaultIntervalMs = 2000;
    static constexpr int MaxWaitingBytes = 9;

    void setObjects(ComPort *port, QPushButton *a0, QPushButton *a2, QPushButton *a4, QPushButton *send,
                    QPushButton *receive, QWidget *textBox, QComboBox *portBox, const QStringList &portList);
    // A new interval applies at once, also to the poll already due.
    void setInterval(int ms);
    int interval() const { return m_interval; }
    bool scanRecorded() const { return m_scan; }

    void run() override;

signals:
    void sendTMkeySerialNumber(QString serialNumber);
    void closeConnection();

public slots:
    void startWork();
    void serialNumber(QString data);
    void stop(bool condition);

private:
    ComPort *m_port = nullptr;
    QPushButton *m_a0 = nullptr;
    QPushButton *m_a2 = nullptr;
    QPushButton *m_a4 = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_receive = nullptr;
    QWidget *m_textBox = nullptr;
    QStringList m_portList;
    bool m_scan = false;
    bool m_stop = false;
    int m_interval = DefaultIntervalMs;
    QTimer m_timer;
};

// The key poller: every poll (when more than 25 bytes wait and no transfer runs) reads all
// waiting input and emits it as one text. Runs like MyThread, never as a thread.
class MyThread1 : public QThread
{
    Q_OBJECT
public:
    explicit MyThread1(QObject *parent = nullptr);
    ~MyThread1() override;

    static constexpr int DefaultIntervalMs = 60;
    static constexpr int MinWaitingBytes = 26;

    void setObjects(ComPort *port, QWidget *widget);
    // A new interval applies at once, also to the poll already due.
    void setInterval(int ms);
    int interval() const { return m_interval; }

    void run() override;

signals:
    void sendTMkeySerialNumber(QString serialNumber);
    void runScan(bool start);
    void stop(bool condition);

public slots:
    void startWork();

private:
    ComPort *m_port = nullptr;
    QWidget *m_widget = nullptr;
    int m_interval = DefaultIntervalMs;
    QTimer m_timer;
};
