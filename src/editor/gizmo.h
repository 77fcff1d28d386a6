// The transform gizmo on the selected object of the selected tag: arrows and plane squares to move it,
// rings to turn it, a circle to scale it, dragged with the left button and drawn over the scene. With
// several objects selected it moves, turns and scales all of them about the chosen pivot, in the world's
// axes or the active object's own.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "document/object_selection.h"
#include "scene/gizmo_math.h"
#include "stagefile/stage_types.h"

class CEditor;

class CGizmo {
public:
    explicit CGizmo(CEditor& editor) : editor_(editor) {}

    // Once per frame, after the GUI frame began and before the panels are built: the mode keys (1 move,
    // 2 rotate, 3 scale), the hover, the drag (which edits both copies of the group) and the drawing.
    // Escape or the right button during a drag puts the object back; Shift inverts grid snapping.
    void Update(const std::string& tag);

    GizmoPivot Pivot() const { return pivot_; }
    void SetPivot(GizmoPivot pivot) { pivot_ = pivot; }
    // True: the handles follow the active object's own axes rather than the world's.
    bool ObjectAxes() const { return objectAxes_; }
    void SetObjectAxes(bool on) { objectAxes_ = on; }
    GizmoMode Mode() const { return mode_; }
    void SetMode(GizmoMode mode) { mode_ = mode; }
    GizmoHandle Hovered() const { return hovered_; }
    GizmoHandle Dragged() const { return dragging_ ? drag_.handle : GizmoHandle::None; }
    bool IsDragging() const { return dragging_; }
    // From the press on a handle until the left button is let go, cancelled or not: the camera does not
    // turn meanwhile.
    bool HoldsMouse() const { return holdingLeft_; }
    // A handle under the cursor wins over picking, and a right button that cancelled a drag picks nothing
    // until it is let go.
    bool BlocksPicking() const { return dragging_ || hovered_ != GizmoHandle::None || holdingRight_; }

private:
    bool View(GizmoView* view) const;
    // The selected objects of visible, unlocked groups as they stand in the stage, and where the gizmo
    // stands for them; false when fewer than two are selected (the gizmo then acts on the active object).
    bool Members(const std::string& tag, std::vector<std::pair<ObjectRef, GizmoTransform>>* members,
                 GizmoTransform* start) const;
    void BeginGroupEdit(const char* what);
    // The selected object of the tag's group in the working copy, or null.
    const ObjectPart* Selected(const std::string& tag) const;
    void Apply(const GizmoTransform& transform);
    void Cancel();
    void EndDrag();
    void Draw(const GizmoShape& shape) const;

    CEditor& editor_;
    GizmoMode mode_ = GizmoMode::Move;
    GizmoHandle hovered_ = GizmoHandle::None;
    bool dragging_ = false;
    bool holdingLeft_ = false;
    bool holdingRight_ = false;
    GizmoDrag drag_;
    std::string dragTag_;
    int dragIndex_ = -1;
    GizmoPivot pivot_ = GizmoPivot::Centre;
    bool objectAxes_ = false;
    // A drag of many objects: each as it was when grabbed.
    std::vector<std::pair<ObjectRef, GizmoTransform>> group_;
    std::size_t dragSelectionCount_ = 0;
    GizmoTransform groupNow_{};  // where the drag has taken the group's gizmo
};
