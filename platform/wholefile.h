#pragma once

#include <QByteArray>
#include <QString>

namespace Platform {

// Writes bytes as the whole new contents of the file at path, replacing it whole or not at all:
// they go to a temporary file beside it, which takes the file's place only once every byte is
// down. Refused at once, with nothing opened: a path that names something other than a regular
// file (a folder, a pipe, a device; an open of a pipe would wait for a reader). Refused too where
// no temporary file can be made there (a missing folder, one the user may not write in): the old
// file is never written in place. On failure returns false with the system's reason in *reason.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason);

}
