// How work below the Direct3D-shaped seam fails: readers, writers, catalogs and the tool's commands all
// return a Result. A failed one names the file, the line (0 when the error is not about one line) and the
// reason; Describe() is the one text the editor and vellumar-tool show for it. A reader that only sees
// bytes leaves the file empty for the caller that opened it.
#pragma once

#include <string>
#include <utility>

template <class T = void>
struct Result;

// Ok, or an error; no value.
template <>
struct Result<void> {
    bool ok = true;
    std::string path;     // the file read or written
    int line = 0;         // 1-based line of the error, 0 when the error is not about one line
    int column = 0;       // 1-based column within the line, 0 when not known
    std::string message;  // the reason, when !ok

    // "PATH:LINE: error: MESSAGE" (or "PATH: error: MESSAGE" without a line; "PATH:LINE:COLUMN: ..." with
    // a column).
    std::string Describe() const;
};

// A value, or the error why there is none (the value is then left default-made).
template <class T>
struct Result : Result<void> {
    T value{};

    Result() = default;
    Result(T made) : value(std::move(made)) {}
    Result(Result<void> error) : Result<void>(std::move(error)) {}
};

// A failed result.
Result<> Failure(std::string path, int line, std::string message);
inline Result<> Failure(std::string path, std::string message) { return Failure(std::move(path), 0, std::move(message)); }
// A failed result of a reader that only sees bytes: the caller that opened the file names it.
inline Result<> Failure(std::string message) { return Failure({}, 0, std::move(message)); }
