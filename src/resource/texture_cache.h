// Textures named by mesh materials, created from their files on first request and kept until shut-down.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "d3d/d3dx9.h"
#include "base/file_bytes.h"
#include "base/result.h"

class CTextureCache {
public:
    // Textures are created on `device`; without one every request gives null.
    explicit CTextureCache(IDirect3DDevice9* device = nullptr) : device_(device) {}
    ~CTextureCache();
    CTextureCache(const CTextureCache&) = delete;
    CTextureCache& operator=(const CTextureCache&) = delete;

    // The texture for a material's file name, or null when the file cannot be loaded. A failed file is
    // tried again once it has changed (its size or modification time), or appeared.
    IDirect3DTexture9* GetTexture(const std::string& fileName);
    // Loads a cached texture's file again and puts the new texture in its place; when it cannot be loaded
    // the old one stays and the reason is given. A file not cached (or that failed) is left to the next
    // request, which tries it again because it changed.
    Result<> Reload(const std::string& fileName);
    // Every file requested so far, loaded or failed: what may change on disk.
    std::vector<std::string> FileNames() const;
    // Releases every cached texture.
    void Uninit();
    // The files that could not be loaded since the last call, one line each naming the file and the
    // reason; each file is named once a run, however often it fails.
    std::vector<std::string> TakeProblems();
    // Changes whenever a texture takes the place of an older one, or of one that had failed: whoever
    // keeps a picture drawn with the textures draws it again.
    std::size_t Revision() const { return revision_; }

private:
    // What a failed file was when it failed; `exists` false when there was no file.
    struct Failure {
        bool exists;
        FileStamp stamp;
    };

    IDirect3DDevice9* device_;
    std::unordered_map<std::string, IDirect3DTexture9*> textures_;
    std::unordered_map<std::string, Failure> failed_;
    std::unordered_set<std::string> reported_;
    std::vector<std::string> problems_;
    std::size_t revision_ = 0;
};
