#include "stagefile/file_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::string Reason(int error, const char* fallback) { return error ? std::strerror(error) : fallback; }

// Pushes the file's data to the disk before the rename makes it the stage file.
bool SyncFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

FileResult ReplaceFile(const std::string& path, const std::function<FileResult(std::ostream&)>& write) {
    FileResult result;
    result.path = path;
    auto fail = [&](const std::string& message) {
        result.ok = false;
        result.line = 0;
        result.message = message;
        return result;
    };

    // A file the user made read-only is not replaced behind their back.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return fail("cannot write the file: " + Reason(errno, "permission denied"));

    const std::string temp = path + ".tmp";
    std::error_code ignored;
    errno = 0;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot create " + temp + ": " + Reason(errno, "open failed"));

    errno = 0;
    FileResult written = write(out);
    // The reason of a failed write is taken where the stream first failed (a full disk shows up there).
    int flushError = 0;
    if (out) {
        errno = 0;
        out.flush();
    }
    if (!out) flushError = errno;
    bool streamOk = static_cast<bool>(out);
    out.close();
    if (!written.ok) {
        std::filesystem::remove(temp, ignored);
        written.path = path;
        return written;
    }
    if (!streamOk || out.fail()) {
        int error = flushError ? flushError : errno;
        std::filesystem::remove(temp, ignored);
        return fail("cannot write " + temp + ": " + Reason(error, "write failed"));
    }
    if (!SyncFile(temp)) {
        int error = errno;
        std::filesystem::remove(temp, ignored);
        return fail("cannot write " + temp + ": " + Reason(error, "sync failed"));
    }
    std::error_code renameError;
    std::filesystem::rename(temp, path, renameError);
    if (renameError) {
        std::filesystem::remove(temp, ignored);
        return fail("cannot replace the file: " + renameError.message());
    }
    written.path = path;
    return written;
}
