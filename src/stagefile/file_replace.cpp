#include "stagefile/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/file.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "base/system_names.h"
#include "stagefile/descriptor_stream.h"
#include "stagefile/file_calls.h"
#include "stagefile/file_commit.h"
#include "stagefile/in_place_copy.h"
#include "stagefile/temp_file.h"

namespace fs = std::filesystem;

#ifndef O_BINARY
#define O_BINARY 0  // only Windows turns line ends into CR LF on the way through a descriptor
#endif

namespace {

std::string Reason(int error, const char* fallback) { return error ? std::strerror(error) : fallback; }

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

// The new file takes over the model's owner (where the system allows it) and permissions; `mode` is
// what the permissions become.
void KeepOwnerAndMode(int fd, const std::string& temp, const struct stat& model, int mode) {
#ifdef _WIN32
    (void)fd;
    (void)model;
    if (ChangeMode(temp, mode) != 0) {
    }
#else
    (void)temp;
    struct stat made;
    if (::fstat(fd, &made) != 0) return;
    // Both are kept as far as the user may: without the right to give a file away, its group at least.
    if ((made.st_uid != model.st_uid || made.st_gid != model.st_gid) && ::fchown(fd, model.st_uid, model.st_gid) != 0 &&
        made.st_gid != model.st_gid && ::fchown(fd, static_cast<uid_t>(-1), model.st_gid) != 0) {
    }
    if (::fchmod(fd, static_cast<mode_t>(mode)) != 0) {
    }
#endif
}

// Puts `bytes` into the open file from its start and cuts it there, then pushes it to the disk.
bool Overwrite(int fd, const std::string& bytes) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// The whole file behind `fd`, from its start.
bool ReadAll(int fd, std::string& bytes) {
    if (::lseek(fd, 0, SEEK_SET) != 0) return false;
    bytes.clear();
    char buffer[1 << 16];
    for (;;) {
        auto n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// Rewrites in place hold the file locked, so that two of them, or a load and one, never meet half-way.
// Another save is given a few seconds to finish. Windows has no such lock.
bool LockFile(int fd, bool exclusive) {
#ifdef _WIN32
    (void)fd;
    (void)exclusive;
    return true;
#else
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return true;  // a system without locks
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
#endif
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// The rewrite in place, with the copy of the old bytes kept until the new ones are on the disk, so that a
// rewrite cut short is found again (in_place_copy.h).
FileResult RewriteResolved(const std::string& target, const std::function<FileResult(std::ostream&)>& write) {
    std::ostringstream made;
    FileResult written = write(made);
    if (!written.ok) return written;
    if (!made) return Failure(target, "the new contents could not be made");
    const std::string bytes = std::move(made).str();

    errno = 0;
    Descriptor file(OpenFile(target, O_RDWR | O_BINARY | O_CLOEXEC));
    if (file.Get() < 0) return Failure(target, "cannot write the file: " + Reason(errno, "open failed"));
    if (!LockFile(file.Get(), true))
        return Failure(target, "cannot rewrite the file in place: another save of it is under way");
    std::string old;
    errno = 0;
    if (!ReadAll(file.Get(), old)) return Failure(target, "cannot read the file: " + Reason(errno, "read failed"));

    bool finished = false;
    std::string copy = FindInPlaceCopy(target, old, finished);
    if (!copy.empty() && !finished) return Failure(target, InterruptedRewriteMessage(copy));
    std::error_code ignored;
    if (!copy.empty()) fs::remove(PathFromUtf8(copy), ignored);  // a finished rewrite's copy
    std::string reason;
    if (!KeepInPlaceCopy(target, old, bytes, copy, reason))
        return Failure(target, "cannot rewrite the file in place: no copy of its old contents can be kept (" +
                                   reason + ")");

    errno = 0;
    bool saved = Overwrite(file.Get(), bytes);
    int error = errno;
    std::string check;
    if (saved && (!ReadAll(file.Get(), check) || check != bytes)) {
        saved = false;
        error = 0;
    }
    if (saved) {
        fs::remove(PathFromUtf8(copy), ignored);
        written.path = target;
        written.inPlace = true;
        return written;
    }
    std::string message = "cannot rewrite the file in place: " + Reason(error, "it did not read back as written");
    errno = 0;
    if (Overwrite(file.Get(), old) && ReadAll(file.Get(), check) && check == old) {
        fs::remove(PathFromUtf8(copy), ignored);
        message += "; its old contents were put back";
    } else {
        message += "; putting its old contents back failed too: " + Reason(errno, "they did not read back") +
                   "; they are kept in " + copy;
    }
    return Failure(target, message);
}

bool IsRefusal(int error) { return error == EACCES || error == EPERM; }

FileResult InPlace(const std::string& path, const std::string& target,
                   const std::function<FileResult(std::ostream&)>& write) {
    FileResult result = RewriteResolved(target, write);
    result.path = path;
    return result;
}

// The reason a file must not be saved or loaded while the copy of a rewrite cut short is pending.
std::string InterruptedRewriteOf(const std::string& target) {
    if (!HasInPlaceCopy(target)) return {};
    Descriptor file(OpenFile(target, O_RDONLY | O_BINARY | O_CLOEXEC));
    std::string contents;
    if (file.Get() < 0) return {};  // nothing left to damage: the copy waits for the user
    if (!LockFile(file.Get(), false)) return "another save of the file is under way";
    if (!ReadAll(file.Get(), contents)) return {};
    bool finished = false;
    const std::string copy = FindInPlaceCopy(target, contents, finished);
    if (copy.empty()) return {};
    if (!finished) return InterruptedRewriteMessage(copy);
    // A rewrite killed just before it began or just after it ended: the copy is of no more use, and
    // would take a later change of the file by another program for damage. No rewrite runs meanwhile:
    // it would hold the file locked.
    std::error_code ignored;
    fs::remove(PathFromUtf8(copy), ignored);
    return {};
}

}  // namespace

FileResult CheckInterruptedRewrite(const std::string& path) {
    std::string target, error;
    if (!ResolveLinks(path, target, error)) return FileResult{};  // the load itself says why
    const std::string message = InterruptedRewriteOf(target);
    return message.empty() ? FileResult{} : Failure(path, message);
}

FileResult RewriteFileInPlace(const std::string& path, const std::function<FileResult(std::ostream&)>& write) {
    std::string target, error;
    if (!ResolveLinks(path, target, error)) return Failure(path, error);
    return InPlace(path, target, write);
}

FileResult ReplaceFile(const std::string& path, const std::function<FileResult(std::ostream&)>& write,
                       const std::string& modeOf) {
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
    const std::string interrupted = InterruptedRewriteOf(target);
    if (!interrupted.empty()) return fail(interrupted);

    // The permissions to give the new file: the old file's, or those of `modeOf` (readable and writable
    // for its owner); a new file gets the system's default.
    struct stat model = old;
    bool modelled = exists;
    int mode = exists ? static_cast<int>(old.st_mode & 07777) : 0666;
    if (!modeOf.empty() && StatFile(modeOf, model) == 0) {
        modelled = true;
        mode = static_cast<int>((model.st_mode & 0666) | 0600);
    }

    RemoveStaleTempFiles(target);
    std::string temp, reason;
    int error = 0;
    // Made for the owner alone until it holds its permissions: a private file's text is never readable
    // by others on the way.
    const int fd = CreateTempFile(target, modelled ? 0600 : 0666, temp, error, reason);
    if (fd < 0) {
        // A folder that takes no new files still lets a writable file be rewritten where it is.
        if (exists && IsRefusal(error)) return InPlace(path, target, write);
        return fail("cannot create a temporary file beside " + target + ": " + reason);
    }
    std::error_code ignored;
    auto discard = [&](int open) {
        if (open >= 0) ::close(open);
        fs::remove(PathFromUtf8(temp), ignored);
    };
    if (modelled) KeepOwnerAndMode(fd, temp, model, mode);

    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    errno = 0;
    FileResult written = write(out);
    // The reason of a failed write is taken where the stream first failed (a full disk shows up there).
    if (out) out.flush();
    if (!written.ok) {
        discard(fd);
        written.path = path;
        return written;
    }
    if (!out) {
        discard(fd);
        return fail("cannot write " + temp + ": " + Reason(buffer.Error(), "write failed"));
    }
    // The data reaches the disk before the rename makes it the file.
    errno = 0;
    if (::fsync(fd) != 0) {
        const int syncError = errno;
        discard(fd);
        return fail("cannot write " + temp + ": " + Reason(syncError, "sync failed"));
    }
    if (::close(fd) != 0) {
        const int closeError = errno;
        discard(-1);
        return fail("cannot write " + temp + ": " + Reason(closeError, "close failed"));
    }
    bool refused = false;
    if (!MoveOver(temp, target, reason, refused)) {
        discard(-1);
        // The folder let the file be made, but refuses the rename.
        if (exists && refused) return InPlace(path, target, write);
        return fail("cannot replace the file: " + reason);
    }
    written.path = path;
    return written;
}
