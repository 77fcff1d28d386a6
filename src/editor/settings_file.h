// The user's settings file (CRecentFiles::DefaultSettingsPath): one JSON object whose keys belong to
// different parts of the editor. Each part writes its own key and keeps everyone else's.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "stagefile/file_result.h"

// The file's object; an empty object when the file is missing or holds no JSON object.
nlohmann::json ReadSettings(const std::string& path);
// Sets one key in the file (creating the file and its folder when needed), keeping the other keys.
FileResult WriteSetting(const std::string& path, const std::string& key, const nlohmann::json& value);
