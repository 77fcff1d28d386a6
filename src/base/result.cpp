#include "base/result.h"

std::string Result<void>::Describe() const {
    std::string text = path;
    if (line > 0) {
        text += ':';
        text += std::to_string(line);
        if (column > 0) {
            text += ':';
            text += std::to_string(column);
        }
    }
    text += ": error: ";
    text += message;
    return text;
}

Result<> Failure(std::string path, int line, std::string message) {
    Result<> failed;
    failed.ok = false;
    failed.path = std::move(path);
    failed.line = line;
    failed.message = std::move(message);
    return failed;
}
