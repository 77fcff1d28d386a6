// The editing GUI: the main window with the file menu, tag controls, creation panel and object list.
#pragma once

#include <string>
#include <vector>

#include "document/stage_document.h"
#include "editor/editor_parts.h"
#include "input/input_focus.h"
#include "stagefile/stage_types.h"

class CTagControls;
class CCreationPanel;
class CObjectList;
class CFileMenu;
class CTagPanel;
class CEditMenu;
class CViewMenu;
class CEditHistory;
class CUnsavedGuard;
class CFileChangeGuard;
class CAutosave;
class CRecoveryPrompt;
class CGizmo;
class COutliner;
class CSelectionMenu;
class CModelPalette;
class CAssetReload;
class CSelectionPanel;

class CEditor {
public:
    // The editor edits this document (the stage's): its working copy, tags and history.
    explicit CEditor(CStageDocument& document);
    CEditor(const CEditor&) = delete;
    CEditor& operator=(const CEditor&) = delete;

    // The platform, device, input devices, stage, pointer, camera and catalogs the editor works with; set
    // before Init.
    void SetParts(const EditorParts& parts) { parts_ = parts; }
    const EditorParts& Parts() const { return parts_; }
    // Creates the panels (the document's tag list starts with "TEST").
    int Init();
    // Releases the panels and empties the tag list and the working copy.
    void Uninit();
    // Begins the GUI frame and decides this frame's input focus; the frame loop calls it before the
    // scene's objects move, and Update calls it when the frame has not begun yet.
    void BeginFrame();
    // Builds every editing window; returns the new "Another Window" flag.
    bool Update(bool showMain, bool showAnother);
    // The timed work of a frame without the frame, while the frame loop rests: the autosave's due write and
    // the stage file's stat. True when it found something to show or to go on with, so frames must run.
    bool Tick(DWORD now);
    // True while the editor changes the picture by itself: a gizmo drag, typing (the text cursor blinks),
    // an autosave being copied or written.
    bool IsWorking() const;

    // "Pointer X, Y, Z   Selected: TAG #N   Snap: STEP   File: *NAME", as the status bar shows it.
    std::string StatusLine() const;
    // Who has the keyboard and the mouse in this frame (see input_focus.h).
    const InputFocus& Focus() const { return focus_; }
    InputFocus& Focus() { return focus_; }
    bool IsMouseOverWindow() const { return focus_.mouseOverWindow; }
    // True while a GUI text field has the keyboard focus: keys then act on that field only, not on the
    // editing, camera, pointer or fill-mode keys.
    bool IsTypingText() const { return focus_.typing; }
    // Escape: closes the topmost popup other than "Unsaved changes" (the file dialog, "File error",
    // "Catalog problems", the recovery popup, "File changed on disk"); false when none of them is open.
    bool DismissPopup();

    // ---- the document's operations behind the widgets (see stage_document.h) ----
    CStageDocument& Document() { return document_; }
    // The selected tag (tags is never empty).
    const std::string& SelectedTag() const { return document_.SelectedTag(); }
    void AddTag(const std::string& name) { document_.AddTag(name); }
    bool RenameSelectedTag(const std::string& newName) { return document_.RenameSelectedTag(newName); }
    std::string CopyTagGroup(int source, int target) { return document_.CopyTagGroup(source, target); }
    void MergeTagsFromGroups() { document_.MergeTagsFromGroups(); }
    void ReplaceTagsFromGroups() { document_.ReplaceTagsFromGroups(); }
    void MirrorSelectedGroup() { document_.MirrorSelectedGroup(); }
    void RefreshGroup(const std::string& tag) { document_.RefreshGroup(tag); }
    bool IsMirrored(const std::string& tag) const { return document_.IsMirrored(tag); }
    void ForgetMirror() { document_.ForgetMirror(); }

    CObjectList* GetObjectList() const { return objectList_; }
    CCreationPanel* GetCreationPanel() const { return creationPanel_; }
    CTagControls* GetTagControls() const { return tagControls_; }
    CFileMenu* GetFileMenu() const { return fileMenu_; }
    CTagPanel* GetTagPanel() const { return tagPanel_; }
    // The stage file that "SaveText", "LoadText" and "SaveJson" act on.
    CCurrentFile& CurrentFile() { return document_.CurrentFile(); }
    const CCurrentFile& CurrentFile() const { return document_.CurrentFile(); }
    CEditMenu* GetEditMenu() const { return editMenu_; }
    CViewMenu* GetViewMenu() const { return viewMenu_; }
    // Every edit of the stage, the tag list and the selection is recorded here (see edit_history.h).
    CEditHistory* GetHistory() const { return &document_.History(); }
    // Quitting, opening and loading over unsaved changes ask it first (see unsaved_guard.h).
    CUnsavedGuard* GetUnsavedGuard() const { return unsavedGuard_; }
    // Notices another program's change to the current stage file (see file_change_guard.h).
    CFileChangeGuard* GetFileChangeGuard() const { return fileChangeGuard_; }
    CAutosave* GetAutosave() const { return autosave_; }
    CRecoveryPrompt* GetRecoveryPrompt() const { return recoveryPrompt_; }
    CGizmo* GetGizmo() const { return gizmo_; }
    COutliner* GetOutliner() const { return outliner_; }
    CModelPalette* GetModelPalette() const { return modelPalette_; }
    CSelectionPanel* GetInspector() const { return inspector_; }
    // The "Window" menu: shows or hides the outliner, "Tags", "Models" and the inspector, and puts every window back
    // where it first stood.
    void ShowWindowMenu();
    // Puts the main window, "Tags", the outliner, "Models" and the inspector back at their first places and sizes, shown.
    void ResetLayout();
    CSelectionMenu* GetSelectionMenu() const { return selectionMenu_; }
    // What the catalogs reported at start-up, as shown in the "Catalog problems" popup.
    const std::vector<std::string>& CatalogProblems() const { return catalogProblems_; }
    // Stats the next `slice` of the asset files and reloads those changed and quiet (see asset_reload.h);
    // what cannot be reloaded joins the catalog problems. True when something was reloaded or a change waits
    // to be quiet: frames should run.
    bool ReloadAssets(DWORD now, std::size_t slice);

private:
    CStageDocument& document_;
    EditorParts parts_;
    InputFocus focus_;

public:
    // The document's working copy of the groups, its tag list and selected tag.
    StageGroups& groups;
    std::vector<std::string>& tags;
    int& tagIndex;
    int modelIndex = 0;
    bool& mouseOverWindow = focus_.mouseOverWindow;
    bool showMainWindow = true;
    bool showAnotherWindow = false;
    bool showOutliner = true;
    bool showTags = true;
    bool showModelPalette = true;
    bool showInspector = true;

private:
    // The one place that asks the GUI library who has the keyboard and the mouse.
    void DecideFocus();
    void ShowMainWindow(bool& showAnother);
    void ShowAnotherWindow(bool& showAnother);
    // The line along the bottom of the window (pointer, selection, snap, file) and, over an empty stage,
    // what to do first.
    void ShowStatusBar();
    // Lists the problems the catalogs met at start-up in a popup, opened once.
    void ShowCatalogProblems();

    CTagControls* tagControls_ = nullptr;
    CCreationPanel* creationPanel_ = nullptr;
    CObjectList* objectList_ = nullptr;
    CFileMenu* fileMenu_ = nullptr;
    CTagPanel* tagPanel_ = nullptr;
    CEditMenu* editMenu_ = nullptr;
    CViewMenu* viewMenu_ = nullptr;
    CUnsavedGuard* unsavedGuard_ = nullptr;
    CFileChangeGuard* fileChangeGuard_ = nullptr;
    CAutosave* autosave_ = nullptr;
    CRecoveryPrompt* recoveryPrompt_ = nullptr;
    CGizmo* gizmo_ = nullptr;
    COutliner* outliner_ = nullptr;
    CSelectionMenu* selectionMenu_ = nullptr;
    CModelPalette* modelPalette_ = nullptr;
    CAssetReload* assetReload_ = nullptr;
    std::vector<std::string> reloadProblems_;  // not shown yet
    CSelectionPanel* inspector_ = nullptr;
    std::vector<std::string> catalogProblems_;
    std::size_t catalogEntryProblems_ = 0;  // the first lines of catalogProblems_: the catalogs' own
    bool catalogProblemsShown_ = false;
    bool catalogProblemsOpen_ = false;
    bool dismissCatalogProblems_ = false;
};
