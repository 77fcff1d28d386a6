// What the editor knows of a stage file on disk, to notice when another program has changed it: the
// size and modification time (one stat to read again) and a hash of the bytes it last read or wrote (to
// tell a real change from a file that was only touched or copied back).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct DiskStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::int64_t modified = 0;  // ticks of the file system's clock

    bool operator==(const DiskStamp&) const = default;
};

struct FileIdentity {
    bool known = false;  // false until the file has been read or written (nothing to compare with)
    DiskStamp stamp;
    std::uint64_t hash = 0;
};

enum class FileChange { Same, Changed, Missing };

constexpr std::uint64_t kFileHashStart = 14695981039346656037ull;
// FNV-1a over the bytes, continuing from `hash`.
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t hash = kFileHashStart);

// One stat; `exists` is false when the name is not a regular file.
DiskStamp ReadDiskStamp(const std::string& path);
// The stamp and the hash of the whole file; not known when the file cannot be read.
FileIdentity ReadFileIdentity(const std::string& path);
// Compares the file with what was last read or written. The bytes are hashed only when the stamp
// differs; when they hash the same (a touch), `identity` takes the new stamp, so the next comparison is a
// stat again. An unknown identity is always Same.
FileChange CompareFileIdentity(const std::string& path, FileIdentity& identity);

// Watches one file on a clock of milliseconds: at most one stat per interval, a hash only when the stamp
// differs from both the identity's and the last change reported, so one change is hashed and reported once.
class CFileWatch {
public:
    static constexpr std::uint32_t kInterval = 1000;

    // True when the file changed since `identity` was taken and this change has not been reported yet.
    bool Poll(const std::string& path, FileIdentity& identity, std::uint32_t now);
    // Compares now, whatever the clock says (before a save); a change reported before is Changed again
    // without a second hash.
    FileChange Check(const std::string& path, FileIdentity& identity);
    // Forgets the reported change (after the identity was taken again).
    void Reset() { reported_ = DiskStamp{}; }
    // True from a reported change until the file is back as `identity` says or Reset is called.
    bool Changed() const { return reported_.exists; }

private:
    bool started_ = false;
    std::uint32_t last_ = 0;
    DiskStamp reported_;
};
