// The stage: every placed object, grouped by tag, with the clipboard, the selection and the texture cache.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "resource/texture_cache.h"
#include "stagefile/file_result.h"
#include "scene/stage_types.h"

class CStage {
public:
    CStage();
    ~CStage();
    CStage(const CStage&) = delete;
    CStage& operator=(const CStage&) = delete;

    void Uninit();

    StageGroups& Groups() { return groups_; }
    std::vector<StageObject> CopyGroup(const std::string& tag) { return groups_[tag]; }
    void CreateObject(const ObjectPart& templ, const std::string& tag, const std::string& modelLabel);
    void DeleteObject(int index, const std::string& tag);
    void AddScale(const std::string& tag, float dx, float dy, float dz);

    ObjectPart GetClipboard() const { return clipboard_; }
    void SetClipboard(const ObjectPart& part) { clipboard_ = part; }
    void Select(int index) {
        selectedIndex_ = index;
        selectionValid_ = true;
    }
    void ClearSelection() { selectionValid_ = false; }
    int GetSelectedIndex() const { return selectedIndex_; }
    bool IsSelectionValid() const { return selectionValid_; }
    const std::string& GetCurrentTag() const { return currentTag_; }

    void Draw(const std::string& tag);
    // Selects the first object of the current tag's group under the cursor while the right button is held.
    void Picking();

    // Writes every group to "Data/FILE/stage.txt" (replacing the old file only when the write succeeded).
    FileResult SaveText();
    // Reads "Data/FILE/" + fileName, creates its objects, then copies all groups into *editorGroups.
    // On any error nothing changes.
    FileResult LoadText(StageGroups* editorGroups, const std::string& fileName);
    // The same two for a file anywhere (vellumar-tool). `editorGroups` may be null.
    FileResult SaveTextFile(const std::string& path);
    FileResult LoadTextFile(StageGroups* editorGroups, const std::string& path);

private:
    // CreateObject's work on a template the caller gives up (the loader's records are moved, not copied).
    void AddObject(ObjectPart&& part, const std::string& tag, const std::string& modelLabel);

    StageGroups groups_;
    std::string currentTag_;
    ObjectPart clipboard_{};
    CTextureCache* textureCache_ = nullptr;
    int selectedIndex_ = 0;
    bool selectionValid_ = false;
};
