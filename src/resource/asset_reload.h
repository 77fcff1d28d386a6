// Keeps the catalogs and the assets they name live while the editor runs: the three catalog files, every
// mesh file, every texture file drawn so far, and every effect file with its includes are watched (see
// CFilePoller: a slice of cheap stat calls per update). A file that changed and has been quiet is loaded
// again in place: models keep their handles, so placed objects show the new mesh at once; a texture is
// swapped in the cache; an effect is compiled again. A catalog read again adds its new entries. A file that
// no longer loads leaves the old asset in use, and the reason is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resource/file_poller.h"

class CModelManager;
class CTextureManager;
class CShaderManager;
class CTextureCache;

// What the watcher reloads into; any may be null. They stay their owner's.
struct ReloadParts {
    CModelManager* models = nullptr;
    CTextureManager* textures = nullptr;
    CShaderManager* shaders = nullptr;
    CTextureCache* cache = nullptr;
};

// What one update did.
struct ReloadOutcome {
    std::vector<std::string> reloaded;  // the files loaded again
    bool modelsChanged = false;         // a mesh reloaded or a model added: bounds must be measured again
    std::vector<std::string> problems;  // why a file could not be loaded; its old asset stays
};

class CAssetReload {
public:
    // Files stat'ed per update: a frame's share stays a few microseconds; at 60 frames a second a catalog
    // of a thousand files is gone round in about a second.
    static constexpr std::size_t kSlice = 16;

    // Another set of parts makes the list of watched files again.
    void Connect(const ReloadParts& parts);
    // Stats the next `slice` files (and those waiting to be quiet) and reloads what is ready.
    ReloadOutcome Update(std::uint32_t now, std::size_t slice = kSlice);
    // True while a changed file waits to be quiet: updates should keep coming.
    bool IsWaiting() const { return watch_.IsWaiting(); }
    std::size_t Watched() const { return watch_.Size(); }

private:
    // Makes the list of watched files from what the parts hold now.
    void Gather();
    void Reload(const std::string& path, ReloadOutcome& outcome);

    ReloadParts parts_;
    CFilePoller watch_;
    bool gathered_ = false;
};
