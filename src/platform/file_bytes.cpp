#include "platform/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

bool ReadExact(const std::string& name, std::string& bytes) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return false;
    bytes = s.str();
    return true;
}

}  // namespace

bool ReadFileBytes(const char* fileName, std::string& bytes, std::string& error) {
    if (!fileName || !*fileName) {
        error = "no file name";
        return false;
    }
    std::string name = fileName;
    errno = 0;
    if (ReadExact(name, bytes)) return true;
    int openError = errno;
    if (name.find('\\') != std::string::npos) {
        std::replace(name.begin(), name.end(), '\\', '/');
        if (ReadExact(name, bytes)) return true;
        openError = errno;
    }
    error = "cannot open file";
    if (openError) error += std::string(" (") + std::strerror(openError) + ")";
    return false;
}
