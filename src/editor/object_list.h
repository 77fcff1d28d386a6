// The object list: one tree node per object of the selected group, each opening an inspector with the
// object's position, rotation, scale and object label. Clicking a node selects the object in the stage;
// Ctrl+click adds or removes it, Shift+click selects the rows from the active object to it.
#pragma once

#include <array>
#include <string>
#include <unordered_map>

#include "stagefile/stage_types.h"

class CEditor;

class CObjectList {
public:
    explicit CObjectList(CEditor& editor) : editor_(editor) {}

    // Draws the list of the tag's group of the working copy; its widgets edit the object through the
    // document, in both copies.
    void Show(const std::string& tag);

    // The text of the "ObjectTag" field at a list position (empty until typed into).
    std::string ObjectTagText(int index) const;
    // Rows drawn as widgets in the last Show; the rows outside the visible region are only measured.
    int DrawnRows() const { return drawnRows_; }

    // "Item N" for an unlabelled object at index N - 1, else its object label.
    static std::string NodeLabel(const ObjectPart& part, int index);

private:
    // A click on the row of object `index`, with the modifiers the GUI holds.
    void Click(int index);
    void ShowObjectNode(bool* clicked, const ObjectPart& part, int index, const std::string& label);
    // Records the drag field drawn last as one step of the history; returns `changed`.
    bool TrackDrag(const char* what, int index, bool changed);

    CEditor& editor_;
    std::string tag_;  // the tag of the group shown this frame
    // One "ObjectTag" buffer per list position, made when the position's inspector is first shown.
    std::unordered_map<int, std::array<char, 256>> objectTagBuffers_;
    // Heights of a closed and of an open row, including the spacing below them; measured as rows are drawn.
    float closedRowHeight_ = 0.0f;
    float openRowHeight_ = 0.0f;
    int drawnRows_ = 0;
};
