#pragma once
#include <QString>

namespace Platform {

// The data files name their pictures, flags, sounds and help pages in whatever letter case their
// authors liked ("/APPLICATION/png/Flags/..."), and with either kind of slash, while the files on disk
// have their own. This resolves such a path below a base folder (the working directory by default),
// one component at a time, taking the exact name where it exists and otherwise a name that differs
// only in letter case (the first in name order when several do).
// A leading "/" means "below the base", as the data files write it; an absolute path that already
// lies below the base, or that exists as it stands, is kept below the base or returned unchanged.
// Returns the path as it exists on disk, or, when no component-wise match exists, the path joined
// to the base unchanged.
QString resolveDataPath(const QString &path, const QString &base = QString());

}
