#include "resource/texture_manager.h"

#include "resource/catalog_file.h"

void CTextureManager::Load(const std::string& path) {
    CatalogProblems problems(problems_);
    WalkCatalog(path, "TEXTURE", problems, [&](const nlohmann::json& entry, std::size_t index) {
        // Only elements 0 and 1 are read; anything after them is not looked at.
        if (!entry.is_array() || entry.size() < 2 || !entry[0].is_string() || !entry[1].is_string())
            return problems.Entry(path, index, EntryLabel(entry), "expected a label and an image path (two strings)");
        textures_.emplace(entry[0].get<std::string>(), entry[1].get<std::string>());
    });
}
