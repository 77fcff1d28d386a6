// Where the editor's text meets the system's names. The editor keeps every file name as UTF-8; a name
// becomes a std::filesystem::path (and a path a name) only through these, since on Windows a path made
// from a narrow string reads it in the ANSI code page.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
// UTF-16 of the UTF-8 name; bytes that are not UTF-8 are taken one by one, so no name throws.
std::filesystem::path PathFromUtf8(const std::string& name);
std::string Utf8FromPath(const std::filesystem::path& path);
// The value of an environment variable in UTF-8, empty when it is not set.
std::string EnvironmentUtf8(const char* name);
// The program's command line as UTF-8 words, the program's name first (not the ANSI `argv` of main).
std::vector<std::string> CommandLineUtf8();
#else
inline std::filesystem::path PathFromUtf8(const std::string& name) { return std::filesystem::path(name); }
inline std::string Utf8FromPath(const std::filesystem::path& path) { return path.string(); }
inline std::string EnvironmentUtf8(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
#endif
