// Saving a file without ever destroying the last good one: the new bytes go to a temporary file beside
// the target, which is renamed over the target only when everything was written.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "stagefile/file_result.h"

// Replaces the file at `path` with what `write` puts into the stream. When `write` fails (its result is
// not ok), or the file cannot be created, written or renamed, the old file is left as it was, the
// temporary file is removed and the result says why.
FileResult ReplaceFile(const std::string& path, const std::function<FileResult(std::ostream&)>& write);
