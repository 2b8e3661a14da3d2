#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/stat.h>

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
