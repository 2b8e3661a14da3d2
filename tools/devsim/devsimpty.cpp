#include "devsimpty.h"

#include <QElapsedTimer>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

qint64 nowMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed();
}

}

DevSimPty::DevSimPty() = default;

DevSimPty::~DevSimPty()
{
    stop();
}

QString DevSimPty::shortName() const
{
    return m_devicePath.startsWith(QLatin1String("/dev/")) ? m_devicePath.mid(5) : m_devicePath;
}

bool DevSimPty::start()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return false;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        stop();
        return false;
    }
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        stop();
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);
    // Our own hold on the terminal keeps the master side from seeing a hang-up while the
    // program under test has the port closed, and the terminal number allocated until stop();
    // it also makes the line raw from the start.
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave >= 0) {
        termios tio;
        if (tcgetattr(m_slave, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(m_slave, TCSANOW, &tio);
        }
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    if (m_stepped) {
        m_arrivals = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_arrivals.get(), &QSocketNotifier::activated, [this] { answerArrived(); });
        return true;
    }
    if (pipe(m_wake) != 0) {
        stop();
        return false;
    }
    fcntl(m_wake[0], F_SETFL, O_NONBLOCK);
    m_running = true;
    m_thread = std::thread(&DevSimPty::loop, this);
    return true;
}

void DevSimPty::stop()
{
    if (m_running) {
        m_running = false;
        const char c = 'q';
        (void)!::write(m_wake[1], &c, 1);
        m_thread.join();
    }
    m_arrivals.reset();
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
    m_slave = -1;
    for (int &fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void DevSimPty::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void DevSimPty::hangUpNow()
{
    if (m_arrivals)
        m_arrivals->setEnabled(false);
    closeMaster();
    m_hungUp = true;
    m_input.clear();
}

qint64 DevSimPty::clockMs() const
{
    return m_stepped ? m_steppedMs : nowMs();
}

void DevSimPty::send(const QByteArray &bytes)
{
    if (m_stepped) {
        answerArrived();   // what the program wrote before goes first, as with a device
        writeMaster(bytes);
        m_core.delivered(DevSimCore::Chunk{0, bytes});
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_pendingMutex);
        m_pending.push_back(Pending{nowMs(), DevSimCore::Chunk{0, bytes}});
    }
    const char c = 's';
    (void)!::write(m_wake[1], &c, 1);
}

void DevSimPty::hangUp()
{
    if (m_stepped) {
        hangUpNow();
        return;
    }
    m_hangUpRequested = true;
    const char c = 'h';
    (void)!::write(m_wake[1], &c, 1);
    while (m_running && !m_hungUp)
        std::this_thread::yield();
}

void DevSimPty::step(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
    }
    if (m_stepped)   // otherwise the thread answers by itself
        advance(ms);
}

void DevSimPty::advance(int ms)
{
    // Reading the master side moves everything the program has written so far across the
    // terminal first, so no command written before this step is missed.
    readInput();
    m_steppedMs += qMax(0, ms);
    sendDue();
}

// Stepped: answers the commands that have arrived, without advancing the simulated clock.
void DevSimPty::answerArrived()
{
    readInput();
    sendDue();
}

void DevSimPty::writeMaster(const QByteArray &bytes)
{
    qint64 sent = 0;
    while (sent < bytes.size() && m_master >= 0) {
        const ssize_t n = ::write(m_master, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 10);
        } else if (n < 0 && errno != EINTR) {
            break;
        }
    }
}

// Sends what is due, in order of due time; gives the milliseconds until the next reply is due,
// -1 when none waits.
int DevSimPty::sendDue()
{
    std::vector<Pending> due;
    int timeout = -1;
    {
        std::lock_guard<std::mutex> lock(m_pendingMutex);
        const qint64 t = clockMs();
        auto split = std::stable_partition(m_pending.begin(), m_pending.end(),
                                           [t](const Pending &p) { return p.due <= t; });
        due.assign(m_pending.begin(), split);
        m_pending.erase(m_pending.begin(), split);
        for (const Pending &p : m_pending) {
            const int wait = int(p.due - t);
            timeout = timeout < 0 ? wait : std::min(timeout, wait);
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const Pending &a, const Pending &b) { return a.due < b.due; });
    for (const Pending &p : due) {
        if (m_master < 0)
            break;   // hung up: nothing reaches the line
        writeMaster(p.chunk.bytes);
        m_core.delivered(p.chunk);
    }
    return timeout;
}

// Takes whatever input waits on the master side and answers every complete command; the
// replies are due from now on the simulator's clock (answering in turn, from when the answer
// before has gone out).
void DevSimPty::readInput()
{
    char buf[512];
    ssize_t n;
    while (m_master >= 0 && (n = ::read(m_master, buf, sizeof buf)) > 0) {
        m_input.append(buf, int(n));
        int end;
        while (m_master >= 0 && (end = m_input.indexOf('\r')) >= 0) {
            const QByteArray command = m_input.left(end);
            m_input.remove(0, end + 1);
            const DevSimCore::Reply reply = m_core.handle(command);
            if (reply.hangUp) {
                hangUpNow();
                break;
            }
            const qint64 t = clockMs();
            const qint64 start = m_core.answersInTurn() ? qMax(t, m_busyUntil) : t;
            std::lock_guard<std::mutex> lock(m_pendingMutex);
            for (const DevSimCore::Chunk &c : reply.chunks) {
                m_pending.push_back(Pending{start + c.delayMs, c});
                m_busyUntil = qMax(m_busyUntil, start + c.delayMs);
            }
        }
    }
}

void DevSimPty::loop()
{
    while (m_running) {
        if (m_hangUpRequested && !m_hungUp)
            hangUpNow();
        // Send what is due, then sleep until the next reply is due or input arrives.
        const int timeout = sendDue();
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {m_master, POLLIN, 0}};
        const int count = m_master >= 0 ? 2 : 1;
        if (::poll(fds, nfds_t(count), timeout) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            char buf[64];
            while (::read(m_wake[0], buf, sizeof buf) > 0) {
            }
        }
        if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP)))
            readInput();
    }
}
