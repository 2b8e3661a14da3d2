#pragma once

#include <QByteArray>
#include <QString>

namespace Platform {

// How a whole-file write failed: the system's reason, and whether the file itself may have been
// changed (written in place and stopped part way, so that it may hold part of the new bytes, or
// the new bytes and a tail of the old ones). Where fileMayBeIncomplete is false the old file is
// as it was.
struct WholeFileFailure {
    QString reason;
    bool fileMayBeIncomplete = false;
};

// Writes bytes as the whole new contents of the file at path. They go to a temporary file of a
// short name of its own beside it (so that a file of any legal name can be replaced), readable by
// the saver alone until it has the old file's owner and group, then given the old file's mode (a
// new file the mode any new file gets), and it takes the file's place only once every byte is on
// the disk; on any failure the temporary file is removed and the old file stays as it was. A
// symbolic link is followed: the file it names is replaced and the link stays. Owner, group and
// mode are kept as far as the saver and the file system allow (the owner only where the saver may
// give a file away); one that cannot be kept never fails the write, and the group's rights never
// go to another group. Another hard link of the old file keeps the old contents.
// Where the file may be written but its folder refuses the replacement (no new file may be made
// there, or the old one may not be renamed over, as another user's file in a sticky folder), the
// file is written in place: every byte written and on the disk before the file is cut to its new
// length; a failure after the first byte leaves the file possibly incomplete, and says so. A full
// disk or a file-size limit met while the temporary file is written stays a failure that keeps
// the old file whole; the file-size limit's signal never ends the program.
// Refused at once, with nothing opened: a path that names something other than a regular file (a
// folder, a pipe, a device; an open of a pipe would wait for a reader), and a file the user may
// not write. On failure returns false and fills *failure.
bool writeWholeFile(const QString &path, const QByteArray &bytes, WholeFileFailure *failure);

// The same, with the reason alone in *reason; where the file may be incomplete the reason ends in
// a line that says so (incompleteFileText()).
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason);

// The built-in English sentence of a write that stopped part way in place.
QString incompleteFileText();

}
