// The texture catalog: image paths by label, read from the texture catalog file.
#pragma once

#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

// Walks the texture catalog file at `path` in file order, calling `add(label, imagePath)` for each entry
// that follows the layout; the others are reported and skipped. Problems are also printed to `echo` when
// it is not null.
void WalkTextureCatalog(const std::string& path, std::vector<std::string>& problems,
                        const std::function<void(const std::string& label, const std::string& imagePath)>& add,
                        std::ostream* echo = &std::cerr);

class CTextureManager {
public:
    // Reads the catalog file; the first entry with a label wins. Entries that do not follow the layout
    // are reported (GetProblems) and left out.
    void Load(const std::string& path = "Data/FILE/texture.json");
    void Uninit() { textures_.clear(); }
    // Reads the catalog file given to Load again in place of what it held; gives the problems found.
    std::vector<std::string> Reload();
    std::string CatalogPath() const { return path_; }
    const std::map<std::string, std::string>& GetTextureMap() const { return textures_; }

    // What was wrong with the catalog file, one line per problem, in the order found.
    const std::vector<std::string>& GetProblems() const { return problems_; }

private:
    std::map<std::string, std::string> textures_;
    std::vector<std::string> problems_;
    std::string path_;
};
