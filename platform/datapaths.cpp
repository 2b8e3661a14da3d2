#include "datapaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace Platform {

namespace {

QString findIgnoringCase(const QString &folder, const QString &name)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                                       QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return QString();
}

}

namespace {

// The path below the root, component by component in any letter case; "" when no component-wise
// match exists.
QString findBelow(const QString &root, const QString &rel)
{
    const QString joined = QDir::cleanPath(root + QLatin1Char('/') + rel);
    if (QFileInfo::exists(joined))
        return joined;
    QString current = root;
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString exact = current + QLatin1Char('/') + part;
        if (part == QLatin1String("..") || QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        const QString found = findIgnoringCase(current, part);
        if (found.isEmpty())
            return QString();
        current += QLatin1Char('/') + found;
    }
    return QDir::cleanPath(current);
}

}

QString resolveDataPath(const QString &path, const QString &base)
{
    const QString root = QDir::cleanPath(base.isEmpty() ? QDir::currentPath() : QDir(base).absolutePath());
    QString rel = QDir::cleanPath(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));

    QString standing;   // an absolute path as it stands, taken only when nothing below the base matches
    if (QDir::isAbsolutePath(rel)) {
        const QString rootSlash = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if (rel == root)
            return root;
        if (rel.startsWith(rootSlash))
            rel = rel.mid(rootSlash.size());
        else
            standing = rel;
    }

    const QString below = findBelow(root, rel);
    if (!below.isEmpty())
        return below;
    if (!standing.isEmpty() && QFileInfo::exists(standing))
        return standing;
    return QDir::cleanPath(root + QLatin1Char('/') + rel);
}

FileState fileState(const QString &path)
{
    FileState state;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return state;
    state.kind = S_ISREG(st.st_mode) ? FileState::Regular : S_ISDIR(st.st_mode) ? FileState::Folder : FileState::Other;
    state.size = qint64(st.st_size);
    state.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    state.device = quint64(st.st_dev);
    state.inode = quint64(st.st_ino);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return state;
    state.kind = info.isFile() ? FileState::Regular : info.isDir() ? FileState::Folder : FileState::Other;
    state.size = info.size();
    state.modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return state;
}

}
