#include "resource/texture_cache.h"

#include <cstdio>

#ifndef _WIN32
#include "d3d/texture_loader.h"
#endif

namespace {

// Creates the texture, or says why it cannot be had.
IDirect3DTexture9* CreateTexture(IDirect3DDevice9* device, const std::string& fileName, bool exists,
                                 std::string& reason) {
    IDirect3DTexture9* texture = nullptr;
    if (!device) return reason = "there is no graphics device", nullptr;
#ifdef _WIN32
    // D3DX gives only a code: name the common case and the code otherwise.
    const HRESULT hr = D3DXCreateTextureFromFileA(device, fileName.c_str(), &texture);
    if (!texture) {
        char code[64];
        std::snprintf(code, sizeof code, "D3DX cannot load it (0x%08lX)", static_cast<unsigned long>(hr));
        reason = exists ? code : "cannot open the file: it does not exist";
    }
#else
    (void)exists;
    LoadTextureFromFile(device, fileName.c_str(), &texture, &reason);
#endif
    return texture;
}

}  // namespace

CTextureCache::~CTextureCache() { Uninit(); }

IDirect3DTexture9* CTextureCache::GetTexture(const std::string& fileName) {
    auto it = textures_.find(fileName);
    if (it != textures_.end()) return it->second;
    // A file that failed is read again only when it is not what it was then.
    Failure now{};
    now.exists = StampInputFile(fileName, now.stamp);
    auto failed = failed_.find(fileName);
    if (failed != failed_.end() && failed->second.exists == now.exists && (!now.exists || failed->second.stamp == now.stamp))
        return nullptr;
    std::string reason;
    IDirect3DTexture9* texture = CreateTexture(device_, fileName, now.exists, reason);
    if (!texture) {
        failed_[fileName] = now;
        if (device_ && reported_.insert(fileName).second)
            problems_.push_back(fileName + ": the texture cannot be loaded (" + reason + "); drawn without it");
        return nullptr;
    }
    if (failed_.erase(fileName)) ++revision_;
    textures_.emplace(fileName, texture);
    return texture;
}

Result<> CTextureCache::Reload(const std::string& fileName) {
    auto it = textures_.find(fileName);
    if (it == textures_.end()) return {};
    std::string reason;
    IDirect3DTexture9* texture = CreateTexture(device_, fileName, true, reason);
    if (!texture) return ::Failure(fileName, "the texture cannot be reloaded (" + reason + "); the old one is kept");
    SafeRelease(it->second);
    it->second = texture;
    ++revision_;
    return {};
}

std::vector<std::string> CTextureCache::FileNames() const {
    std::vector<std::string> names;
    for (const auto& [name, texture] : textures_) names.push_back(name);
    for (const auto& [name, failure] : failed_) names.push_back(name);
    return names;
}

void CTextureCache::Uninit() {
    for (auto& [name, texture] : textures_) SafeRelease(texture);
    textures_.clear();
    failed_.clear();
}

std::vector<std::string> CTextureCache::TakeProblems() {
    std::vector<std::string> taken;
    taken.swap(problems_);
    return taken;
}
