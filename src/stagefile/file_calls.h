// The POSIX calls the save code makes on a file name, with the name in UTF-8. On Windows they go through
// the C library's wide calls: its narrow ones read the name in the ANSI code page.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "base/system_names.h"

#ifdef _WIN32
// Only what the save code reads of it: the kind and the permissions (Windows files have no owner).
inline int StatFile(const std::string& path, struct stat& info) {
    struct _stat64 wide;
    info = {};
    if (::_wstat64(PathFromUtf8(path).c_str(), &wide) != 0) return -1;
    info.st_mode = wide.st_mode;
    return 0;
}
inline int LinkStatFile(const std::string& path, struct stat& info) { return StatFile(path, info); }
inline int AccessFile(const std::string& path, int mode) { return ::_waccess(PathFromUtf8(path).c_str(), mode); }
inline int OpenFile(const std::string& path, int flags) { return ::_wopen(PathFromUtf8(path).c_str(), flags); }
inline int ChangeMode(const std::string& path, int mode) { return ::_wchmod(PathFromUtf8(path).c_str(), mode); }
// A new file, never one that exists (CREATE_NEW), for writing in binary mode. Windows keeps a file's
// permissions as one read-only flag, set when the file takes the old one's mode.
inline int CreateNewFile(const std::string& path, int) {
    return ::_wopen(PathFromUtf8(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}
#else
inline int StatFile(const std::string& path, struct stat& info) { return ::stat(path.c_str(), &info); }
inline int LinkStatFile(const std::string& path, struct stat& info) { return ::lstat(path.c_str(), &info); }
inline int AccessFile(const std::string& path, int mode) { return ::access(path.c_str(), mode); }
inline int OpenFile(const std::string& path, int flags) { return ::open(path.c_str(), flags); }
inline int ChangeMode(const std::string& path, mode_t mode) { return ::chmod(path.c_str(), mode); }
// A new file, never one that exists nor through a link of that name.
inline int CreateNewFile(const std::string& path, int mode) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
}
#endif
