// The stage file the editor works on: where "SaveText" and "LoadText" go, and the JSON export beside it.
// Until a file is chosen (by "Open...", "Save As...", "Recent" or the command line) they use
// Data/FILE/stage.txt and Data/FILE/stage.json. Everything that saves, loads or guards the stage asks here.
#pragma once

#include <string>

class CCurrentFile {
public:
    static constexpr const char* kDefaultText = "Data/FILE/stage.txt";
    static constexpr const char* kDefaultJson = "Data/FILE/stage.json";

    bool IsChosen() const { return !path_.empty(); }
    // The chosen file as it was given, or "" before one is chosen.
    const std::string& Chosen() const { return path_; }
    void Choose(const std::string& path) { path_ = path; }

    // The stage text file: the chosen one, else Data/FILE/stage.txt.
    std::string TextPath() const;
    // The JSON export beside the text file: the same name with ".json" in place of its extension (added
    // to it when the text file is itself a .json file); Data/FILE/stage.json before a file is chosen.
    std::string JsonPath() const;
    // The text file's name without its folders, for the main window.
    std::string DisplayName() const;

private:
    std::string path_;
};
