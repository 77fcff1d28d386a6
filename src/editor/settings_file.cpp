#include "editor/settings_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/system_names.h"
#include "stagefile/file_replace.h"

nlohmann::json ReadSettings(const std::string& path) {
    if (path.empty()) return nlohmann::json::object();
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return nlohmann::json::object();
    std::stringstream text;
    text << in.rdbuf();
    nlohmann::json settings = nlohmann::json::parse(text.str(), nullptr, false);
    return settings.is_object() ? settings : nlohmann::json::object();
}

FileResult WriteSetting(const std::string& path, const std::string& key, const nlohmann::json& value) {
    if (path.empty()) return FileResult{};
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(path).parent_path(), error);
    nlohmann::json settings = ReadSettings(path);
    settings[key] = value;
    std::string text;
    try {
        text = settings.dump(2) + "\n";
    } catch (const nlohmann::json::exception& e) {
        return Failure(path, e.what());  // a file name that is not UTF-8
    }
    return ReplaceFile(path, [&](std::ostream& out) {
        out << text;
        return FileResult{};
    });
}
