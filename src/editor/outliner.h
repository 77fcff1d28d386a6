// The "Outliner" window: every tag as a row that folds, with its objects under it, and a search field that
// narrows them as it is typed. Clicking an object selects it (and its tag); an object picked in the view
// is revealed and scrolled to. A double click renames an object in place, dragging it onto a tag moves
// it there (with the rest of the selection when it is selected among others), and a tag's context menu
// deletes it; both are undoable. An object's row has a menu to frame, rename or delete it. New tags are
// made and selected here.
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "editor/outliner_rows.h"

class CEditor;

class COutliner {
public:
    static constexpr const char* kWindow = "Outliner";

    explicit COutliner(CEditor& editor) : editor_(editor) {}

    // Draws the window while *open; its close box clears *open.
    void Show(bool* open);

    // The search text, as typed into the field.
    void SetSearch(const std::string& text);
    const char* Search() const { return search_.data(); }
    // The rows as they stand for the current stage, search and folding.
    const std::vector<OutlinerRow>& Rows();
    // Rows built as widgets in the last Show: only those in view.
    int DrawnRows() const { return drawnRows_; }
    // The row scrolled to after the last selection made elsewhere (-1 when none).
    int RevealedRow() const { return revealedRow_; }

    // Selects the object of the row (its tag becomes the selected tag); false for a tag row or a tag
    // that is not in the list.
    bool SelectRow(const OutlinerRow& row);
    // Adds a tag named `name` (when not listed yet) and selects it; false for an empty name.
    bool AddAndSelectTag(const std::string& name);
    // The row of object `index` of `tag` dropped on `target`'s row: the object moves there, or the whole
    // selection when it is one of several selected. One undo step.
    bool DropOnTag(const std::string& tag, int index, const std::string& target);

private:
    void ShowTools();
    void ShowRow(const OutlinerRow& row);
    void ShowTagRow(const OutlinerRow& row);
    void ShowObjectRow(const OutlinerRow& row);
    // When the selection changed outside the outliner: unfolds its tag and marks its row to scroll to.
    void FollowSelection();
    void StartRename(const OutlinerRow& row, const ObjectPart& part);
    // The right-click menu of an object's row: "Frame", "Rename", "Delete".
    void ShowObjectMenu(const OutlinerRow& row, const ObjectPart& part, bool selected);

    CEditor& editor_;
    COutlinerRows rows_;
    std::set<std::string> folded_;
    SearchField search_{};
    std::array<char, 128> newTag_{};
    // The selection as last seen, to tell a selection made elsewhere.
    std::string seenTag_;
    int seenIndex_ = -1;
    bool seenValid_ = false;
    // The row to scroll to in this frame (an object, or a tag's own row with index -1).
    bool revealPending_ = false;
    std::string revealTag_;
    int revealIndex_ = -1;
    int revealedRow_ = -1;
    // The object being renamed in place, and its text.
    std::string renameTag_;
    int renameIndex_ = -1;
    std::array<char, 256> renameText_{};
    bool renameFocus_ = false;
    // The object being dragged onto a tag.
    std::string dragTag_;
    int dragIndex_ = -1;
    int drawnRows_ = 0;
};
