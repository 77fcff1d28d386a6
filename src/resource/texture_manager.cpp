#include "resource/texture_manager.h"

#include "resource/catalog_file.h"

void WalkTextureCatalog(const std::string& path, std::vector<std::string>& problems,
                        const std::function<void(const std::string& label, const std::string& imagePath)>& add,
                        std::ostream* echo) {
    CatalogProblems report(problems, echo);
    WalkCatalog(path, "TEXTURE", report, [&](const nlohmann::json& entry, std::size_t index) {
        // Only elements 0 and 1 are read; anything after them is not looked at.
        if (!entry.is_array() || entry.size() < 2 || !entry[0].is_string() || !entry[1].is_string())
            return report.Entry(path, index, EntryLabel(entry), "expected a label and an image path (two strings)");
        add(entry[0].get<std::string>(), entry[1].get<std::string>());
    });
}

void CTextureManager::Load(const std::string& path) {
    path_ = path;
    WalkTextureCatalog(path, problems_, [&](const std::string& label, const std::string& imagePath) {
        textures_.emplace(label, imagePath);
    });
}

std::vector<std::string> CTextureManager::Reload() {
    std::vector<std::string> problems;
    if (path_.empty()) return problems;
    std::map<std::string, std::string> read;
    WalkTextureCatalog(path_, problems, [&](const std::string& label, const std::string& imagePath) {
        read.emplace(label, imagePath);
    });
    textures_ = std::move(read);
    return problems;
}
