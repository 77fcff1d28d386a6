#include "stagefile/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/system_names.h"
#include "stagefile/file_calls.h"
#include "stagefile/file_commit.h"

namespace fs = std::filesystem;

#ifndef O_BINARY
#define O_BINARY 0  // only Windows turns line ends into CR LF on the way through a descriptor
#endif

namespace {

std::string Reason(int error, const char* fallback) { return error ? std::strerror(error) : fallback; }

FileResult Failure(const std::string& path, const std::string& message) {
    return FileResult{false, path, 0, message, 0, 0};
}

// The file a name stands for: symbolic links are followed to the file they end at (which may not exist
// yet), so a save replaces that file and the links stay links.
bool ResolveLinks(const std::string& path, std::string& target, std::string& error) {
    fs::path current = PathFromUtf8(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code code;
        if (!fs::is_symlink(fs::symlink_status(current, code))) {
            target = Utf8FromPath(current);
            return true;
        }
        fs::path next = fs::read_symlink(current, code);
        if (code) {
            error = "cannot follow the link " + Utf8FromPath(current) + ": " + code.message();
            return false;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    error = "cannot follow the link " + path + ": " + std::strerror(ELOOP);
    return false;
}

// The replacement takes over the old file's owner (where the system allows it) and permissions.
void KeepOwnerAndMode(const std::string& temp, const struct stat& old) {
    struct stat made;
    if (LinkStatFile(temp, made) != 0 || !S_ISREG(made.st_mode)) return;
    // Both are kept as far as the user may: without the right to give a file away, its group at least.
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::chown(temp.c_str(), old.st_uid, old.st_gid) != 0 && made.st_gid != old.st_gid &&
        ::chown(temp.c_str(), static_cast<uid_t>(-1), old.st_gid) != 0) {
    }
    if (ChangeMode(temp, old.st_mode & 07777) != 0) {
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Puts `bytes` into the open file from its start and cuts it there, then pushes it to the disk.
bool Overwrite(int fd, const std::string& bytes) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

bool ReadAll(const std::string& path, std::string& bytes) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    bytes = std::move(text).str();
    return true;
}

FileResult RewriteResolved(const std::string& target, const std::function<FileResult(std::ostream&)>& write) {
    std::ostringstream made;
    FileResult written = write(made);
    if (!written.ok) return written;
    if (!made) return Failure(target, "the new contents could not be made");
    const std::string bytes = std::move(made).str();

    std::string old;
    errno = 0;
    if (!ReadAll(target, old)) return Failure(target, "cannot read the file: " + Reason(errno, "read failed"));
    int fd = OpenFile(target, O_WRONLY | O_BINARY | O_CLOEXEC);
    if (fd < 0) return Failure(target, "cannot write the file: " + Reason(errno, "open failed"));

    errno = 0;
    bool saved = Overwrite(fd, bytes);
    int error = errno;
    std::string check;
    if (saved && (!ReadAll(target, check) || check != bytes)) {
        saved = false;
        error = 0;
    }
    if (saved) {
        ::close(fd);
        written.path = target;
        written.inPlace = true;
        return written;
    }
    std::string message = "cannot rewrite the file in place: " + Reason(error, "it did not read back as written");
    errno = 0;
    if (Overwrite(fd, old))
        message += "; its old contents were put back";
    else
        message += "; putting its old contents back failed too: " + Reason(errno, "write failed");
    ::close(fd);
    return Failure(target, message);
}

bool IsRefusal(int error) { return error == EACCES || error == EPERM; }

FileResult InPlace(const std::string& path, const std::string& target,
                   const std::function<FileResult(std::ostream&)>& write) {
    FileResult result = RewriteResolved(target, write);
    result.path = path;
    return result;
}

}  // namespace

FileResult RewriteFileInPlace(const std::string& path, const std::function<FileResult(std::ostream&)>& write) {
    std::string target, error;
    if (!ResolveLinks(path, target, error)) return Failure(path, error);
    return InPlace(path, target, write);
}

FileResult ReplaceFile(const std::string& path, const std::function<FileResult(std::ostream&)>& write) {
    FileResult result;
    result.path = path;
    auto fail = [&](const std::string& message) {
        result.ok = false;
        result.line = 0;
        result.message = message;
        return result;
    };

    std::string target, linkError;
    if (!ResolveLinks(path, target, linkError)) return fail(linkError);
    struct stat old;
    const bool exists = StatFile(target, old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return fail("cannot replace " + target + ": it is not a regular file");

    // A file the user made read-only is not replaced behind their back.
    if (exists && AccessFile(target, W_OK) != 0)
        return fail("cannot write the file: " + Reason(errno, "permission denied"));

    const std::string temp = target + ".tmp";
    std::error_code ignored;
    errno = 0;
    std::ofstream out(PathFromUtf8(temp), std::ios::binary | std::ios::trunc);
    if (!out) {
        int error = errno;
        // A folder that takes no new files still lets a writable file be rewritten where it is.
        if (exists && IsRefusal(error)) return InPlace(path, target, write);
        return fail("cannot create " + temp + ": " + Reason(error, "open failed"));
    }
    if (exists) KeepOwnerAndMode(temp, old);

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
        fs::remove(PathFromUtf8(temp), ignored);
        written.path = path;
        return written;
    }
    if (!streamOk || out.fail()) {
        int error = flushError ? flushError : errno;
        fs::remove(PathFromUtf8(temp), ignored);
        return fail("cannot write " + temp + ": " + Reason(error, "write failed"));
    }
    // The data reaches the disk before the rename makes it the stage file.
    std::string reason;
    if (!SyncFile(temp, reason)) {
        fs::remove(PathFromUtf8(temp), ignored);
        return fail("cannot write " + temp + ": " + reason);
    }
    bool refused = false;
    if (!MoveOver(temp, target, reason, refused)) {
        fs::remove(PathFromUtf8(temp), ignored);
        // A stale temporary file let the write start, but the folder refuses the rename.
        if (exists && refused) return InPlace(path, target, write);
        return fail("cannot replace the file: " + reason);
    }
    written.path = path;
    return written;
}
