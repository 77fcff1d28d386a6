#include "stagefile/temp_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#ifndef _WIN32
#include <sys/file.h>
#include <sys/stat.h>

#include <ctime>
#endif

#include "base/system_names.h"
#include "stagefile/file_calls.h"
#include "stagefile/hex_digits.h"

namespace fs = std::filesystem;

namespace {

constexpr int kHexDigits = 16;
constexpr const char* kSuffix = ".tmp";
// A temporary file unchanged for this long, and not held by a running save, was left by a killed one.
constexpr std::chrono::seconds kAbandoned{60};

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

// Sixteen hex digits that differ between saves, processes and machines; the exclusive creation is what
// guarantees that no two saves share a file, this only makes a clash rare.
std::string UniquePart() {
    std::uint64_t seed = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    seed = Mix(seed ^ std::hash<std::thread::id>{}(std::this_thread::get_id()));
    try {
        std::random_device device;
        seed = Mix(seed ^ (static_cast<std::uint64_t>(device()) << 32 | device()));
    } catch (...) {
        // no system source of random numbers: the clock and the thread still tell saves apart
    }
    return HexDigits(seed);
}

#ifdef _WIN32
void RemoveIfAbandoned(const fs::path& path) {
    std::error_code code;
    if (!fs::is_regular_file(fs::symlink_status(path, code))) return;
    const auto modified = fs::last_write_time(path, code);
    if (code || fs::file_time_type::clock::now() - modified < kAbandoned) return;
    // A running save holds its file open without sharing its deletion: removing such a file fails.
    fs::remove(path, code);
}
#else
void RemoveIfAbandoned(const fs::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat held, named;
    const bool old = ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
                     std::time(nullptr) - held.st_mtime >= static_cast<std::time_t>(kAbandoned.count());
    // A running save keeps its file locked; where the system has no locks, age alone decides.
    const bool unused = old && (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK);
    if (unused && ::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
        ::unlink(path.c_str());
    ::close(fd);
}
#endif

}  // namespace

int CreateTempFile(const std::string& target, int mode, std::string& temp, int& error, std::string& reason) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = target + "." + UniquePart() + kSuffix;
        int fd = CreateNewFile(temp, mode);
        if (fd >= 0) {
#ifndef _WIN32
            (void)::flock(fd, LOCK_EX | LOCK_NB);  // new, so nobody else holds it
#endif
            return fd;
        }
        error = errno;
        if (error != EEXIST) break;
    }
    reason = std::strerror(error);
    return -1;
}

bool IsTempNameOf(const std::string& name, const std::string& targetName) {
    const std::size_t suffix = std::strlen(kSuffix);
    if (name.size() != targetName.size() + 1 + kHexDigits + suffix) return false;
    if (name.compare(0, targetName.size(), targetName) != 0 || name[targetName.size()] != '.') return false;
    if (name.compare(name.size() - suffix, suffix, kSuffix) != 0) return false;
    return IsHexDigits(name, targetName.size() + 1, kHexDigits);
}

void RemoveStaleTempFiles(const std::string& target) {
    const fs::path path = PathFromUtf8(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string name = Utf8FromPath(path.filename());
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code))
        if (IsTempNameOf(Utf8FromPath(it->path().filename()), name)) RemoveIfAbandoned(it->path());
}
