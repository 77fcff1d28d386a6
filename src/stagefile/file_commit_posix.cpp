#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "stagefile/file_commit.h"

bool MoveOver(const std::string& from, const std::string& to, std::string& reason, bool& refused) {
    refused = false;
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        refused = errno == EACCES || errno == EPERM;
        reason = std::strerror(errno);
        return false;
    }
    // The new name lives in the folder: pushing the folder makes the rename itself survive a crash. The
    // file is already in place, so a folder that cannot be pushed does not undo the save.
    std::string folder = std::filesystem::path(to).parent_path().string();
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
    return true;
}
