#include "editor/current_file.h"

#include <filesystem>

std::string CCurrentFile::TextPath() const { return IsChosen() ? path_ : kDefaultText; }

std::string CCurrentFile::JsonPath() const {
    if (!IsChosen()) return kDefaultJson;
    std::filesystem::path path(path_);
    // The export must never replace the stage file it comes from.
    if (path.extension() == ".json") return path_ + ".json";
    return path.replace_extension(".json").string();
}

std::string CCurrentFile::DisplayName() const {
    return std::filesystem::path(TextPath()).filename().string();
}
