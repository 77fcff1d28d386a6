#include "resource/catalog_file.h"

#include <fstream>

#include "base/file_bytes.h"

Result<nlohmann::json> LoadJsonFile(const std::string& path) {
    std::ifstream in;
    InputFileError error;
    // A catalog that names nothing leaves every object of its kind without a model, texture or effect:
    // a missing file is said, since nothing else would say it.
    if (!OpenInputFile(path, kCatalogFileLimit, in, error))
        return Failure(path, error.missing ? "the catalog file is missing" : error.reason);
    nlohmann::json document;
    in >> document;
    return document;
}

void CatalogProblems::File(const std::string& path, const std::string& reason) { Add(path + ": " + reason); }

void CatalogProblems::Entry(const std::string& path, std::size_t index, const std::string& label,
                            const std::string& reason) {
    std::string text = path + ": entry " + std::to_string(index);
    if (!label.empty()) text += " (\"" + label + "\")";
    Add(text + ": " + reason);
}

void CatalogProblems::Add(std::string text) {
    if (echo_) *echo_ << text << '\n';
    sink_.push_back(std::move(text));
}

std::string EntryLabel(const nlohmann::json& entry) {
    if (entry.is_array() && !entry.empty() && entry[0].is_string()) return entry[0].get<std::string>();
    if (entry.is_object()) {
        auto it = entry.find("Label");
        if (it != entry.end() && it->is_string()) return it->get<std::string>();
    }
    return {};
}

void WalkCatalog(const std::string& path, const char* key, CatalogProblems& problems,
                 const std::function<void(const nlohmann::json& entry, std::size_t index)>& visit) {
    Result<nlohmann::json> loaded;
    try {
        loaded = LoadJsonFile(path);
    } catch (const nlohmann::json::exception& error) {
        problems.File(path, std::string("not valid JSON: ") + error.what());
        return;
    }
    if (!loaded.ok) return problems.File(path, loaded.message);
    const nlohmann::json& document = loaded.value;
    if (!document.is_object() && !document.is_null()) {
        problems.File(path, "the top-level value is not an object");
        return;
    }
    auto member = document.is_null() ? document.end() : document.find(key);
    if (member == document.end() || member->is_null())
        return problems.File(path, std::string("the catalog lists nothing (no \"") + key + "\" array)");
    if (!member->is_array()) {
        problems.File(path, std::string("\"") + key + "\" is not an array");
        return;
    }
    for (std::size_t i = 0; i < member->size(); ++i) {
        const nlohmann::json& entry = member->at(i);
        try {
            visit(entry, i);
        } catch (const nlohmann::json::exception& error) {
            problems.Entry(path, i, EntryLabel(entry), error.what());
        }
    }
}
