#include "base/system_names.h"

#include "base/win32/win_text.h"

#include <shellapi.h>  // after windows.h, which it needs

std::filesystem::path PathFromUtf8(const std::string& name) { return std::filesystem::path(Utf8ToWide(name)); }

std::string Utf8FromPath(const std::filesystem::path& path) { return WideToUtf8(path.native()); }

std::string EnvironmentUtf8(const char* name) {
    const std::wstring key = Utf8ToWide(name);
    DWORD size = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    // The value may change between the two calls; a longer one is asked for again.
    while (size > 0) {
        std::wstring value(size, L'\0');
        DWORD length = GetEnvironmentVariableW(key.c_str(), value.data(), size);
        if (length < size) {
            value.resize(length);
            return WideToUtf8(value);
        }
        size = length;
    }
    return "";
}

std::vector<std::string> CommandLineUtf8() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 0; words && i < count; ++i) result.push_back(WideToUtf8(words[i]));
    if (words) LocalFree(words);
    return result;
}
