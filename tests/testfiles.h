#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// The system's own text for an error number, in the language the C library speaks under the
// locale the test runs in: what a failed write gives as its reason.
inline QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file's bytes, "<missing>" when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes a file anew; true when every byte went.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file a reader must not open, made at path: "folder", "fifo" (a named pipe nobody writes to:
// an open for reading waits for ever) or "zero" (a link to /dev/zero, which never ends); any other
// kind writes a regular file of that many zero bytes. True when it was made.
inline bool makeSource(const QString &path, const QString &kind)
{
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("zero"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
    bool ok = false;
    const int size = kind.toInt(&ok);
    return ok && writeFile(path, QByteArray(size, '\0'));
}

// While it lives, no write of this process reaches past bytes into a file: such a write fails
// with EFBIG ("File too large"), as on a full disk, without privileges (SIGXFSZ is ignored, so
// that the process is not ended). Keep it around the one command under test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_set = false;
};

// While it lives, watches a named pipe that a writer must not open: when the pipe is still there
// after waitMs, it opens the pipe itself (read and write, which never waits), so that a writer
// caught in its open goes on and the test can fail with rescued() instead of hanging.
class PipeRescue
{
public:
    explicit PipeRescue(const QString &path, int waitMs = 3000) : m_path(QFile::encodeName(path))
    {
        m_thread = std::thread([this, waitMs] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_wake.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_stop; }))
                return;
            m_fd = ::open(m_path.constData(), O_RDWR | O_NONBLOCK);
            m_rescued = m_fd >= 0;
        });
    }
    ~PipeRescue()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PipeRescue(const PipeRescue &) = delete;
    PipeRescue &operator=(const PipeRescue &) = delete;
    bool rescued() const { return m_rescued; }

private:
    QByteArray m_path;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    int m_fd = -1;
    std::atomic<bool> m_rescued{false};
};

// Whether path is a named pipe (not a regular file that took its place).
inline bool isPipe(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}
