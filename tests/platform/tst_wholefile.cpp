#include "wholefile.h"
#include "wholefilecalls.h"

#include "../testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

struct Owner {
    uid_t uid;
    gid_t gid;
    mode_t mode;
};

Owner ownerOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return Owner{st.st_uid, st.st_gid, mode_t(st.st_mode & 07777)};
}

QString describe(const Owner &owner)
{
    const passwd *user = ::getpwuid(owner.uid);
    const group *grp = ::getgrgid(owner.gid);
    return QStringLiteral("%1:%2 %3")
        .arg(user ? QString::fromLocal8Bit(user->pw_name) : QString::number(owner.uid),
             grp ? QString::fromLocal8Bit(grp->gr_name) : QString::number(owner.gid),
             QString::number(owner.mode, 8).rightJustified(5, QLatin1Char('0')));
}

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// What a write came to, as the tests compare it.
QString outcome(const QString &path, const QByteArray &bytes)
{
    Platform::WholeFileFailure failure;
    if (Platform::writeWholeFile(path, bytes, &failure))
        return QStringLiteral("written");
    return QStringLiteral("failed: ") + failure.reason
           + (failure.fileMayBeIncomplete ? QStringLiteral(", may be incomplete") : QString());
}

// Runs step in a child process, as nobody when asNobody (the folder the test made must let nobody
// in; a member of memberOf where one is given), and gives what it returned, or how the child ended
// when it returned nothing.
QString inChild(bool asNobody, const std::function<QString()> &step, const gid_t *memberOf = nullptr)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QStringLiteral("no pipe");
    const passwd *user = ::getpwnam("nobody");
    const uid_t uid = user ? user->pw_uid : 65534;
    const gid_t gid = user ? user->pw_gid : 65534;
    const pid_t child = fork();
    if (child == 0) {
        ::close(channel[0]);
        if (asNobody && (::setgroups(memberOf ? 1 : 0, memberOf) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            _exit(2);
        const QByteArray said = step().toUtf8();
        const bool told = ::write(channel[1], said.constData(), size_t(said.size())) == said.size();
        _exit(told ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray said;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            said.append(buffer, int(n));
        else if (errno != EINTR)
            break;
    }
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return QStringLiteral("no child");
    if (WIFSIGNALED(status))
        return QStringLiteral("ended by signal %1").arg(WTERMSIG(status));
    return WEXITSTATUS(status) == 0 ? QString::fromUtf8(said) : QStringLiteral("exit %1").arg(WEXITSTATUS(status));
}

// The writer's system calls as a file system may answer them: the temporary file's open, the
// rename, fchown or fchmod failing with an error; writes that take writeBudget bytes and then fail
// with writeError. While it lives, each write reports the file's mode as the writer left it, and
// each fchmod the owner, group and mode the file has when it comes.
struct Injection {
    static inline int temporaryOpenError = 0;
    static inline int renameError = 0;
    static inline int fchownError = 0;
    static inline int fchmodError = 0;
    static inline qint64 writeBudget = -1;
    static inline int writeError = 0;
    static inline QStringList seen;

    Injection()
    {
        temporaryOpenError = renameError = fchownError = fchmodError = writeError = 0;
        writeBudget = -1;
        seen.clear();
        Platform::WholeFileCalls &calls = Platform::wholeFileCalls();
        calls.open = [](const char *path, int flags, mode_t mode) {
            if ((flags & O_EXCL) && temporaryOpenError) {
                errno = temporaryOpenError;
                return -1;
            }
            return Platform::realWholeFileCalls().open(path, flags, mode);
        };
        calls.write = [](int fd, const void *data, size_t size) -> ssize_t {
            seen << QStringLiteral("write to ") + describe(ownerOfFd(fd));
            if (writeBudget >= 0 && qint64(size) > writeBudget) {
                if (writeBudget == 0) {
                    errno = writeError;
                    return -1;
                }
                size = size_t(writeBudget);
            }
            const ssize_t written = Platform::realWholeFileCalls().write(fd, data, size);
            if (writeBudget >= 0 && written > 0)
                writeBudget -= written;
            return written;
        };
        calls.fchown = [](int fd, uid_t owner, gid_t group) {
            if (fchownError) {
                errno = fchownError;
                return -1;
            }
            return Platform::realWholeFileCalls().fchown(fd, owner, group);
        };
        calls.fchmod = [](int fd, mode_t mode) {
            seen << QStringLiteral("fchmod on ") + describe(ownerOfFd(fd));
            if (fchmodError) {
                errno = fchmodError;
                return -1;
            }
            return Platform::realWholeFileCalls().fchmod(fd, mode);
        };
        calls.rename = [](const char *from, const char *to) {
            if (renameError) {
                errno = renameError;
                return -1;
            }
            return Platform::realWholeFileCalls().rename(from, to);
        };
    }
    ~Injection() { Platform::wholeFileCalls() = Platform::realWholeFileCalls(); }

    static Owner ownerOfFd(int fd)
    {
        struct stat st {};
        ::fstat(fd, &st);
        return Owner{st.st_uid, st.st_gid, mode_t(st.st_mode & 07777)};
    }
};

// The ids of a user (with its own group) and a group by name; false when the system has no such one.
bool userId(const char *name, uid_t *uid, gid_t *gid = nullptr)
{
    const passwd *user = ::getpwnam(name);
    if (user) {
        *uid = user->pw_uid;
        if (gid)
            *gid = user->pw_gid;
    }
    return user;
}

bool groupId(const char *name, gid_t *gid)
{
    const group *found = ::getgrnam(name);
    if (found)
        *gid = found->gr_gid;
    return found;
}

bool setOwner(const QString &path, uid_t uid, gid_t gid, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name.constData(), uid, gid) == 0 && ::chmod(name.constData(), mode) == 0;
}

}

// The writer every file save goes through: a file of any legal name replaced whole, the old file's
// owner, group and mode kept as far as the saver may keep them.
class TestWholeFile : public QObject
{
    Q_OBJECT

private slots:
    void replacesAnyLegalName_data();
    void replacesAnyLegalName();
    void keepsOwnerGroupAndMode_data();
    void keepsOwnerGroupAndMode();
    void temporaryIsTheSaversAlone_data();
    void temporaryIsTheSaversAlone();
    void attributesAsFarAsAllowed_data();
    void attributesAsFarAsAllowed();
    void folderRefusals_data();
    void folderRefusals();
    void unprivilegedFolders_data();
    void unprivilegedFolders();
    void fileSizeLimit_data();
    void fileSizeLimit();
};

void TestWholeFile::replacesAnyLegalName_data()
{
    QTest::addColumn<QString>("name"); // of the file, in the folder "files"
    QTest::addColumn<QString>("path"); // written, below the test's folder
    const QString longest = QString(251, QLatin1Char('k')) + QStringLiteral(".bin");
    const QString polish = QString(126, QChar(0x017C)) + QStringLiteral(".id"); // "ż": two bytes each
    QTest::newRow("249 bytes") << QString(245, QLatin1Char('k')) + ".bin" << QString();
    QTest::newRow("255 bytes") << longest << QString();
    QTest::newRow("255 bytes of Polish letters") << polish << QString();
    QTest::newRow("255 bytes through a link") << longest << "link.bin";
    QTest::newRow("255 bytes in a linked folder") << longest << "linked/" + longest;
}

// Written twice over a file there (the first write makes a new file, which needs no temporary name
// that long), through a link to it or a link to its folder: the link stays a link, the file it names
// gets the new bytes, and nothing else is left in the folder.
void TestWholeFile::replacesAnyLegalName()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("files"));
    const QString file = dir.filePath("files/" + name);
    QVERIFY(QFile::link("files/" + name, dir.filePath("link.bin")));
    QVERIFY(QFile::link("files", dir.filePath("linked")));
    const QString written = dir.filePath(path.isEmpty() ? "files/" + name : path);

    for (const QByteArray &bytes : {QByteArray("first"), QByteArray("second")}) {
        QString reason;
        QVERIFY(Platform::writeWholeFile(written, bytes, &reason));
        QCOMPARE(reason, QString());
        QCOMPARE(readFile(file), bytes);
    }
    QCOMPARE(entriesOf(dir.filePath("files")), QStringList{name});
    QVERIFY(QFileInfo(dir.filePath("link.bin")).isSymLink());
    QVERIFY(QFileInfo(dir.filePath("linked")).isSymLink());
}

void TestWholeFile::keepsOwnerGroupAndMode_data()
{
    QTest::addColumn<bool>("asMember"); // saved by nobody, a member of the file's group; else by root
    QTest::addColumn<QString>("owner"); // of the new file
    QTest::newRow("as root") << false << "daemon:users 02660";
    QTest::newRow("as a member of the group") << true << "nobody:users 02660";
}

// A file of another owner in a shared folder (daemon:users, 02660): the saved file keeps its group
// and mode bits, set-group-ID included, and its owner where the saver may give it (root).
void TestWholeFile::keepsOwnerGroupAndMode()
{
    QFETCH(bool, asMember);
    QFETCH(QString, owner);
    if (::geteuid() != 0)
        QSKIP("needs root to give the file to another owner");
    uid_t daemonUid = 0;
    gid_t usersGid = 0;
    QVERIFY(userId("daemon", &daemonUid) && groupId("users", &usersGid));

    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ExeGroup));
    const QString folder = dir.filePath("shared");
    QVERIFY(QDir(dir.path()).mkdir("shared"));
    // Not set-group-ID: a new file in it gets the saver's group.
    QVERIFY(setOwner(folder, 0, usersGid, 0775));
    const QString path = folder + "/unit.bin";
    QVERIFY(writeFile(path, "old"));
    QVERIFY(setOwner(path, daemonUid, usersGid, 02660));

    const auto save = [&path] { return outcome(path, "new"); };
    QCOMPARE(asMember ? inChild(true, save, &usersGid) : save(), QStringLiteral("written"));
    QCOMPARE(readFile(path), QByteArray("new"));
    QCOMPARE(describe(ownerOf(path)), owner);
    QCOMPARE(entriesOf(folder), QStringList{"unit.bin"});
}

void TestWholeFile::temporaryIsTheSaversAlone_data()
{
    QTest::addColumn<QString>("old");  // owner and group of the old file; empty: a new file
    QTest::addColumn<int>("oldMode");
    QTest::addColumn<int>("umask");
    QTest::addColumn<QStringList>("seen");  // the temporary file at each write and at the mode change
    QTest::addColumn<QString>("result");
    QTest::newRow("over a private file of another owner")
        << "daemon:users" << 0600 << 022
        << QStringList{"write to root:root 00600", "fchmod on daemon:users 00600"} << "daemon:users 00600";
    QTest::newRow("over a shared file") << "daemon:users" << 0664 << 022
                                        << QStringList{"write to root:root 00600", "fchmod on daemon:users 00600"}
                                        << "daemon:users 00664";
    QTest::newRow("new file") << "" << 0 << 022
                              << QStringList{"write to root:root 00600", "fchmod on root:root 00600"}
                              << "root:root 00644";
    QTest::newRow("new file, umask 027") << "" << 0 << 027
                                         << QStringList{"write to root:root 00600", "fchmod on root:root 00600"}
                                         << "root:root 00640";
}

// Nobody but the saver may read the new bytes before the file has the old one's owner and group:
// the temporary file is the saver's alone while it is written (a save killed then leaves it so),
// and takes the old file's mode, or a new file's, only once it has them.
void TestWholeFile::temporaryIsTheSaversAlone()
{
    QFETCH(QString, old);
    QFETCH(int, oldMode);
    QFETCH(int, umask);
    QFETCH(QStringList, seen);
    QFETCH(QString, result);
    if (::geteuid() != 0 || ::getegid() != 0)
        QSKIP("needs root to give the file to another owner");
    uid_t daemonUid = 0;
    gid_t usersGid = 0;
    QVERIFY(userId("daemon", &daemonUid) && groupId("users", &usersGid));
    QTemporaryDir dir;
    const QString path = dir.filePath("unit.bin");
    if (!old.isEmpty()) {
        QVERIFY(writeFile(path, "old"));
        QVERIFY(setOwner(path, daemonUid, usersGid, mode_t(oldMode)));
    }
    const mode_t savedMask = ::umask(mode_t(umask));
    QString written;
    {
        Injection injection;
        written = outcome(path, QByteArray(8192, 'n'));
    }
    ::umask(savedMask);

    QCOMPARE(written, QStringLiteral("written"));
    QCOMPARE(Injection::seen, seen);
    QCOMPARE(describe(ownerOf(path)), result);
    QCOMPARE(entriesOf(dir.path()), QStringList{"unit.bin"});
}

void TestWholeFile::attributesAsFarAsAllowed_data()
{
    QTest::addColumn<QString>("call"); // the call that fails
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("result");
    for (const int error : {EOPNOTSUPP, EINVAL, ENOSYS, EPERM}) {
        // The group's rights do not go to the saver's group: no more than anyone has.
        QTest::addRow("fchown, %s", qPrintable(systemReason(error))) << "fchown" << error << "root:root 00644";
        QTest::addRow("fchmod, %s", qPrintable(systemReason(error))) << "fchmod" << error << "root:users 00600";
    }
}

// A file system that cannot keep an owner, group or mode (some network and user-space ones answer
// EOPNOTSUPP, EINVAL or ENOSYS) still takes the save: the attributes are kept as far as it allows,
// and the new bytes never become readable by more than the old ones.
void TestWholeFile::attributesAsFarAsAllowed()
{
    QFETCH(QString, call);
    QFETCH(int, error);
    QFETCH(QString, result);
    if (::geteuid() != 0 || ::getegid() != 0)
        QSKIP("needs root to give the file to another group");
    gid_t usersGid = 0;
    QVERIFY(groupId("users", &usersGid));
    QTemporaryDir dir;
    const QString path = dir.filePath("unit.bin");
    QVERIFY(writeFile(path, "old"));
    QVERIFY(setOwner(path, 0, usersGid, 0664));

    QString written;
    {
        Injection injection;
        (call == QLatin1String("fchown") ? Injection::fchownError : Injection::fchmodError) = error;
        written = outcome(path, "new");
    }

    QCOMPARE(written, QStringLiteral("written"));
    QCOMPARE(readFile(path), QByteArray("new"));
    QCOMPARE(describe(ownerOf(path)), result);
    QCOMPARE(entriesOf(dir.path()), QStringList{"unit.bin"});
}

void TestWholeFile::folderRefusals_data()
{
    QTest::addColumn<int>("openError");   // of the temporary file
    QTest::addColumn<int>("renameError");
    QTest::addColumn<int>("writeBudget"); // bytes written before writes fail with writeError; -1: all
    QTest::addColumn<int>("writeError");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("contents"); // "new", "old" or "part": the first four new bytes over the old
    QTest::addColumn<bool>("sameFile");    // the old file's inode holds the contents
    const QString written = QStringLiteral("written");
    for (const int error : {EACCES, EPERM, EROFS}) {
        QTest::addRow("no new file in the folder: %s", qPrintable(systemReason(error)))
            << error << 0 << -1 << 0 << written << "new" << true;
    }
    for (const int error : {EPERM, EACCES}) {
        QTest::addRow("rename refused: %s", qPrintable(systemReason(error)))
            << 0 << error << -1 << 0 << written << "new" << true;
    }
    QTest::newRow("in place, stopped part way") << EACCES << 0 << 4 << EIO
                                                << "failed: " + systemReason(EIO) + ", may be incomplete" << "part"
                                                << true;
    QTest::newRow("in place, no byte written") << EACCES << 0 << 0 << ENOSPC << "failed: " + systemReason(ENOSPC)
                                               << "old" << true;
    // A full disk is no refusal of the folder: the old file stays whole.
    QTest::newRow("no inode left") << ENOSPC << 0 << -1 << 0 << "failed: " + systemReason(ENOSPC) << "old" << true;
    QTest::newRow("disk full in the temporary") << 0 << 0 << 4 << ENOSPC << "failed: " + systemReason(ENOSPC)
                                                << "old" << true;
    QTest::newRow("rename fails otherwise") << 0 << EBUSY << -1 << 0 << "failed: " + systemReason(EBUSY) << "old"
                                            << true;
}

// Where the folder refuses the replacement but the file may be written, the file is written in
// place; a failure part way says the file may be incomplete. Anything else keeps the old file.
void TestWholeFile::folderRefusals()
{
    QFETCH(int, openError);
    QFETCH(int, renameError);
    QFETCH(int, writeBudget);
    QFETCH(int, writeError);
    QFETCH(QString, result);
    QFETCH(QString, contents);
    QFETCH(bool, sameFile);
    const QByteArray old("old bytes, longer than the new ones");
    const QByteArray bytes("new bytes");
    QTemporaryDir dir;
    const QString path = dir.filePath("unit.bin");
    QVERIFY(writeFile(path, old));
    const ino_t inode = inodeOf(path);

    QString written;
    {
        Injection injection;
        Injection::temporaryOpenError = openError;
        Injection::renameError = renameError;
        Injection::writeBudget = writeBudget;
        Injection::writeError = writeError;
        written = outcome(path, bytes);
    }

    QCOMPARE(written, result);
    const QByteArray expected = contents == QLatin1String("new") ? bytes
                                : contents == QLatin1String("old") ? old
                                                                   : bytes.left(4) + old.mid(4);
    QCOMPARE(readFile(path), expected);
    QCOMPARE(inodeOf(path) == inode, sameFile);
    QCOMPARE(entriesOf(dir.path()), QStringList{"unit.bin"});
}

void TestWholeFile::unprivilegedFolders_data()
{
    QTest::addColumn<bool>("sticky");      // the folder: sticky and open to all; else root's, 0755
    QTest::addColumn<QString>("owner");    // of the file, which nobody may write
    QTest::addColumn<int>("limit");        // the saver's file-size limit, 0: none
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("kept");         // leading new bytes the file holds afterwards; -1: all of them
    QTest::newRow("own file in a folder nobody may write") << false << "nobody" << 0 << "written" << -1;
    QTest::newRow("another user's file in a sticky folder") << true << "daemon" << 0 << "written" << -1;
    QTest::newRow("in place, stopped by a file-size limit")
        << false << "nobody" << 4096 << "failed: " + systemReason(EFBIG) + ", may be incomplete" << 4096;
}

// Saved by nobody: a file it may write whose folder refuses a new file (no write right in it), or
// the rename over it (another user's file in a sticky folder such as /tmp), is written in place and
// keeps its owner, group and mode.
void TestWholeFile::unprivilegedFolders()
{
    QFETCH(bool, sticky);
    QFETCH(QString, owner);
    QFETCH(int, limit);
    QFETCH(QString, result);
    QFETCH(int, kept);
    if (::geteuid() != 0)
        QSKIP("needs root to save as another user");
    uid_t uid = 0;
    gid_t gid = 0;
    QVERIFY(userId(qPrintable(owner), &uid, &gid));
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ExeGroup));
    const QString folder = dir.filePath("folder");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QVERIFY(setOwner(folder, 0, 0, sticky ? 01777 : 0755));
    const QString path = folder + "/unit.bin";
    QVERIFY(writeFile(path, QByteArray(100, 'o')));
    QVERIFY(setOwner(path, uid, gid, 0666));
    const QString before = describe(ownerOf(path));
    const ino_t inode = inodeOf(path);
    const QByteArray bytes(8192, 'n');

    const QString written = inChild(true, [&] {
        rlimit fileSize{rlim_t(limit), rlim_t(limit)};
        if (limit && ::setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
            return QStringLiteral("no limit");
        return outcome(path, bytes);
    });

    QCOMPARE(written, result);
    QCOMPARE(readFile(path), kept < 0 ? bytes : bytes.left(kept));
    QCOMPARE(inodeOf(path), inode);
    QCOMPARE(describe(ownerOf(path)), before);
    QCOMPARE(entriesOf(folder), QStringList{"unit.bin"});
}

void TestWholeFile::fileSizeLimit_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("over a file") << true;
    QTest::newRow("a new file") << false;
}

// A file-size limit met while the temporary file is written fails the write with its reason and
// keeps the old file whole; it never ends the program.
void TestWholeFile::fileSizeLimit()
{
    QFETCH(bool, exists);
    QTemporaryDir dir;
    const QString path = dir.filePath("unit.bin");
    if (exists)
        QVERIFY(writeFile(path, "old"));

    const QString written = inChild(false, [&] {
        rlimit fileSize{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
            return QStringLiteral("no limit");
        return outcome(path, QByteArray(8192, 'n'));
    });

    QCOMPARE(written, "failed: " + systemReason(EFBIG));
    QCOMPARE(readFile(path), exists ? QByteArray("old") : QByteArray("<missing>"));
    QCOMPARE(entriesOf(dir.path()), exists ? QStringList{"unit.bin"} : QStringList());
}

QTEST_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
