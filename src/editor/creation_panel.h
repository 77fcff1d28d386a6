// The creation panel: the object list, the model choice, the pointer's placement, the group scale and
// the grid snapping settings and the editing keys (Enter creates, Delete deletes, Ctrl+C / Ctrl+V copy
// and paste, Ctrl+D duplicates).
#pragma once

#include <string>
#include <vector>

#include "scene/gizmo_math.h"
#include "stagefile/stage_types.h"

class CEditor;

class CCreationPanel {
public:
    explicit CCreationPanel(CEditor& editor) : editor_(editor) {}

    void Show(const std::string& tag);

    // ---- the editing commands of the keys: the document's edits, at the pointer, on the grid ----
    // Creates an object from the prototype in the tag's group; false when there is no model to create or
    // the stage already holds as many objects as a stage file can (Notice() then says so).
    bool CreateAtPointer(const std::string& tag);
    // Deletes the selected object of the tag's group and clears the selection; false without a selection.
    bool DeleteSelected(const std::string& tag);
    // Puts the selected object of the working copy's group into the clipboard; false when the selected
    // index is not a position of that group.
    bool CopySelected(const std::string& tag);
    // Creates the clipboard's object at the pointer; false when nothing has been copied, or the stage is full.
    bool Paste(const std::string& tag);
    // Moves the 3D pointer to the selected object of the tag's group; false without one.
    bool GoToSelection(const std::string& tag);

    // Adds "AddAllObjectScale" to the scale of every object of the tag's group; false when a scale would
    // no longer be a finite number (Notice() then says so).
    bool AddGroupScale(const std::string& tag);
    // Why the last create, paste or group scale was refused, shown in the panel ("" after one that worked).
    const std::string& Notice() const { return notice_; }
    // Copies the selected object to the end of the tag's group and selects the copy; false without a
    // selected object in that group.
    bool DuplicateSelected(const std::string& tag);
    // Moves the selected object straight down until its box rests on the highest visible surface below
    // it (another object or the ground); one step of the history. False when nothing lies below.
    bool DropSelected(const std::string& tag);

    // Puts the 3D pointer at a point of a surface in the view (a modifier-click): until the pointer moves
    // again, new and pasted objects rest there with the bottom of their bounds, not their origin.
    // With "Align to surface" they are also turned so their up axis follows the surface's `normal`.
    void PlacePointerOnSurface(const D3DXVECTOR3& point, const D3DXVECTOR3& normal = D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    // True while the pointer stays where PlacePointerOnSurface put it.
    bool PointerOnSurface() const;
    // Creates an object of the chosen model resting on a surface at `point`, as Enter would with the
    // pointer put there, but leaves the pointer (and with it the camera) where it is; with snapping on it
    // stands on the nearest grid point across (x and z). One history step.
    bool CreateOnSurface(const std::string& tag, const D3DXVECTOR3& point, const D3DXVECTOR3& normal);
    // The object CreateOnSurface would create there with the model `label` (whose bounds it rests by).
    ObjectPart PlannedOnSurface(const std::string& label, const D3DXVECTOR3& point, const D3DXVECTOR3& normal) const;

    // Grid snapping of gizmo moves and turns, the pointer and new objects.
    const GizmoSnap& Snap() const { return snap_; }
    void SetSnap(const GizmoSnap& snap);

    const ObjectPart& Prototype() const { return creationPrototype_; }
    const std::vector<std::string>& ModelLabels() const { return labels_; }

private:
    void ShowModelCombo();
    void ShowPrototype();
    void ShowSnapping();
    // While snapping is on the pointer shows the grid point nearest to where the keys have taken it.
    void SnapPointer();
    void ShowGroupScale(const std::string& tag);
    void HandleKeys(const std::string& tag);
    // Where a new object placed as `part` lands when asked for at `pos`: with its bottom on the surface
    // when `onSurface`; else on the grid while snapping is on, with its bottom on the grid's level when
    // "Snap bottom" is on.
    D3DXVECTOR3 Placed(const ObjectPart& part, D3DXVECTOR3 pos, bool onSurface) const;
    // A new object of the model at `pos`, from the prototype; `surfaceNormal` is the normal of the surface
    // it stands on there, or null off any surface.
    ObjectPart Planned(const std::string& label, const D3DXVECTOR3& pos, const D3DXVECTOR3* surfaceNormal) const;
    // `point` moved to the nearest grid point across (x and z) while snapping is on.
    D3DXVECTOR3 SnappedAcross(D3DXVECTOR3 point) const;
    // Creates the planned object of the chosen model.
    bool CreateAt(const std::string& tag, const D3DXVECTOR3& pos, const D3DXVECTOR3* surfaceNormal);

    CEditor& editor_;
    ObjectPart creationPrototype_{};  // mirrors the pointer; ModelLabel is the chosen model
    float addScale_[3] = {0.0f, 0.0f, 0.0f};
    std::vector<std::string> labels_;  // the model catalog's labels, rebuilt every frame
    std::string notice_;
    GizmoSnap snap_;
    float angleStepDegrees_ = 15.0f;
    bool pointerOnGrid_ = false;  // pointerFree_ and pointerShown_ mean something
    D3DXVECTOR3 pointerFree_;     // where the keys have moved the pointer, off the grid
    D3DXVECTOR3 pointerShown_;    // the grid point it was put on
    bool snapBottom_ = false;     // snapping puts new objects' bottoms, not their origins, on the grid
    bool onSurface_ = false;      // surfacePoint_ is where a modifier-click put the pointer
    D3DXVECTOR3 surfacePoint_;
    D3DXVECTOR3 surfaceNormal_{0.0f, 1.0f, 0.0f};
    bool alignToSurface_ = false;  // new objects on a surface stand along its normal
};
