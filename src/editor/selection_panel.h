// The "Inspector" window: the position, rotation (in degrees; the stage file keeps radians), scale, label
// and model of the selected objects. A value the selected objects do not share shows as "mixed"; a value
// typed into a field is set on all of them, as one undo step. A single click puts the cursor in a field.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "document/object_selection.h"

class CEditor;

class CSelectionPanel {
public:
    static constexpr const char* kWindow = "Inspector";
    // The nine numbers: position x, y, z, rotation x, y, z (degrees), scale x, y, z.
    static constexpr int kFields = 9;

    explicit CSelectionPanel(CEditor& editor) : editor_(editor) {}

    void Show(bool* open);

    // The selected objects, the active one included.
    std::vector<ObjectRef> Selected() const;
    // The field's value when every selected object has the same; nothing when they differ or none is
    // selected.
    std::optional<float> Common(int field) const;
    std::optional<std::string> CommonLabel() const;
    // Sets the field (degrees for rotations) on every selected object, as one step; false for a value
    // that is not a finite number or an empty selection.
    bool SetField(int field, float value);
    bool SetLabel(const std::string& label);

private:
    void ShowRow(const char* name, int first);

    CEditor& editor_;
    std::array<std::array<char, 32>, kFields> text_{};
    std::array<char, 256> label_{};
};
