// Opening the files the editor reads (catalogs, the stage text file, meshes, textures, effects and the
// files they include). Names come from files written on Windows, so when the name as given does not
// exist, `\` is taken as a folder separator and then each folder and file name is matched ignoring
// letter case. Only regular files no larger than the caller's limit are opened.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "base/result.h"

// Size limits per kind of input: far above any real asset, far below what would exhaust memory.
constexpr std::uintmax_t kCatalogFileLimit = std::uintmax_t{64} << 20;
constexpr std::uintmax_t kStageFileLimit = std::uintmax_t{1} << 30;
constexpr std::uintmax_t kMeshFileLimit = std::uintmax_t{256} << 20;
constexpr std::uintmax_t kTextureFileLimit = std::uintmax_t{256} << 20;
constexpr std::uintmax_t kEffectFileLimit = std::uintmax_t{16} << 20;

struct InputFileError {
    bool missing = false;  // no file of that name (as opposed to one that exists but cannot be used)
    std::string reason;    // "no such file", "not a regular file (a directory)", ...
};

// The path on disk a file name means, or false with the reason. Several files that match the name
// ignoring case are an error that names them.
bool ResolveInputPath(const std::string& name, std::string& path, InputFileError& error);

// Opens the file for reading in binary mode.
bool OpenInputFile(const std::string& name, std::uintmax_t limit, std::ifstream& in, InputFileError& error);

// True with the file's bytes; false with a short reason.
bool ReadFileBytes(const std::string& name, std::uintmax_t limit, std::string& bytes, InputFileError& error);
// The file's bytes, or an error naming the file with a short reason ("cannot open file (REASON)" when
// there is no file of that name).
Result<std::string> ReadFileBytes(const char* fileName, std::uintmax_t limit = kMeshFileLimit);

// What identifies one version of a file cheaply: its size and modification time.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const FileStamp& o) const { return size == o.size && modified == o.modified; }
};
// False when the name resolves to no regular file.
bool StampInputFile(const std::string& name, FileStamp& stamp);
// The same for the file of exactly this name (no look-up of a Windows name).
bool StampFile(const std::string& path, FileStamp& stamp);
