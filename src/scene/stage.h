// The stage: every placed object, grouped by tag, with the clipboard, the selection and the texture cache.
#pragma once

#include <memory>
#include <set>
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
    // The editor makes its selected tag the current one every frame: picking searches that group, and
    // the selection is highlighted only there.
    void SetCurrentTag(const std::string& tag) { currentTag_ = tag; }

    // Draws the tag's group; the selected object is highlighted when the tag is the current one.
    void Draw(const std::string& tag);
    // Draws every group that is not hidden, in tag order.
    void DrawVisible();
    // While the right button is held, selects the object of the current tag's group nearest under the
    // cursor (its mesh's triangles, or its box when it has no mesh). A hidden or locked group is not picked.
    void Picking();

    // View state of the tag groups: hidden groups are neither drawn nor picked, locked ones are drawn but
    // not picked. Never saved, and not part of the stage's edits.
    void SetTagVisible(const std::string& tag, bool visible);
    bool IsTagVisible(const std::string& tag) const { return hiddenTags_.count(tag) == 0; }
    void SetTagLocked(const std::string& tag, bool locked);
    bool IsTagLocked(const std::string& tag) const { return lockedTags_.count(tag) != 0; }

    // Writes every group to "Data/FILE/stage.txt" (replacing the old file only when the write succeeded).
    FileResult SaveText();
    // Reads "Data/FILE/" + fileName, creates its objects, then copies all groups into *editorGroups.
    // On any error nothing changes.
    FileResult LoadText(StageGroups* editorGroups, const std::string& fileName);
    // The same two for a file anywhere (vellumar-tool). `editorGroups` may be null.
    FileResult SaveTextFile(const std::string& path);
    FileResult LoadTextFile(StageGroups* editorGroups, const std::string& path);
    // Replaces every group with the file's, clears the selection and shows and unlocks every group
    // ("Open..."). On any error nothing changes.
    FileResult OpenTextFile(StageGroups* editorGroups, const std::string& path);

private:
    FileResult ReadTextFile(StageGroups* editorGroups, const std::string& path, bool replace);
    // CreateObject's work on a template the caller gives up (the loader's records are moved, not copied).
    void AddObject(ObjectPart&& part, const std::string& tag, const std::string& modelLabel);

    StageGroups groups_;
    std::string currentTag_;
    ObjectPart clipboard_{};
    CTextureCache* textureCache_ = nullptr;
    int selectedIndex_ = 0;
    bool selectionValid_ = false;
    std::set<std::string> hiddenTags_;
    std::set<std::string> lockedTags_;
};
