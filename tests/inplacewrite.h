#pragma once

#include "wholefilecalls.h"

#include <QtGlobal>

#include <cerrno>

#include <fcntl.h>

// While it lives, the folder refuses the writer a new file (as a folder the user may not write
// does), so that the file is written in place, and writes after the first ten bytes fail as a
// failing disk's do.
class InPlaceWriteStops
{
public:
    InPlaceWriteStops()
    {
        s_budget = 10;
        Platform::WholeFileCalls &calls = Platform::wholeFileCalls();
        calls.open = [](const char *path, int flags, mode_t mode) {
            if (flags & O_EXCL) {
                errno = EACCES;
                return -1;
            }
            return Platform::realWholeFileCalls().open(path, flags, mode);
        };
        calls.write = [](int fd, const void *data, size_t size) -> ssize_t {
            if (s_budget == 0) {
                errno = EIO;
                return -1;
            }
            const ssize_t written = Platform::realWholeFileCalls().write(fd, data, qMin(size, s_budget));
            s_budget -= written > 0 ? size_t(written) : 0;
            return written;
        };
    }
    ~InPlaceWriteStops() { Platform::wholeFileCalls() = Platform::realWholeFileCalls(); }

private:
    static inline size_t s_budget = 0;
};
