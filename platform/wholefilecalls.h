#pragma once

// The system calls of the whole-file writer, each replaceable, so that a test can look at the file
// between them or make one answer as some file system does; the real calls unless replaced.

#include <sys/types.h>

namespace Platform {

struct WholeFileCalls {
    int (*open)(const char *path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void *data, size_t size);
    int (*fchown)(int fd, uid_t owner, gid_t group);
    int (*fchmod)(int fd, mode_t mode);
    int (*rename)(const char *from, const char *to);
};

// The calls the writer makes; a test sets a member and puts back realWholeFileCalls() after.
WholeFileCalls &wholeFileCalls();
WholeFileCalls realWholeFileCalls();

}
