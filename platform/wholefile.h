#pragma once

#include <QByteArray>
#include <QString>

namespace Platform {

// Writes bytes as the whole new contents of the file at path, replacing it whole or not at all:
// they go to a temporary file of a short name of its own beside it (so that a file of any legal
// name can be replaced), which takes the file's place only once every byte is on the disk; on any
// failure the temporary file is removed and the old file stays as it was. A symbolic link is
// followed: the file it names is replaced and the link stays. The new file keeps the old one's
// mode bits and group, and its owner where the system lets the saver give a file away; another
// hard link of the old file keeps the old contents.
// Refused at once, with nothing opened: a path that names something other than a regular file (a
// folder, a pipe, a device; an open of a pipe would wait for a reader), and a file the user may
// not write. Refused too where no temporary file can be made there (a missing folder, one the user
// may not write in): the old file is never written in place. On failure returns false with the
// system's reason in *reason.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason);

}
