#pragma once
#include <QString>

namespace Platform {

// The data files name their pictures, flags, sounds and help pages in whatever letter case their
// authors liked ("/APPLICATION/png/Flags/..."), while the files on disk have their own. This resolves
// such a path below a base folder (the working directory by default), one component at a time,
// ignoring letter case where the exact name is not there. A leading "/" means "below the base".
// Returns the path as it exists on disk, or the path joined to the base unchanged when no
// component-wise match exists.
QString resolveDataPath(const QString &path, const QString &base = QString());

}
