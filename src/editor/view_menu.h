// The "View" menu: the fill light and the ground grid (view settings kept in the settings file), framing
// the selection and going back to the start view; and what the view shows over the stage each frame (the
// view aids' settings, the axis labels, the hover tooltip) and the modifier-click that puts the pointer on
// a surface. None of it is an edit of the stage.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "d3d/d3dx9.h"
#include "render/view_aids.h"
#include "stagefile/stage_types.h"

class CEditor;

class CViewMenu {
public:
    static constexpr const char* kFillLightKey = "FillLight";
    static constexpr const char* kGridKey = "Grid";
    static constexpr std::size_t kMaxOutlines = 4096;  // outline boxes drawn for a selection at most
    static constexpr unsigned kHoverDelay = 350;  // ms the cursor rests before the tooltip names what is under it

    // Reads the fill light's setting (on unless the settings file says otherwise) and applies it.
    explicit CViewMenu(CEditor& editor);
    CViewMenu(const CViewMenu&) = delete;
    CViewMenu& operator=(const CViewMenu&) = delete;

    void ShowMenu();
    void HandleKeys();
    // Each frame, after the panels: hands the view aids the snap step and the selection's outline, labels
    // the axis indicator, names the object under a resting cursor, and takes Ctrl+click in the view.
    void ShowOverlays();

    // Turns the fill light on or off and keeps the choice in the settings file.
    void SetFillLight(bool on);
    bool FillLight() const { return fillLight_; }
    // Shows or hides the ground grid and keeps the choice in the settings file.
    void SetGrid(bool on);
    bool Grid() const { return grid_; }
    // Ctrl+click: puts the 3D pointer where the line through the client pixel meets an object or the
    // ground; new objects then rest there. False when the line meets neither.
    bool PlacePointerAt(const D3DXVECTOR3& cursor);
    // The label (or, without one, the model) of what lies under the client pixel; "" over nothing.
    std::string NameUnder(const D3DXVECTOR3& cursor);
    // Moves the 3D pointer to the centre of the selected object and the eye back along its line of sight
    // until the object's bounds fill most of the view; false without a selection.
    bool FrameSelection();
    // The camera's start: the eye at (0, 100, 300) from the pointer, looking down the same way.
    void StartView();

private:
    // The outline boxes of the selected objects of visible groups, the active one first.
    std::vector<OutlineBox> SelectionOutlines() const;
    // The world box of an object's bounds.
    OutlineBox Outline(const ObjectPart& part) const;
    void HoverTooltip();
    void IndicatorLabels();

    CEditor& editor_;
    std::string settingsPath_;
    bool fillLight_ = true;
    bool grid_ = true;
    D3DXVECTOR3 hoverCursor_{-1.0f, -1.0f, 0.0f};  // where the cursor last came to rest
    DWORD hoverSince_ = 0;
    bool hoverAsked_ = false;  // hoverName_ is what lies under hoverCursor_
    std::string hoverName_;
};
