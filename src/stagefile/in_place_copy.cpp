#include "stagefile/in_place_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/system_names.h"
#include "stagefile/descriptor_stream.h"
#include "stagefile/file_calls.h"
#include "stagefile/file_commit.h"
#include "stagefile/file_identity.h"
#include "stagefile/hex_digits.h"
#include "stagefile/temp_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNameKept = 100;  // bytes of the file's name that a copy's name repeats

// "<name>.<path hash>." : what every copy of the file's rewrites begins with.
std::string CopyPrefix(const std::string& target) {
    std::error_code code;
    fs::path full = fs::absolute(PathFromUtf8(target), code).lexically_normal();
    std::string name = Utf8FromPath(PathFromUtf8(target).filename());
    if (name.size() > kNameKept) {
        std::size_t cut = kNameKept;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return name + "." + HexDigits(HashBytes(Utf8FromPath(code ? PathFromUtf8(target) : full))) + ".";
}

std::vector<fs::path> CopyFolders() {
    std::vector<fs::path> folders;
#ifdef _WIN32
    const std::string local = EnvironmentUtf8("LOCALAPPDATA");
    if (!local.empty()) folders.push_back(PathFromUtf8(local) / "Vellumar" / "in-place");
    std::error_code code;
    fs::path temp = fs::temp_directory_path(code);
    if (!code) folders.push_back(temp / "vellumar-in-place");
#else
    const std::string cache = EnvironmentUtf8("XDG_CACHE_HOME"), home = EnvironmentUtf8("HOME");
    if (!cache.empty() && cache[0] == '/')
        folders.push_back(fs::path(cache) / "vellumar" / "in-place");
    else if (!home.empty())
        folders.push_back(fs::path(home) / ".cache" / "vellumar" / "in-place");
    std::error_code code;
    fs::path temp = fs::temp_directory_path(code);
    // Others share the temporary folder: the folder is the user's own, made for the user alone.
    if (!code) folders.push_back(temp / ("vellumar-in-place-" + std::to_string(::geteuid())));
#endif
    return folders;
}

// A folder that holds copies only if it is a real folder of this user's (a link or someone else's folder
// in a shared place could send the copies anywhere).
bool UsableFolder(const fs::path& folder, bool create) {
    std::error_code code;
    if (create && fs::create_directories(folder, code)) fs::permissions(folder, fs::perms::owner_all, code);
    struct stat info;
    if (LinkStatFile(Utf8FromPath(folder), info) != 0 || !S_ISDIR(info.st_mode)) return false;
#ifndef _WIN32
    if (info.st_uid != ::geteuid()) return false;
#endif
    return true;
}


bool ReadWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) return false;
    bytes = std::move(text).str();
    return true;
}

// The copy a rewrite of `target` left in any of the folders, or an empty path.
fs::path CopyOf(const std::string& target) {
    const std::string prefix = CopyPrefix(target);
    for (const fs::path& folder : CopyFolders()) {
        if (!UsableFolder(folder, false)) continue;
        std::error_code code;
        for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
            const std::string name = Utf8FromPath(it->path().filename());
            if (name.size() == prefix.size() + 16 + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
                IsHexDigits(name, prefix.size(), 16) && name.compare(name.size() - 4, 4, ".old") == 0)
                return it->path();
        }
    }
    return {};
}

}  // namespace

bool KeepInPlaceCopy(const std::string& target, const std::string& old, const std::string& fresh, std::string& copy,
                     std::string& reason) {
    reason = "no folder for it";
    for (const fs::path& folder : CopyFolders()) {
        if (!UsableFolder(folder, true)) {
            reason = "cannot use the folder " + Utf8FromPath(folder);
            continue;
        }
        copy = Utf8FromPath(folder / PathFromUtf8(CopyPrefix(target) + HexDigits(HashBytes(fresh)) + ".old"));
        RemoveStaleTempFiles(copy);
        std::string temp;
        int error = 0;
        int fd = CreateTempFile(copy, 0600, temp, error, reason);
        if (fd < 0) continue;
        // The copy is made beside its final name and renamed there only once it is whole on the disk.
        const bool written = WriteAll(fd, old) && ::fsync(fd) == 0;
        if (!written) reason = std::strerror(errno);
        const bool closed = ::close(fd) == 0;
        bool refused = false;
        if (written && closed && MoveOver(temp, copy, reason, refused)) return true;
        std::error_code ignored;
        fs::remove(PathFromUtf8(temp), ignored);
    }
    copy.clear();
    return false;
}

bool HasInPlaceCopy(const std::string& target) { return !CopyOf(target).empty(); }

std::string FindInPlaceCopy(const std::string& target, const std::string& contents, bool& finished) {
    finished = false;
    const fs::path copy = CopyOf(target);
    if (copy.empty()) return {};
    // The name holds the hash of the new contents; the copy itself is the old.
    const std::string name = Utf8FromPath(copy.filename());
    std::string old;
    finished = name.compare(name.size() - 4 - 16, 16, HexDigits(HashBytes(contents))) == 0 ||
               (ReadWhole(copy, old) && old == contents);
    return Utf8FromPath(copy);
}

std::string InterruptedRewriteMessage(const std::string& copy) {
    return "an earlier save was cut short while it rewrote this file in place, so the file may be damaged; "
           "its old contents are kept in " +
           copy + ": put that copy back over the file, or delete the copy to keep the file as it is";
}
