#include "mythread.h"

#include "comport.h"
#include "qextserialport.h"

#include <QPushButton>
#include <QTimer>

namespace {

// The poll timer: single-shot, re-armed by every poll.
void prepareTimer(QTimer &timer, QObject *poller, const char *poll)
{
    timer.setSingleShot(true);
    QObject::connect(&timer, SIGNAL(timeout()), poller, poll);
}

// Arms the next poll; intervals under 2 s keep to the millisecond.
void arm(QTimer &timer, int ms)
{
    timer.setTimerType(ms >= 2000 ? Qt::CoarseTimer : Qt::PreciseTimer);
    timer.start(ms);
}

// A pending poll is rescheduled with the new interval.
void applyInterval(QTimer &timer, int ms)
{
    if (timer.isActive())
        arm(timer, ms);
}

}

MyThread::MyThread(QObject *parent)
    : QThread(parent)
{
    prepareTimer(m_timer, this, SLOT(startWork()));
}

void MyThread::setInterval(int ms)
{
    m_interval = ms;
    applyInterval(m_timer, ms);
}

MyThread::~MyThread() = default;

void MyThread::setObjects(ComPort *port, QPushButton *a0, QPushButton *a2, QPushButton *a4, QPushButton *send,
                          QPushButton *receive, QWidget *textBox, QComboBox *, const QStringList &portList)
{
    m_port = port;
    m_a0 = a0;
    m_a2 = a2;
    m_a4 = a4;
    m_send = send;
    m_receive = receive;
    m_textBox = textBox;
    m_portList = portList;
    m_scan = false;
}

void MyThread::run()
{
    startWork();
}

void MyThread::startWork()
{
    if (m_port && !m_port->isReading() && !m_port->isWriting() && m_port->serialPort()->isOpen()
        && m_port->serialPort()->bytesAvailable() <= MaxWaitingBytes) {
        const QStringList banks = m_port->scanMemory(m_port->serialPort());
        m_port->setBankButtons(banks, m_a0, m_a2, m_a4);
        const bool anyDown = (m_a0 && m_a0->isChecked()) || (m_a2 && m_a2->isChecked()) || (m_a4 && m_a4->isChecked());
        if (!anyDown) {
            if (m_send)
                m_send->setEnabled(false);
            if (m_receive)
                m_receive->setEnabled(false);
        }
    }
    arm(m_timer, m_interval);
}

void MyThread::serialNumber(QString data)
{
    m_scan = data.startsWith(QLatin1String("SCAN"));
}

void MyThread::stop(bool condition)
{
    m_stop = condition;
}

MyThread1::MyThread1(QObject *parent)
    : QThread(parent)
{
    prepareTimer(m_timer, this, SLOT(startWork()));
}

void MyThread1::setInterval(int ms)
{
    m_interval = ms;
    applyInterval(m_timer, ms);
}

MyThread1::~MyThread1() = default;

void MyThread1::setObjects(ComPort *port, QWidget *widget)
{
    m_port = port;
    m_widget = widget;
}

void MyThread1::run()
{
    startWork();
}

void MyThread1::startWork()
{
    if (m_port && !m_port->isReading() && !m_port->isWriting()
        && m_port->serialPort()->bytesAvailable() >= MinWaitingBytes)
        emit sendTMkeySerialNumber(m_port->readAvailableText());
    arm(m_timer, m_interval);
}
