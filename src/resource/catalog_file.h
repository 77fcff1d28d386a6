// Reading the catalog files: the JSON document of one file, the walk over its entries, and the problem
// reports for files and entries that do not follow the catalog layout.
#pragma once

#include <cstddef>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/result.h"

// The JSON document of a catalog file, or the reason there is none: "the catalog file is missing", or
// why a file that exists cannot be used (a directory, too large). A UTF-8 byte-order mark is skipped and
// whatever follows the first complete value is ignored. Throws nlohmann::json::parse_error when the file
// is not well-formed JSON.
Result<nlohmann::json> LoadJsonFile(const std::string& path);

// Problems found while reading one catalog file. Each is kept as one line of text naming the file, the
// entry (index and label when known) and the reason, and printed to `echo` (stderr unless told
// otherwise; none when null) when it is found.
class CatalogProblems {
public:
    explicit CatalogProblems(std::vector<std::string>& sink, std::ostream* echo = &std::cerr) : sink_(sink), echo_(echo) {}

    void File(const std::string& path, const std::string& reason);
    void Entry(const std::string& path, std::size_t index, const std::string& label, const std::string& reason);

private:
    void Add(std::string text);
    std::vector<std::string>& sink_;
    std::ostream* echo_;
};

// Walks the array under `key` of the catalog file at `path`, calling `visit(entry, index)` per entry in
// order. A file that is missing or does not parse, a top-level value that is not an object, and one
// without an array under `key` are reported and give no entries. A JSON type or range error thrown by `visit` is reported against its entry and
// the walk goes on with the next one.
void WalkCatalog(const std::string& path, const char* key, CatalogProblems& problems,
                 const std::function<void(const nlohmann::json& entry, std::size_t index)>& visit);

// The label of an entry for problem reports: element 0 of an array entry or member "Label" of an object
// entry, when it is a string; empty otherwise.
std::string EntryLabel(const nlohmann::json& entry);
