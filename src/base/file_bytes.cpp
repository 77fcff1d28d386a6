#include "base/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/system_names.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// Walks the name one component at a time; a component that does not exist as written is looked for in
// its folder ignoring case.
bool MatchIgnoringCase(const fs::path& name, fs::path& found, InputFileError& error) {
    fs::path current = name.root_path();
    for (const fs::path& component : name.relative_path()) {
        const std::string text = Utf8FromPath(component);
        if (text.empty() || text == "." || text == ".." || Exists(current / component)) {
            current /= component;
            continue;
        }
        const std::string wanted = Lower(text);
        std::vector<std::string> matches;
        std::error_code ec;
        for (fs::directory_iterator it(current.empty() ? fs::path(".") : current, ec), end; !ec && it != end;
             it.increment(ec)) {
            std::string entry = Utf8FromPath(it->path().filename());
            if (Lower(entry) == wanted) matches.push_back(std::move(entry));
        }
        if (matches.empty()) {
            error = {true, std::strerror(ENOENT)};
            return false;
        }
        if (matches.size() > 1) {
            std::sort(matches.begin(), matches.end());
            std::string names;
            for (const std::string& match : matches)
                names += (names.empty() ? "" : ", ") + Utf8FromPath(current / PathFromUtf8(match));
            error = {false, "several files match the name ignoring case: " + names};
            return false;
        }
        current /= PathFromUtf8(matches.front());
    }
    found = current;
    return true;
}

const char* KindOf(fs::file_type type) {
    switch (type) {
        case fs::file_type::directory: return " (a directory)";
        case fs::file_type::fifo: return " (a pipe)";
        case fs::file_type::socket: return " (a socket)";
        case fs::file_type::block:
        case fs::file_type::character: return " (a device)";
        default: return "";
    }
}

// Resolves the name and checks that it is a regular file within the limit.
bool Check(const std::string& name, std::uintmax_t limit, std::string& path, std::uintmax_t& size,
           InputFileError& error) {
    if (!ResolveInputPath(name, path, error)) return false;
    std::error_code ec;
    fs::file_status status = fs::status(PathFromUtf8(path), ec);
    if (ec) {
        error = {status.type() == fs::file_type::not_found, ec.message()};
        return false;
    }
    if (status.type() != fs::file_type::regular) {
        error = {false, std::string("not a regular file") + KindOf(status.type())};
        return false;
    }
    size = fs::file_size(PathFromUtf8(path), ec);
    if (ec) {
        error = {false, ec.message()};
        return false;
    }
    if (size > limit) {
        error = {false, "the file is larger than " + std::to_string(limit) + " bytes"};
        return false;
    }
    return true;
}

}  // namespace

bool ResolveInputPath(const std::string& name, std::string& path, InputFileError& error) {
    if (name.empty()) {
        error = {true, "no file name"};
        return false;
    }
    if (Exists(PathFromUtf8(name))) {
        path = name;
        return true;
    }
    std::string slashed = name;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (slashed != name && Exists(PathFromUtf8(slashed))) {
        path = slashed;
        return true;
    }
    fs::path found;
    if (!MatchIgnoringCase(PathFromUtf8(slashed), found, error)) return false;
    path = Utf8FromPath(found);
    return true;
}

bool OpenInputFile(const std::string& name, std::uintmax_t limit, std::ifstream& in, InputFileError& error) {
    std::string path;
    std::uintmax_t size = 0;
    if (!Check(name, limit, path, size, error)) return false;
    errno = 0;
    in.open(PathFromUtf8(path), std::ios::binary);
    if (!in) {
        error = {errno == ENOENT, errno ? std::strerror(errno) : "cannot open the file"};
        return false;
    }
    return true;
}

bool ReadFileBytes(const std::string& name, std::uintmax_t limit, std::string& bytes, InputFileError& error) {
    std::ifstream in;
    if (!OpenInputFile(name, limit, in, error)) return false;
    std::string data;
    char chunk[1 << 16];
    // Read in pieces, so a file that grows after the size check still stops at the limit.
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        if (data.size() + static_cast<std::uintmax_t>(in.gcount()) > limit) {
            error = {false, "the file is larger than " + std::to_string(limit) + " bytes"};
            return false;
        }
        data.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        error = {false, "read error"};
        return false;
    }
    bytes = std::move(data);
    return true;
}

Result<std::string> ReadFileBytes(const char* fileName, std::uintmax_t limit) {
    const std::string name = fileName ? fileName : "";
    std::string bytes;
    InputFileError problem;
    if (ReadFileBytes(name, limit, bytes, problem)) return bytes;
    return Failure(name, problem.missing ? "cannot open file (" + problem.reason + ")" : problem.reason);
}

bool StampInputFile(const std::string& name, FileStamp& stamp) {
    std::string path;
    InputFileError error;
    return ResolveInputPath(name, path, error) && StampFile(path, stamp);
}

bool StampFile(const std::string& path, FileStamp& stamp) {
    std::error_code ec;
    const fs::path file = PathFromUtf8(path);
    if (!fs::is_regular_file(file, ec)) return false;
    stamp.size = fs::file_size(file, ec);
    if (ec) return false;
    auto time = fs::last_write_time(file, ec);
    if (ec) return false;
    stamp.modified = static_cast<std::int64_t>(time.time_since_epoch().count());
    return true;
}
