// Windows replaces a file in one step with MoveFileExW; a rename over an existing file is not what the C
// library's rename does there.
#include "base/win32/win_text.h"
#include "stagefile/file_commit.h"

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
