#include "wholefile.h"

#include "../testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
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
    // Each look-up's answer lives only until the next one.
    const passwd *user = ::getpwnam("daemon");
    QVERIFY(user);
    const uid_t daemonUid = user->pw_uid;
    QVERIFY((user = ::getpwnam("nobody")));
    const uid_t nobodyUid = user->pw_uid;
    const gid_t nobodyGid = user->pw_gid;
    const group *users = ::getgrnam("users");
    QVERIFY(users);
    const gid_t usersGid = users->gr_gid;

    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ExeGroup));
    const QString folder = dir.filePath("shared");
    QVERIFY(QDir(dir.path()).mkdir("shared"));
    QCOMPARE(::chown(QFile::encodeName(folder).constData(), 0, usersGid), 0);
    // Not set-group-ID: a new file in it gets the saver's group.
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0775), 0);
    const QString path = folder + "/unit.bin";
    QVERIFY(writeFile(path, "old"));
    QCOMPARE(::chown(QFile::encodeName(path).constData(), daemonUid, usersGid), 0);
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 02660), 0);

    const auto save = [&path] {
        QString reason;
        return Platform::writeWholeFile(path, "new", &reason);
    };
    bool saved = false;
    if (!asMember) {
        saved = save();
    } else {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const bool ok = ::setgroups(1, &usersGid) == 0 && ::setgid(nobodyGid) == 0 && ::setuid(nobodyUid) == 0
                            && save();
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    QVERIFY(saved);
    QCOMPARE(readFile(path), QByteArray("new"));
    QCOMPARE(describe(ownerOf(path)), owner);
    QCOMPARE(entriesOf(folder), QStringList{"unit.bin"});
}

QTEST_MAIN(TestWholeFile)
#include "tst_wholefile.moc"
