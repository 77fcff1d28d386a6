#include "stagefile/file_identity.h"

#include <fstream>
#include <vector>

#include "base/file_bytes.h"
#include "base/system_names.h"

std::uint64_t HashBytes(std::string_view bytes, std::uint64_t hash) {
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

DiskStamp ReadDiskStamp(const std::string& path) {
    DiskStamp stamp;
    FileStamp file;
    if (!StampFile(path, file)) return stamp;
    stamp.size = file.size;
    stamp.modified = file.modified;
    stamp.exists = true;
    return stamp;
}

FileIdentity ReadFileIdentity(const std::string& path) {
    FileIdentity identity;
    identity.stamp = ReadDiskStamp(path);
    if (!identity.stamp.exists) return identity;
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return FileIdentity{};
    std::vector<char> buffer(1 << 16);
    std::uint64_t hash = kFileHashStart;
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
        hash = HashBytes(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())), hash);
    if (in.bad()) return FileIdentity{};
    identity.hash = hash;
    identity.known = true;
    return identity;
}

FileChange CompareFileIdentity(const std::string& path, FileIdentity& identity) {
    if (!identity.known) return FileChange::Same;
    const DiskStamp stamp = ReadDiskStamp(path);
    if (!stamp.exists) return FileChange::Missing;
    if (stamp == identity.stamp) return FileChange::Same;
    const FileIdentity now = ReadFileIdentity(path);
    if (!now.known) return FileChange::Missing;
    if (now.hash != identity.hash) return FileChange::Changed;
    identity.stamp = now.stamp;
    return FileChange::Same;
}

FileChange CFileWatch::Check(const std::string& path, FileIdentity& identity) {
    if (!identity.known) return FileChange::Same;
    const DiskStamp stamp = ReadDiskStamp(path);
    if (stamp == identity.stamp) {
        reported_ = DiskStamp{};
        return FileChange::Same;
    }
    // A missing file is no conflict: a save makes it again.
    if (!stamp.exists) return FileChange::Missing;
    if (stamp == reported_) return FileChange::Changed;
    const FileChange change = CompareFileIdentity(path, identity);
    reported_ = change == FileChange::Changed ? stamp : DiskStamp{};
    return change;
}

bool CFileWatch::Poll(const std::string& path, FileIdentity& identity, std::uint32_t now) {
    if (started_ && now - last_ < kInterval) return false;
    started_ = true;
    last_ = now;
    const DiskStamp before = reported_;
    return Check(path, identity) == FileChange::Changed && reported_ != before;
}
