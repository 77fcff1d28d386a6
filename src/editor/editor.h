// The editing GUI: the main window with the file menu, tag controls, creation panel and object list.
#pragma once

#include <string>
#include <vector>

#include "editor/current_file.h"
#include "scene/stage_types.h"

class CTagControls;
class CCreationPanel;
class CObjectList;
class CFileMenu;
class CTagPanel;
class CEditMenu;
class CEditHistory;
class CUnsavedGuard;
class CFileChangeGuard;
class CAutosave;
class CRecoveryPrompt;
class CGizmo;

class CEditor {
public:
    // Adds the first tag, "TEST", and creates the panels.
    int Init();
    // Releases the panels and empties the tag list and the working copy.
    void Uninit();
    // Begins the GUI frame and builds every editing window; returns the new "Another Window" flag.
    bool Update(bool showMain, bool showAnother);

    bool IsMouseOverWindow() const { return mouseOverWindow; }
    // True while a GUI text field has the keyboard focus: keys then act on that field only, not on the
    // editing, camera, pointer or fill-mode keys.
    bool IsTypingText() const;
    // Escape: closes the topmost popup other than "Unsaved changes" (the file dialog, "File error",
    // "Catalog problems", the recovery popup, "File changed on disk"); false when none of them is open.
    bool DismissPopup();

    // ---- editing operations behind the widgets ----
    // The selected tag (tags is never empty after Init).
    const std::string& SelectedTag() const { return tags[tagIndex]; }
    // Appends a tag name to the list, as it is (empty names and repeats included).
    void AddTag(const std::string& name);
    // Renames the selected tag: its group in the working copy moves to the new name. An empty name, or the
    // tag's own name, changes nothing. Returns true when renamed.
    bool RenameSelectedTag(const std::string& newName);
    // Replaces the group of tags[target], in both copies, with a copy of the working copy's group of
    // tags[source], when the working copy holds the source. Returns why it refused ("" when it copied or
    // had nothing to do): the stage would then hold more objects than a stage file can.
    std::string CopyTagGroup(int source, int target);
    // After a load: appends every tag of the working copy that the list lacks, then selects the last tag.
    void MergeTagsFromGroups();
    // After "Open...": the tag list becomes the working copy's tags in order ("TEST" when it has none), and
    // the first is selected.
    void ReplaceTagsFromGroups();
    // The stage's group of the selected tag becomes a copy of the working copy's group of that tag.
    void MirrorSelectedGroup();
    // The working copy's group of the tag becomes a copy of the stage's.
    void RefreshGroup(const std::string& tag);
    // True while the stage's group of the tag is known to equal the working copy's: the mirroring made
    // them equal this frame and no tag operation has changed the working copy since.
    bool IsMirrored(const std::string& tag) const { return mirrorValid_ && mirroredTag_ == tag; }
    // Something other than the mirroring changed the groups (an undo, a redo).
    void ForgetMirror() { mirrorValid_ = false; }

    CObjectList* GetObjectList() const { return objectList_; }
    CCreationPanel* GetCreationPanel() const { return creationPanel_; }
    CTagControls* GetTagControls() const { return tagControls_; }
    CFileMenu* GetFileMenu() const { return fileMenu_; }
    CTagPanel* GetTagPanel() const { return tagPanel_; }
    // The stage file that "SaveText", "LoadText" and "SaveJson" act on.
    CCurrentFile& CurrentFile() { return currentFile_; }
    const CCurrentFile& CurrentFile() const { return currentFile_; }
    CEditMenu* GetEditMenu() const { return editMenu_; }
    // Every edit of the stage, the tag list and the selection is recorded here (see edit_history.h).
    CEditHistory* GetHistory() const { return history_; }
    // Quitting, opening and loading over unsaved changes ask it first (see unsaved_guard.h).
    CUnsavedGuard* GetUnsavedGuard() const { return unsavedGuard_; }
    // Notices another program's change to the current stage file (see file_change_guard.h).
    CFileChangeGuard* GetFileChangeGuard() const { return fileChangeGuard_; }
    CAutosave* GetAutosave() const { return autosave_; }
    CRecoveryPrompt* GetRecoveryPrompt() const { return recoveryPrompt_; }
    CGizmo* GetGizmo() const { return gizmo_; }
    // What the catalogs reported at start-up, as shown in the "Catalog problems" popup.
    const std::vector<std::string>& CatalogProblems() const { return catalogProblems_; }

    StageGroups groups;
    std::vector<std::string> tags;
    int tagIndex = 0;
    int modelIndex = 0;
    bool mouseOverWindow = false;
    bool showMainWindow = true;
    bool showAnotherWindow = false;

private:
    void ShowMainWindow(bool& showAnother);
    void ShowAnotherWindow(bool& showAnother);
    // Lists the problems the catalogs met at start-up in a popup, opened once.
    void ShowCatalogProblems();

    CTagControls* tagControls_ = nullptr;
    CCreationPanel* creationPanel_ = nullptr;
    CObjectList* objectList_ = nullptr;
    CFileMenu* fileMenu_ = nullptr;
    CTagPanel* tagPanel_ = nullptr;
    CCurrentFile currentFile_;
    CEditMenu* editMenu_ = nullptr;
    CEditHistory* history_ = nullptr;
    CUnsavedGuard* unsavedGuard_ = nullptr;
    CFileChangeGuard* fileChangeGuard_ = nullptr;
    CAutosave* autosave_ = nullptr;
    CRecoveryPrompt* recoveryPrompt_ = nullptr;
    CGizmo* gizmo_ = nullptr;
    std::vector<std::string> catalogProblems_;
    bool catalogProblemsShown_ = false;
    bool catalogProblemsOpen_ = false;
    bool dismissCatalogProblems_ = false;
    std::string mirroredTag_;
    bool mirrorValid_ = false;
};
