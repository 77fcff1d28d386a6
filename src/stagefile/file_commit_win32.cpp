// Windows pushes a file's data through a handle that may write, and replaces a file in one step with
// MoveFileExW; a rename over an existing file is not what the C library's rename does there.
#include "base/win32/win_text.h"
#include "stagefile/file_commit.h"

bool SyncFile(const std::string& path, std::string& reason) {
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = SystemErrorText(GetLastError());
        return false;
    }
    bool ok = FlushFileBuffers(file) != 0;
    if (!ok) reason = SystemErrorText(GetLastError());
    CloseHandle(file);
    return ok;
}

bool MoveOver(const std::string& from, const std::string& to, std::string& reason, bool& refused) {
    refused = false;
    if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD error = GetLastError();
    refused = error == ERROR_ACCESS_DENIED;
    reason = SystemErrorText(error);
    return false;
}
