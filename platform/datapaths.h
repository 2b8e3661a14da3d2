#pragma once
#include <QString>

namespace Platform {

// The data files name their pictures, flags, sounds and help pages in whatever letter case their
// authors liked ("/APPLICATION/png/Flags/..."), and with either kind of slash, while the files on disk
// have their own. This resolves such a path below a base folder (the working directory by default),
// one component at a time, taking the exact name where it exists and otherwise a name that differs
// only in letter case (the first in name order when several do).
// A leading "/" means "below the base", as the data files write it, and is looked for there first;
// only when nothing below the base matches is an absolute path that exists as it stands taken as
// it is. An absolute path that already lies below the base stays below it. Returns the path as it
// exists on disk, or, when no component-wise match exists, the path joined to the base unchanged.
QString resolveDataPath(const QString &path, const QString &base = QString());

// What a reader keeps of a file to tell at its next look whether the file changed: its kind, size,
// modification time (as finely as the system keeps it) and identity (a file put in the place of
// another under the same name is another file). One look at the file system.
struct FileState {
    enum Kind { Missing, Regular, Folder, Other };   // Other: a device, pipe, socket and the like
    Kind kind = Missing;
    qint64 size = -1;
    qint64 modified = 0;
    quint64 device = 0;
    quint64 inode = 0;

    bool operator==(const FileState &o) const
    {
        return kind == o.kind && size == o.size && modified == o.modified && device == o.device && inode == o.inode;
    }
    bool operator!=(const FileState &o) const { return !(*this == o); }
};
FileState fileState(const QString &path);

}
