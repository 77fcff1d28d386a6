#include "platform/win32/win32_file_dialog.h"

#include "platform/win32/win32_platform.h"  // windows.h before the dialog's header

#include <commdlg.h>
#include <mmsystem.h>

#include <algorithm>
#include <vector>

namespace {

// Windows' own form of a name the editor gave: backslashes, and absolute, since the dialog does not
// start from the working directory.
std::wstring NativePath(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.empty()) return wide;
    DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return wide;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    full.resize(length);
    return full;
}

// "NAME\0*.EXT\0All files (*.*)\0*.*\0\0", the filter as the dialog reads it.
std::wstring Filter(const FileDialogRequest& request) {
    std::wstring filter;
    if (!request.extension.empty()) {
        filter += Utf8ToWide(request.filterName.empty() ? "*" + request.extension : request.filterName);
        filter += L'\0';
        filter += L"*" + Utf8ToWide(request.extension);
        filter += L'\0';
    }
    filter += L"All files (*.*)";
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    return filter;
}

}  // namespace

void CWin32FileDialog::Open(const FileDialogRequest& request) {
    answered_ = false;
    const std::wstring title = Utf8ToWide(request.title);
    const std::wstring filter = Filter(request);
    std::wstring extension = Utf8ToWide(request.extension);
    if (!extension.empty() && extension.front() == L'.') extension.erase(0, 1);

    std::vector<wchar_t> name(32768, L'\0');  // the longest name Windows allows
    std::wstring folder;
    const std::wstring initial = NativePath(request.initialPath);
    DWORD attributes = initial.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(initial.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        folder = initial;
    else if (!initial.empty() && initial.size() < name.size())
        std::copy(initial.begin(), initial.end(), name.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = platform_.GetWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The working directory stays where the program's data is found.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (request.mode == FileDialogRequest::Mode::Open)
        dialog.Flags |= OFN_FILEMUSTEXIST;
    else
        dialog.Flags |= OFN_OVERWRITEPROMPT;

    const DWORD start = timeGetTime();
    BOOL chosen = request.mode == FileDialogRequest::Mode::Open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    platform_.LeaveOutOfClock(timeGetTime() - start);
    if (!chosen) return;  // cancelled (or the dialog could not be shown: CommDlgExtendedError)
    answer_ = WideToUtf8(name.data());
    answered_ = true;
}

bool CWin32FileDialog::Show(std::string* path) {
    if (!answered_) return false;
    answered_ = false;
    if (path) *path = answer_;
    return true;
}
