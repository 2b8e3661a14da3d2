#include "wholefile.h"

#ifdef Q_OS_UNIX

#include "wholefilecalls.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

int systemOpen(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

WholeFileCalls &calls()
{
    static WholeFileCalls current = realWholeFileCalls();
    return current;
}

// The system's own text for an error number, in the language its C library speaks here.
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool fail(WholeFileFailure *failure, const QString &reason, bool fileMayBeIncomplete = false)
{
    failure->reason = reason;
    failure->fileMayBeIncomplete = fileMayBeIncomplete;
    return false;
}

// While it lives, a write past the file-size limit fails with EFBIG instead of ending the program.
class FileSizeSignalIgnored
{
public:
    FileSizeSignalIgnored()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_set = ::sigaction(SIGXFSZ, &ignore, &m_saved) == 0;
    }
    ~FileSizeSignalIgnored()
    {
        if (m_set)
            ::sigaction(SIGXFSZ, &m_saved, nullptr);
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored &) = delete;
    FileSizeSignalIgnored &operator=(const FileSizeSignalIgnored &) = delete;

private:
    struct sigaction m_saved {};
    bool m_set = false;
};

// The mode a new file gets here: 0666 less the umask, read without changing it where the system
// tells it.
mode_t newFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            bool ok = false;
            const uint mask = line.startsWith("Umask:") ? line.mid(6).trimmed().toUInt(&ok, 8) : 0;
            if (ok)
                return 0666 & ~mode_t(mask);
        }
    }
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a path ends at: symbolic links are followed, a relative link from its own folder, so
// that the file a link names is replaced and the link stays. A link that names nothing yet gives
// the path the file is to have.
QByteArray finalPath(const QByteArray &path, int *error)
{
    QByteArray current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(st.st_size > 0 ? int(st.st_size) + 1 : 4096, '\0');
        const ssize_t length = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (length < 0 || length >= target.size()) {
            *error = length < 0 ? errno : ENAMETOOLONG;
            return QByteArray();
        }
        target.truncate(int(length));
        if (!target.startsWith('/')) {
            const int slash = current.lastIndexOf('/');
            if (slash >= 0)
                target.prepend(current.left(slash + 1));
        }
        current = target;
    }
    *error = ELOOP;
    return QByteArray();
}

// A new file of a short name of its own in folder (never one that is there: made exclusively),
// open for writing and readable by the saver alone; -1 with errno set when none can be made. Its
// name is short whatever the name of the file it is to replace, so that every legal name can be
// replaced.
int makeTemporary(const QByteArray &folder, QByteArray *name)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray candidate = folder + "~";
        for (int i = 0; i < 8; ++i)
            candidate += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        candidate += ".tmp";
        const int fd = calls().open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            *name = candidate;
            return fd;
        }
    }
    return -1;
}

// Writes every byte; false with errno set when a write fails. *done counts the bytes written.
bool writeAll(int fd, const QByteArray &bytes, qint64 *done)
{
    const char *data = bytes.constData();
    *done = 0;
    for (qint64 left = bytes.size(); left > 0;) {
        const ssize_t written = calls().write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
        *done += written;
    }
    return true;
}

// The old file's owner, group and mode bits on the new one, as far as the saver and the file
// system let them be given: the owner only with the privilege to give files away, the group where
// the saver belongs to it. Whatever cannot be given is left. The mode comes only after the owner
// and group: until then the file is the saver's alone. Set-user-ID and set-group-ID stay only with
// the owner and group they were set for, and the group's rights never go to another group: a
// group not kept gets no more than anyone has. A new file gets the mode a new file gets.
void keepAttributes(int fd, const struct stat *old)
{
    if (!old) {
        calls().fchmod(fd, newFileMode());
        return;
    }
    if (calls().fchown(fd, old->st_uid, old->st_gid) != 0)
        calls().fchown(fd, uid_t(-1), old->st_gid);
    struct stat now;
    const bool known = ::fstat(fd, &now) == 0;
    const bool ownerKept = known && now.st_uid == old->st_uid;
    const bool groupKept = known && now.st_gid == old->st_gid;
    mode_t mode = old->st_mode & 07777;
    if (!ownerKept)
        mode &= ~mode_t(S_ISUID);
    if (!groupKept)
        mode = (mode & ~mode_t(S_ISGID | S_IRWXG)) | (mode & S_IRWXG & ((mode & S_IRWXO) << 3));
    calls().fchmod(fd, mode);
}

// The old file's folder refuses a new file or the rename over the old one, although the file
// itself may be written.
bool folderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// The file written where it is: every byte written and on the disk first, then the file cut to its
// new length. Owner, group and mode stay the file's own. Once a byte may have changed, a failure
// says that the file may be incomplete.
bool writeInPlace(const QByteArray &target, const QByteArray &bytes, WholeFileFailure *failure)
{
    // Not waiting in the open of a pipe that took the file's place since it was looked at.
    const int fd = calls().open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0)
        return fail(failure, systemReason(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(failure, QStringLiteral("not a regular file"));
    }
    qint64 done = 0;
    bool written = writeAll(fd, bytes, &done);
    int error = written ? 0 : errno;
    bool changed = done > 0;
    if (written && ::fsync(fd) != 0) {
        written = false;
        error = errno;
    }
    if (written && ::ftruncate(fd, off_t(bytes.size())) != 0) {
        written = false;
        error = errno;
    }
    changed = changed || (written && st.st_size != bytes.size());
    if (written && ::fsync(fd) != 0) {
        written = false;
        error = errno;
    }
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written)
        return fail(failure, systemReason(error), changed);
    return true;
}

}

WholeFileCalls realWholeFileCalls()
{
    return WholeFileCalls{systemOpen, ::write, ::fchown, ::fchmod, ::rename};
}

WholeFileCalls &wholeFileCalls()
{
    return calls();
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, WholeFileFailure *failure)
{
    *failure = WholeFileFailure();
    const FileSizeSignalIgnored fileSizeSignal;
    int error = 0;
    const QByteArray target = finalPath(QFile::encodeName(path), &error);
    if (target.isEmpty())
        return fail(failure, systemReason(error ? error : ENOENT));
    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(failure, systemReason(errno));
    // A pipe would hold the open until something reads it; a folder or device is no file to replace.
    if (exists && !S_ISREG(old.st_mode))
        return fail(failure, QStringLiteral("not a regular file"));
    // A file the user may not write stays as it is, although its folder would let it be replaced.
    if (exists && ::access(target.constData(), W_OK) != 0)
        return fail(failure, systemReason(errno));

    const int slash = target.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? target.left(slash + 1) : QByteArray();
    QByteArray temporary;
    const int fd = makeTemporary(folder, &temporary);
    if (fd < 0) {
        error = errno;
        return exists && folderRefuses(error) ? writeInPlace(target, bytes, failure)
                                              : fail(failure, systemReason(error));
    }
    // Every byte down and on the disk before the new file takes the old one's place; on any failure
    // the temporary file goes and the old file stays as it was.
    qint64 done = 0;
    bool written = writeAll(fd, bytes, &done);
    if (written) {
        keepAttributes(fd, exists ? &old : nullptr);
        written = ::fsync(fd) == 0;
    }
    error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && calls().rename(temporary.constData(), target.constData()) != 0) {
        written = false;
        error = errno;
        if (exists && (error == EPERM || error == EACCES)) {
            ::unlink(temporary.constData());
            return writeInPlace(target, bytes, failure);
        }
    }
    if (!written) {
        ::unlink(temporary.constData());
        return fail(failure, systemReason(error));
    }
    // The new name on the disk too; a folder that cannot be synced changes nothing written.
    const int folderFd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}

#else

#include "datapaths.h"

#include <QSaveFile>

namespace Platform {

bool writeWholeFile(const QString &path, const QByteArray &bytes, WholeFileFailure *failure)
{
    *failure = WholeFileFailure();
    const FileState::Kind kind = fileState(path).kind;
    if (kind != FileState::Missing && kind != FileState::Regular) {
        failure->reason = QStringLiteral("not a regular file");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        failure->reason = file.errorString();
        return false;
    }
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            failure->reason = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.commit()) {
        failure->reason = file.errorString();
        return false;
    }
    return true;
}

}

#endif

namespace Platform {

QString incompleteFileText()
{
    return QStringLiteral("The write stopped part way while the file was written in place: the file on disk may be "
                          "incomplete.");
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    WholeFileFailure failure;
    const bool written = writeWholeFile(path, bytes, &failure);
    *reason = failure.reason;
    if (failure.fileMayBeIncomplete)
        *reason += QLatin1Char('\n') + incompleteFileText();
    return written;
}

}
