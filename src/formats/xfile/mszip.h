// The MSZIP compression of .x files ("tzip", "bzip"): after the 16-byte header, the total size, then
// blocks of (plain size, packed size + 2, "CK", raw deflate data), each block using the previous
// block's output as its dictionary.
#pragma once

#include <cstddef>
#include <string>

#include "base/result.h"

// Inflates the blocks that follow the header (`data` is the whole file): the plain body (the bytes that
// follow the header in an uncompressed file), or the reason it cannot be had. The body never grows beyond
// `limit` bytes.
Result<std::string> InflateMsZip(const std::string& data, std::size_t limit);
