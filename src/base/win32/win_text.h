// Text between the editor and Windows: the editor's strings are UTF-8, Windows' wide calls take UTF-16,
// and a failure is said in the system's own words.
#pragma once

#include <windows.h>

#include <string>

// UTF-16 of a UTF-8 text; bytes that are not UTF-8 are taken one by one.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// Windows' text for an error code (GetLastError, HRESULT), without the trailing line break.
std::string SystemErrorText(DWORD code);
