// The model catalog file read without a device: its entries as the model catalog takes them, the labels
// the catalog holds once loaded, and a mesh's bounds. vellumar-tool knows the catalog through these.
#pragma once

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <iostream>

#include "base/result.h"
#include "d3d/d3dx9.h"

struct XMeshFile;

// Walks the model catalog file at `path` in file order. An entry that is not an array of strings is
// reported and skipped; when `add(entry)` fails, its reason is reported against the entry. Problems are
// also printed to `echo` when it is not null.
void WalkModelCatalog(const std::string& path, std::vector<std::string>& problems,
                      const std::function<Result<>(const std::vector<std::string>& entry)>& add,
                      std::ostream* echo = &std::cerr);

// Whether an entry names a mesh the catalog loads (a label and a path ending in ".x"; other extensions
// are passed over), or the reason the entry is unusable: too short, or a path without an extension.
Result<bool> IsMeshEntry(const std::vector<std::string>& entry);

// The labels the model catalog holds once it has loaded the file at `path`: the first entry of each
// label whose mesh reads as a .x mesh. Problems are reported as the catalog reports them. `read`, when
// given, sees each mesh read (its file name as the entry gives it, and the file).
std::set<std::string> ReadModelLabels(
    const std::string& path, std::vector<std::string>& problems,
    const std::function<void(const std::string& meshPath, const XMeshFile& mesh)>& read = {},
    std::ostream* echo = &std::cerr);

// Per axis the largest and the smallest coordinate of `count` positions `stride` bytes apart, each stored
// rounded down; (-10000, 10000) per axis when there are none.
void MeasureBounds(const void* positions, std::size_t count, std::size_t stride, D3DXVECTOR3& max, D3DXVECTOR3& min);
