#include "datapaths.h"

#include <QDir>
#include <QFileInfo>

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

QString resolveDataPath(const QString &path, const QString &base)
{
    const QString root = QDir::cleanPath(base.isEmpty() ? QDir::currentPath() : QDir(base).absolutePath());
    QString rel = QDir::cleanPath(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));

    if (QDir::isAbsolutePath(rel)) {
        const QString rootSlash = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if (rel.startsWith(rootSlash))
            rel = rel.mid(rootSlash.size());
        else if (rel == root)
            return root;
        else if (QFileInfo::exists(rel))
            return rel;
    }

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
            return joined;
        current += QLatin1Char('/') + found;
    }
    return QDir::cleanPath(current);
}

}
