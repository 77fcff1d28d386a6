#include "editor/recent_files.h"

#include "editor/settings_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#include "base/system_names.h"

namespace {
const char* const kKey = "Recent";
}  // namespace

std::string CRecentFiles::DefaultSettingsPath() {
    std::filesystem::path folder;
#ifdef _WIN32
    const std::string appData = EnvironmentUtf8("APPDATA");
    if (appData.empty()) return "";
    folder = PathFromUtf8(appData) / "Vellumar";
#else
    const std::string config = EnvironmentUtf8("XDG_CONFIG_HOME");
    const std::string home = EnvironmentUtf8("HOME");
    // A relative XDG_CONFIG_HOME is to be ignored.
    if (!config.empty() && std::filesystem::path(config).is_absolute())
        folder = std::filesystem::path(config) / "vellumar";
    else if (!home.empty())
        folder = std::filesystem::path(home) / ".config" / "vellumar";
    else
        return "";
#endif
    return Utf8FromPath(folder / "settings.json");
}

void CRecentFiles::Load(const std::string& settingsPath) {
    settingsPath_ = settingsPath;
    files_.clear();
    problem_.clear();
    if (settingsPath.empty()) return;
    std::ifstream in(PathFromUtf8(settingsPath), std::ios::binary);
    if (!in) return;  // no settings yet
    std::stringstream text;
    text << in.rdbuf();
    const nlohmann::json settings = nlohmann::json::parse(text.str(), nullptr, false);
    if (settings.is_discarded() || !settings.is_object()) {
        problem_ = settingsPath + ": error: not a JSON object; the recent files are not listed";
        return;
    }
    auto list = settings.find(kKey);
    if (list == settings.end()) return;
    if (!list->is_array()) {
        problem_ = settingsPath + ": error: \"Recent\" is not a list; the recent files are not listed";
        return;
    }
    std::vector<std::string> files;
    for (std::size_t i = 0; i < list->size(); ++i) {
        const nlohmann::json& entry = (*list)[i];
        if (!entry.is_string() || entry.get_ref<const std::string&>().empty()) {
            problem_ = settingsPath + ": entry " + std::to_string(i + 1) +
                       " of \"Recent\": error: not a file name; the recent files are not listed";
            return;
        }
        if (files.size() < kLimit) files.push_back(entry.get<std::string>());
    }
    files_ = std::move(files);
}

FileResult CRecentFiles::Add(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(path), error);
    const std::string entry = error ? path : Utf8FromPath(absolute.lexically_normal());
    files_.erase(std::remove(files_.begin(), files_.end(), entry), files_.end());
    files_.insert(files_.begin(), entry);
    if (files_.size() > kLimit) files_.resize(kLimit);
    if (settingsPath_.empty()) return FileResult{};
    FileResult result = WriteSetting(settingsPath_, kKey, files_);
    if (result.ok) problem_.clear();
    return result;
}
