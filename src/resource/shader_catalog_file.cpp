#include "resource/shader_catalog_file.h"

#include "resource/catalog_file.h"

Result<ShaderEntry> ReadShaderEntry(const nlohmann::json& entry) {
    if (!entry.is_object()) return Failure("expected an object with \"Label\" and \"Path\"");
    for (const char* member : {"Label", "Path"}) {
        auto it = entry.find(member);
        if (it == entry.end() || !it->is_string())
            return Failure(std::string("\"") + member + "\" is missing or not a string");
    }
    ShaderEntry read;
    read.label = entry.at("Label").get<std::string>();
    read.path = entry.at("Path").get<std::string>();
    for (const char* prefix : {"Technique", "Parameter"}) {
        std::vector<std::string>& names = *prefix == 'T' ? read.techniques : read.parameters;
        auto it = entry.find(prefix);
        if (it == entry.end() || it->is_null()) continue;
        if (!it->is_object()) return Failure(std::string("\"") + prefix + "\" is not an object");
        // The names are fetched by index, so their order inside the object does not matter.
        for (std::size_t i = 0; i < it->size(); ++i) {
            const std::string key = prefix + std::to_string(i);
            auto name = it->find(key);
            if (name == it->end() || !name->is_string())
                return Failure(std::string("\"") + prefix + "\" has no string member \"" + key + "\"");
            names.push_back(name->get<std::string>());
        }
    }
    return read;
}

void WalkShaderCatalog(const std::string& path, std::vector<std::string>& problems,
                       const std::function<Result<>(const nlohmann::json& entry, const ShaderEntry& read)>& visit,
                       std::ostream* echo) {
    CatalogProblems report(problems, echo);
    WalkCatalog(path, "SHADER", report, [&](const nlohmann::json& entry, std::size_t index) {
        const Result<ShaderEntry> read = ReadShaderEntry(entry);
        const Result<> visited = read.ok ? visit(entry, read.value) : Result<>(read);
        if (!visited.ok) report.Entry(path, index, EntryLabel(entry), visited.message);
    });
}
