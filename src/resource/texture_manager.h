// The texture catalog: image paths by label, read from the texture catalog file.
#pragma once

#include <map>
#include <string>

class CTextureManager {
public:
    void Load(const std::string& path = "Data/FILE/texture.json");
    void Uninit() { textures_.clear(); }
    const std::map<std::string, std::string>& GetTextureMap() const { return textures_; }

private:
    std::map<std::string, std::string> textures_;
};
