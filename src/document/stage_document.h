// The stage document: the two copies of the tag groups, the tag list with the selected tag, the
// selection, the clipboard, the groups' view state, the stage file and the edit history, with every edit
// the editor makes as one operation. Needs no window, no device and no GUI.
//
// The two copies of the groups: the stage's own (Groups: drawn, picked and written by the text save) and
// the editor's working copy (WorkingGroups: shown and edited by the object list, written by the JSON
// export). Every edit below records its step in the history and leaves both copies of the groups it
// touched equal; the editor's frame brings the selected group together with MirrorSelectedGroup and
// SettleGroup. Nothing else needs to copy groups between them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document/current_file.h"
#include "document/group_changes.h"
#include "document/object_selection.h"
#include "stagefile/file_result.h"
#include "stagefile/stage_types.h"

class CEditHistory;

class CStageDocument {
public:
    CStageDocument();
    ~CStageDocument();
    CStageDocument(const CStageDocument&) = delete;
    CStageDocument& operator=(const CStageDocument&) = delete;

    // ---- the two copies of the groups ----
    // Whoever may change the stage's groups here makes FilledGroups look at them again, and the spatial
    // index compare every object: read through the const one.
    StageGroups& Groups() {
        filledValid_ = false;
        changes_.Unknown();
        return groups_;
    }
    const StageGroups& Groups() const { return groups_; }
    // The stage's groups for a change that the caller notes itself in GroupChanges() (the history's steps).
    StageGroups& GroupsToEdit() {
        filledValid_ = false;
        return groups_;
    }
    // What changed in the stage's groups since the last TakeGroupChanges.
    CGroupChanges& GroupChanges() { return changes_; }
    CGroupChanges TakeGroupChanges() { return std::exchange(changes_, CGroupChanges()); }
    StageGroups& WorkingGroups() { return working_; }
    const StageGroups& WorkingGroups() const { return working_; }
    // Objects in the stage's groups, all together.
    std::size_t ObjectCount() const;
    // The stage's groups that hold objects, in tag order: drawing visits these rather than every tag of a
    // stage of many empty groups. Made again after any change of the groups (a step of the history, an
    // edit here, a caller of the non-const Groups()); otherwise no group is looked at.
    const std::vector<const StageGroups::value_type*>& FilledGroups();

    // Finds a new object's model in the model catalog, by its model label. Without it, new objects have
    // kNoModel.
    using ModelLookup = std::function<ModelHandle(const std::string& label)>;
    void SetModelLookup(ModelLookup lookup) { modelLookup_ = std::move(lookup); }

    // ---- the stage's own operations: its groups only, no step of the history ----
    // Appends an object made from the template, with the model of `modelLabel`, to the tag's group and
    // makes the tag the current one.
    void CreateObject(const ObjectPart& templ, const std::string& tag, const std::string& modelLabel);
    // The same for a template the caller gives up (the loader's records are moved, not copied).
    void AddObject(ObjectPart&& part, const std::string& tag, const std::string& modelLabel);
    // Removes the object at that index of the tag's group; an index outside the group changes nothing.
    void DeleteObject(int index, const std::string& tag);
    void AddScale(const std::string& tag, float dx, float dy, float dz);

    // ---- the tag list (never empty: it starts as "TEST") ----
    std::vector<std::string>& Tags() { return tags_; }
    const std::vector<std::string>& Tags() const { return tags_; }
    int& TagIndex() { return tagIndex_; }
    const std::string& SelectedTag() const { return tags_[tagIndex_]; }

    // ---- the selection, the current tag and the clipboard ----
    // The selection is a set of objects of any groups; its active object (the last one picked) is the
    // selected index in the selected tag's group, which the single-object edits act on.
    // Selects object `index` of the selected tag's group alone.
    void Select(int index);
    void ClearSelection();
    int GetSelectedIndex() const { return selectedIndex_; }
    bool IsSelectionValid() const { return selectionValid_; }
    // The group that picking searches and where the selection is highlighted.
    const std::string& GetCurrentTag() const { return currentTag_; }
    void SetCurrentTag(const std::string& tag) { currentTag_ = tag; }
    ObjectPart GetClipboard() const { return clipboard_; }
    void SetClipboard(const ObjectPart& part) {
        clipboard_ = part;
        clipboardMany_.clear();
        clipboardFilled_ = true;
    }
    bool HasClipboard() const { return clipboardFilled_; }

    // ---- many objects at once (stage_document_selection.cpp) ----
    enum class Pick { Replace, Toggle, Add };
    // Object `index` of the tag's group: its tag becomes the selected one; Replace selects it alone, Add
    // adds it, Toggle adds or removes it. An object added becomes the active one.
    void SelectObject(const std::string& tag, int index, Pick how);
    // Shift-click: the objects of the tag's group from the active one to `index` become the selection, and
    // `index` the active one (only `index` when the active object is not in that group).
    void SelectRange(const std::string& tag, int index);
    // The selection becomes `set`. The active object stays when it is a member; otherwise it becomes the
    // last member of the selected tag's group, else the last member (whose tag is then selected).
    void SetSelection(CObjectSelection set);
    const CObjectSelection& Selection() const { return selection_; }
    bool IsSelected(const std::string& tag, int index) const { return selection_.Contains(tag, index); }
    // The selection exactly as it was (the history's undo and redo).
    void RestoreSelection(int index, bool valid, const CObjectSelection& set);
    // Members that are no longer objects of the stage (their group shortened or gone) leave the set.
    void PruneSelection();
    // Commands that choose the selection: every object of the tag's group, of every visible group,
    // nothing, every object of the visible groups that was not selected, every object of the visible
    // groups whose model is one of the selected objects' models. Hidden and locked groups are left out.
    void SelectAllInGroup(const std::string& tag);
    void SelectAllVisible();
    void InvertSelection();
    void SelectSameModel();

    // The edits of the selection, each one step; both copies change. With nothing selected they do
    // nothing and return false.
    bool DeleteSelection();
    // Copies the selected objects (not an edit); Paste then places them all.
    bool CopySelection();
    // Appends copies of the selected objects to their own groups and selects the copies.
    bool DuplicateSelection(std::string* notice = nullptr);
    // Moves the selected objects to the end of the tag's group, keeping them selected; the tag becomes
    // the selected one.
    bool MoveSelectionToTag(const std::string& tag);
    // Opens one step for moving, turning or scaling these objects over many frames (a drag), as
    // BeginObjectEdit does for one; SetPlacement changes them, EndObjectEdit lets the step close.
    void BeginObjectsEdit(const std::string& what, const std::vector<ObjectRef>& objects);
    // Sets the object label of every one of these objects, in both copies, as one step ("Set label").
    void SetObjectsLabel(const std::vector<ObjectRef>& objects, const std::string& label);
    // How many objects the clipboard holds (0 before a copy).
    std::size_t ClipboardCount() const { return clipboardFilled_ ? std::max<std::size_t>(1, clipboardMany_.size()) : 0; }

    // ---- view state of the groups: not saved, not an edit ----
    void SetTagVisible(const std::string& tag, bool visible);
    bool IsTagVisible(const std::string& tag) const { return hiddenTags_.count(tag) == 0; }
    void SetTagLocked(const std::string& tag, bool locked);
    bool IsTagLocked(const std::string& tag) const { return lockedTags_.count(tag) != 0; }
    // Every group shown and unlocked again, and every object shown (another stage was opened).
    void ResetTagViews();
    // Hidden objects (neither drawn nor picked), per tag, ascending; they follow the groups' changes.
    const CObjectSelection& HiddenObjects() const { return hidden_; }
    CObjectSelection& HiddenObjects() { return hidden_; }
    // Hides the selected objects and clears the selection.
    void HideSelection();
    // Hides every object of every group but the selected ones.
    void IsolateSelection();
    // Shows every hidden object again.
    void ShowAllObjects() { hidden_.Clear(); }

    // Every edit of the groups, the tag list and the selection is recorded here (see edit_history.h).
    CEditHistory& History() { return *history_; }

    // ---- keeping the two copies equal, once a frame ----
    // The stage's group of the selected tag becomes a copy of the working copy's.
    void MirrorSelectedGroup();
    // The working copy's group of the tag becomes a copy of the stage's.
    void RefreshGroup(const std::string& tag);
    // After the object list: when the working copy's group holds objects, the stage's group becomes equal
    // to it (unless it is known to be); otherwise the working copy takes the stage's group.
    void SettleGroup(const std::string& tag);
    // True while the stage's group of the tag is known to equal the working copy's: the mirroring made
    // them equal this frame and nothing has replaced a working group since.
    bool IsMirrored(const std::string& tag) const { return mirrorValid_ && mirroredTag_ == tag; }
    // Something other than the mirroring replaced groups (an undo, a redo, a load).
    void ForgetMirror() { mirrorValid_ = false; }

    // ---- the edits: each is one step of the history ----
    // Where an edit checks that the stage still fits in a stage file, *notice (when given) becomes the
    // reason it refused, or empty when it fitted.
    // Appends an object made from `part` (its model is part.ModelLabel) to the tag's group.
    bool CreateObjectAt(const std::string& tag, const ObjectPart& part, std::string* notice = nullptr);
    // Deletes the selected object of the tag's group and clears the selection; false without a selection.
    bool DeleteSelected(const std::string& tag);
    // Puts the selected object of the working copy's group into the clipboard (not an edit); false when the
    // selected index is not a position of that group.
    bool CopySelected(const std::string& tag);
    // Appends the clipboard's object at `pos`; false when nothing has been copied or the stage is full.
    // Several copied objects keep their arrangement, the centre of their origins at `pos`, and become the
    // selection.
    bool Paste(const std::string& tag, const D3DXVECTOR3& pos, std::string* notice = nullptr);
    // Appends a copy of the selected object to the tag's group and selects it; false without a selected
    // object in that group or when the stage is full.
    bool DuplicateSelected(const std::string& tag, std::string* notice = nullptr);
    // Adds (dx, dy, dz) to the scale of every object of the tag's group; refused, with the group as it was,
    // when a scale would no longer be a finite number.
    bool AddGroupScale(const std::string& tag, float dx, float dy, float dz, std::string* notice = nullptr);
    // The selected object of the tag's working group, or null without a selection inside that group.
    const ObjectPart* SelectedObject(const std::string& tag) const;

    // Moving, turning and scaling one object, as one step however many frames it takes (a drag):
    // BeginObjectEdit opens the step, SetPlacement changes the object in both copies, EndObjectEdit lets
    // the step close at the end of the frame.
    void BeginObjectEdit(const std::string& what, const std::string& tag, int index);
    void SetPlacement(const std::string& tag, int index, const D3DXVECTOR3& pos, const D3DXVECTOR3& rot,
                      const D3DXVECTOR3& scale);
    void EndObjectEdit();
    // Sets the object label of one object ("Update Tag").
    void SetObjectLabel(const std::string& tag, int index, const std::string& label);

    // Appends a tag name to the list, as it is (empty names and repeats included).
    void AddTag(const std::string& name);
    // Renames the selected tag: its groups (and view state) move to the new name. An empty name, or the
    // tag's own name, changes nothing. Returns true when renamed.
    bool RenameSelectedTag(const std::string& newName);
    // Replaces the group of tags[target], in both copies, with a copy of the working copy's group of
    // tags[source], when the working copy holds the source. Returns why it refused ("" when it copied or
    // had nothing to do): the stage would then hold more objects than a stage file can.
    std::string CopyTagGroup(int source, int target);
    // Removes the tag from the list (every entry of that name) and its group from both copies, as one step
    // ("Delete tag"). The list keeps at least one tag: "TEST" when it would be empty. False when neither
    // the list nor the groups hold the tag.
    bool DeleteTag(const std::string& tag);
    // Moves the object `index` of the tag's group to the end of `target`'s group, in both copies, as one
    // step ("Move to tag"); a selection in the source group is cleared. False when there is no such object
    // or the target is the same tag.
    bool MoveObjectToTag(const std::string& tag, int index, const std::string& target);
    // ---- the stage file ----
    // The stage file the editor works on (see current_file.h).
    CCurrentFile& CurrentFile() { return currentFile_; }
    const CCurrentFile& CurrentFile() const { return currentFile_; }
    // Writes the stage's groups to the file (replacing it only when the whole text was written).
    FileResult SaveTextFile(const std::string& path) const;
    // Reads a stage text file into the stage's groups: after what they hold, or in their place (`replace`:
    // the selection is cleared and every group shown and unlocked again); then *editorGroups (when given)
    // becomes a copy of them. Not a step of the history. A file that cannot be read, or would make the
    // stage larger than a stage file can hold, changes nothing; the result says why.
    FileResult ReadTextFile(const std::string& path, bool replace, StageGroups* editorGroups);
    // "LoadText", one step: the file's objects are added to the stage, the working copy becomes a copy of
    // the stage's groups, and the tag list gains the new tags, the last one selected.
    FileResult LoadText(const std::string& path);
    // One step named `what` ("Open", "Reload", "Recover"): the stage and the working copy become the
    // file's groups and the tag list its tags, the first selected. `file`, when given, becomes the current
    // file in the same step (undone with it). A failed read changes nothing.
    FileResult OpenText(const std::string& path, const std::string& what, const CCurrentFile* file = nullptr);

    // After a load: appends every tag of the working copy that the list lacks, then selects the last tag.
    void MergeTagsFromGroups();
    // After "Open...": the tag list becomes the working copy's tags in order ("TEST" when it has none), and
    // the first is selected.
    void ReplaceTagsFromGroups();

private:
    // True when `more` objects still fit in a stage file; otherwise *notice says why.
    bool HasRoom(std::size_t more, std::string* notice) const;
    // Creates an object in the stage's group and brings the working copy's group to it.
    void AppendObject(const std::string& tag, const ObjectPart& part);
    // The stage's group of the tag becomes a copy of `from`, object by object, noting what changed.
    void AssignStageGroup(const std::string& tag, const std::vector<StageObject>& from);

    StageGroups groups_;
    StageGroups working_;
    CGroupChanges changes_;
    std::vector<const StageGroups::value_type*> filled_;
    bool filledValid_ = false;
    std::uint64_t filledVersion_ = 0;
    std::size_t filledCount_ = 0;
    ModelLookup modelLookup_;
    std::vector<std::string> tags_{"TEST"};
    int tagIndex_ = 0;
    std::string currentTag_;
    // The tag of the active object (the selected tag; the current one while the tag list is empty).
    const std::string& ActiveTag() const;
    // The hidden objects of the tag's group after the objects `removed` (ascending) left it.
    void DropFromHidden(const std::string& tag, const std::vector<int>& removed);
    // Appends copies of `parts` to the tag's group, selecting them; one step named `what`.
    bool AppendSelected(const std::string& what, const std::string& tag, const std::vector<ObjectPart>& parts,
                        std::string* notice);

    ObjectPart clipboard_{};
    std::vector<ObjectPart> clipboardMany_;  // a copy of several objects; empty for one
    bool clipboardFilled_ = false;
    int selectedIndex_ = 0;
    bool selectionValid_ = false;
    CObjectSelection selection_;
    CObjectSelection hidden_;
    std::set<std::string> hiddenTags_;
    std::set<std::string> lockedTags_;
    std::string mirroredTag_;
    bool mirrorValid_ = false;
    CCurrentFile currentFile_;
    std::unique_ptr<CEditHistory> history_;
};
