// The stage file the editor works on: where "SaveText" and "LoadText" go, and the JSON export beside it.
// Until a file is chosen (by "Open...", "Save As...", "Recent" or the command line) they use
// Data/FILE/stage.txt and Data/FILE/stage.json. Everything that saves, loads or guards the stage asks here.
// It also remembers the file's identity on disk.
#pragma once

#include <string>

#include "stagefile/file_identity.h"

class CCurrentFile {
public:
    static constexpr const char* kDefaultText = "Data/FILE/stage.txt";
    static constexpr const char* kDefaultJson = "Data/FILE/stage.json";

    bool IsChosen() const { return !path_.empty(); }
    // The chosen file as it was given, or "" before one is chosen.
    const std::string& Chosen() const { return path_; }
    // A new file starts with no identity: nothing of it has been read or written yet.
    void Choose(const std::string& path) {
        path_ = path;
        identity_ = FileIdentity{};
    }

    // The text file as it was last read or written, to notice another program's change to it.
    FileIdentity& Identity() { return identity_; }
    const FileIdentity& Identity() const { return identity_; }
    void SetIdentity(const FileIdentity& identity) { identity_ = identity; }

    // The stage text file: the chosen one, else Data/FILE/stage.txt.
    std::string TextPath() const;
    // The JSON export beside the text file: the same name with ".json" in place of its extension (added
    // to it when the text file is itself a .json file); Data/FILE/stage.json before a file is chosen.
    std::string JsonPath() const;
    // The text file's name without its folders, for the main window.
    std::string DisplayName() const;

private:
    std::string path_;
    FileIdentity identity_;
};
