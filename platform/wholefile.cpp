#include "wholefile.h"

#ifdef Q_OS_UNIX

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// The system's own text for an error number, in the language its C library speaks here.
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
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
// open for writing; -1 with errno set when none can be made. Its name is short whatever the name
// of the file it is to replace, so that every legal name can be replaced.
int makeTemporary(const QByteArray &folder, QByteArray *name)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray candidate = folder + "~";
        for (int i = 0; i < 8; ++i)
            candidate += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        candidate += ".tmp";
        const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            *name = candidate;
            return fd;
        }
    }
    return -1;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    for (qint64 left = bytes.size(); left > 0;) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// The old file's owner, group and mode bits on the new one, as far as the saver may give them: the
// owner only with the privilege to give files away, the group where the saver belongs to it.
// Set-user-ID and set-group-ID stay only with the owner and group they were set for.
bool keepAttributes(int fd, const struct stat &old)
{
    bool ownerKept = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    bool groupKept = ownerKept;
    if (!ownerKept) {
        if (errno != EPERM)
            return false;
        groupKept = ::fchown(fd, uid_t(-1), old.st_gid) == 0;
        if (!groupKept && errno != EPERM)
            return false;
    }
    mode_t mode = old.st_mode & 07777;
    if (!ownerKept)
        mode &= ~mode_t(S_ISUID);
    if (!groupKept)
        mode &= ~mode_t(S_ISGID);
    return ::fchmod(fd, mode) == 0 || errno == EPERM;
}

}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    int error = 0;
    const QByteArray target = finalPath(QFile::encodeName(path), &error);
    if (target.isEmpty()) {
        *reason = systemReason(error ? error : ENOENT);
        return false;
    }
    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT) {
        *reason = systemReason(errno);
        return false;
    }
    // A pipe would hold the open until something reads it; a folder or device is no file to replace.
    if (exists && !S_ISREG(old.st_mode)) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }
    // A file the user may not write stays as it is, although its folder would let it be replaced.
    if (exists && ::access(target.constData(), W_OK) != 0) {
        *reason = systemReason(errno);
        return false;
    }

    const int slash = target.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? target.left(slash + 1) : QByteArray();
    QByteArray temporary;
    const int fd = makeTemporary(folder, &temporary);
    if (fd < 0) {
        *reason = systemReason(errno);
        return false;
    }
    // Every byte down and on the disk before the new file takes the old one's place; on any failure
    // the temporary file goes and the old file stays as it was.
    bool written = writeAll(fd, bytes) && (!exists || keepAttributes(fd, old)) && ::fsync(fd) == 0;
    error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.constData(), target.constData()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.constData());
        *reason = systemReason(error);
        return false;
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

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    const FileState::Kind kind = fileState(path).kind;
    if (kind != FileState::Missing && kind != FileState::Regular) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            *reason = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

}

#endif
