// The few POSIX calls the file code uses that MinGW-w64 lacks, in Windows' terms. Included ahead of every
// source of the Windows build.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0  // Windows handles are not inherited unless asked for
#endif

typedef int uid_t;
typedef int gid_t;

// Windows files have no POSIX owner to hand over.
inline int chown(const char*, uid_t, gid_t) { return 0; }
// Windows has no symbolic links the file code could meet through these calls.
inline int lstat(const char* path, struct stat* info) { return stat(path, info); }
// Windows flushes a file through a descriptor that may write (FlushFileBuffers).
inline int fsync(int fd) { return _commit(fd); }
