// The last stage files the user opened or saved, newest first, kept in a small settings file in the
// user's configuration folder so that the next run offers them again under "File" > "Recent".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "stagefile/file_result.h"

class CRecentFiles {
public:
    static constexpr std::size_t kLimit = 8;

    // $XDG_CONFIG_HOME/vellumar/settings.json, else $HOME/.config/vellumar/settings.json
    // (%APPDATA%\Vellumar\settings.json on Windows); "" when no such folder is known.
    static std::string DefaultSettingsPath();

    // Reads the list from the settings file. A missing file is an empty list. A malformed one is an empty
    // list too; Problem() then names the file, the entry and the reason, and the file is left alone until
    // the list changes.
    void Load(const std::string& settingsPath);
    // Puts the file first (as an absolute path), drops an older entry of it and any beyond the eighth,
    // then writes the settings file (when there is one).
    FileResult Add(const std::string& path);

    const std::vector<std::string>& Files() const { return files_; }
    const std::string& SettingsPath() const { return settingsPath_; }
    const std::string& Problem() const { return problem_; }

private:
    std::string settingsPath_;
    std::vector<std::string> files_;
    std::string problem_;
};
