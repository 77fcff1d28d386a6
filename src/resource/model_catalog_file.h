// The model catalog file read without a device: its entries as the model catalog takes them, the labels
// the catalog holds once loaded, and a mesh's bounds. vellumar-tool knows the catalog through these.
#pragma once

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "d3d/d3dx9.h"

// Walks the model catalog file at `path` in file order. An entry that is not an array of strings is
// reported and skipped; `add(entry)` returns the reason an entry is unusable, reported against it.
void WalkModelCatalog(const std::string& path, std::vector<std::string>& problems,
                      const std::function<std::string(const std::vector<std::string>& entry)>& add);

// True when an entry names a mesh the catalog loads: a label and a path ending in ".x". False with the
// reason for an entry too short or a path without an extension; false without one for other extensions.
bool IsMeshEntry(const std::vector<std::string>& entry, std::string& reason);

// The labels the model catalog holds once it has loaded the file at `path`: the first entry of each
// label whose mesh reads as a .x mesh. Problems are reported as the catalog reports them.
std::set<std::string> ReadModelLabels(const std::string& path, std::vector<std::string>& problems);

// Per axis the largest and the smallest coordinate of `count` positions `stride` bytes apart, each stored
// rounded down; (-10000, 10000) per axis when there are none.
void MeasureBounds(const void* positions, std::size_t count, std::size_t stride, D3DXVECTOR3& max, D3DXVECTOR3& min);
