// The outcome of a stage file command, as the editor and vellumar-tool report it: the shared result with
// what was read or written.
#pragma once

#include <cstddef>
#include <utility>

#include "base/result.h"

struct FileResult : Result<> {
    std::size_t groups = 0;
    std::size_t objects = 0;
    bool inPlace = false;  // saved by rewriting the file where it stands, not atomically

    FileResult() = default;
    FileResult(Result<> outcome) : Result<>(std::move(outcome)) {}
};
