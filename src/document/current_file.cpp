#include "document/current_file.h"

#include <filesystem>

#include "base/system_names.h"

std::string CCurrentFile::TextPath() const { return IsChosen() ? path_ : kDefaultText; }

std::string CCurrentFile::JsonPath() const {
    if (!IsChosen()) return kDefaultJson;
    std::filesystem::path path = PathFromUtf8(path_);
    // The export must never replace the stage file it comes from.
    if (path.extension() == ".json") return path_ + ".json";
    return Utf8FromPath(path.replace_extension(".json"));
}

std::string CCurrentFile::DisplayName() const {
    return Utf8FromPath(PathFromUtf8(TextPath()).filename());
}
