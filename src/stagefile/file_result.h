// The outcome of a stage file command, as the editor and vellumar-tool report it.
#pragma once

#include <cstddef>
#include <string>

struct FileResult {
    bool ok = true;
    std::string path;     // the file read or written
    int line = 0;         // 1-based line of the error, 0 when the error is not about one line
    std::string message;  // the reason, when !ok
    std::size_t groups = 0;
    std::size_t objects = 0;
    bool inPlace = false;  // saved by rewriting the file where it stands, not atomically

    // "PATH:LINE: error: MESSAGE" (or "PATH: error: MESSAGE" without a line).
    std::string Describe() const {
        std::string text = path;
        if (line > 0) {
            text += ':';
            text += std::to_string(line);
        }
        text += ": error: ";
        text += message;
        return text;
    }
};
