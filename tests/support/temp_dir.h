// A fresh temporary folder for one test, removed afterwards; optionally the working directory meanwhile.
#pragma once

#include <filesystem>
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes a file below the folder (creating folders on the way) and returns its path.
    std::filesystem::path Write(const std::string& relative, const std::string& content) const;
    static std::string Read(const std::filesystem::path& file);

private:
    std::filesystem::path path_;
};

// Changes the working directory for the life of the object.
class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::filesystem::path& dir);
    ~ScopedWorkingDir();

private:
    std::filesystem::path previous_;
};

// The repository root (where Data/ lives).
std::filesystem::path SourceDir();
