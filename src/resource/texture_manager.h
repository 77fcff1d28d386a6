// The texture catalog: image paths by label, read from the texture catalog file.
#pragma once

#include <map>
#include <string>
#include <vector>

class CTextureManager {
public:
    // Reads the catalog file; the first entry with a label wins. Entries that do not follow the layout
    // are reported (GetProblems) and left out.
    void Load(const std::string& path = "Data/FILE/texture.json");
    void Uninit() { textures_.clear(); }
    const std::map<std::string, std::string>& GetTextureMap() const { return textures_; }

    // What was wrong with the catalog file, one line per problem, in the order found.
    const std::vector<std::string>& GetProblems() const { return problems_; }

private:
    std::map<std::string, std::string> textures_;
    std::vector<std::string> problems_;
};
