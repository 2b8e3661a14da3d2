#include "datapaths.h"

#include <QDir>
#include <QFileInfo>

namespace Platform {

QString resolveDataPath(const QString &path, const QString &base)
{
    QString root = base.isEmpty() ? QDir::currentPath() : base;
    QString rel = QDir::fromNativeSeparators(path);
    if (QFileInfo(rel).isAbsolute() && QFileInfo::exists(rel) && !rel.startsWith(QLatin1Char('/')))
        return rel;
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = root;
    for (const QString &part : parts) {
        const QString exact = current + QLatin1Char('/') + part;
        if (QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        QString found;
        for (const QString &entry : entries) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                found = entry;
                break;
            }
        }
        if (found.isEmpty())
            return QDir::cleanPath(root + QLatin1Char('/') + rel);
        current += QLatin1Char('/') + found;
    }
    return QDir::cleanPath(current);
}

}
