// The shader catalog file read without a device: each entry checked against the layout, with the
// technique and parameter names it lists. The shader catalog and vellumar-tool know the file through this.
#pragma once

#include <cstddef>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "base/result.h"

struct ShaderEntry {
    std::string label;
    std::string path;
    std::vector<std::string> techniques;  // Technique0, Technique1, ... in index order
    std::vector<std::string> parameters;  // Parameter0, Parameter1, ...
};

// Ok when an entry follows the layout, else the reason: "Label" and "Path" strings, and "Technique" /
// "Parameter" objects (when present) whose members Prefix0..Prefix(n-1) are strings.
Result<ShaderEntry> ReadShaderEntry(const nlohmann::json& entry);

// Walks the shader catalog file at `path` in file order. An entry that does not follow the layout is
// reported and skipped; when `visit(entry, read)` fails, its reason is reported against the entry.
// Problems are also printed to `echo` when it is not null.
void WalkShaderCatalog(const std::string& path, std::vector<std::string>& problems,
                       const std::function<Result<>(const nlohmann::json& entry, const ShaderEntry& read)>& visit,
                       std::ostream* echo = &std::cerr);
