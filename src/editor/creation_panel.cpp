#include "editor/creation_panel.h"

#include <utility>

#include <imgui.h>
#include <imgui_internal.h>

#include "editor/combo.h"
#include "editor/editor.h"
#include "editor/finite_drag.h"
#include "editor/gizmo.h"
#include "editor/object_list.h"
#include "editor/selection_menu.h"
#include "editor/shortcuts.h"
#include "input/input.h"
#include "resource/model_manager.h"
#include "scene/pointer.h"
#include "scene/stage.h"
#include "scene/surface_drop.h"

void CCreationPanel::Show(const std::string& tag) {
    editor_.GetObjectList()->Show(tag);
    // The list edited the working copy's group: the stage's group becomes equal to it again.
    editor_.Document().SettleGroup(tag);
    // Objects removed behind the selection's back (a group shortened in the list) leave it.
    editor_.Document().PruneSelection();

    labels_.clear();
    if (CModelManager* models = editor_.Parts().models)
        for (const auto& entry : models->GetModelMap()) labels_.push_back(entry.first);
    if (!labels_.empty() && (editor_.modelIndex < 0 || editor_.modelIndex >= static_cast<int>(labels_.size())))
        editor_.modelIndex = 0;

    ShowModelCombo();
    ShowSnapping();
    ShowPrototype();
    ShowGroupScale(tag);
    // A modal window (the file dialog, an error) has the user's attention: no key or pick reaches the stage.
    const bool modal = editor_.Focus().modalPopup;
    if (!modal) HandleKeys(tag);
    if (!notice_.empty()) ImGui::TextWrapped("%s", notice_.c_str());

    // A gizmo handle under the cursor, or a drag it is cancelling, keeps the right button from picking.
    CGizmo* gizmo = editor_.GetGizmo();
    if (CStage* stage = editor_.Parts().stage) {
        stage->SetCurrentTag(tag);
        if (!modal) editor_.GetSelectionMenu()->HandleView(gizmo && gizmo->BlocksPicking());
    }
}

void CCreationPanel::ShowModelCombo() {
    ShowCombo(
        &editor_.modelIndex, labels_, "Model",
        [this] {
            if (CPointer* pointer = editor_.Parts().pointer)
                pointer->SetModel(labels_[editor_.modelIndex]);
        },
        "(no models)");
}

void CCreationPanel::ShowSnapping() {
    ImGui::Checkbox("Snap to grid", &snap_.enabled);
    ImGui::SameLine();
    ImGui::SetNextItemWidth(70.0f);
    ImGui::DragFloat("Step", &snap_.step, 0.1f, 0.01f, 10000.0f, "%.2f", ImGuiSliderFlags_AlwaysClamp);
    ImGui::SameLine();
    ImGui::SetNextItemWidth(60.0f);
    ImGui::DragFloat("Angle step", &angleStepDegrees_, 1.0f, 1.0f, 180.0f, "%.0f", ImGuiSliderFlags_AlwaysClamp);
    snap_.angleStep = angleStepDegrees_ * 3.14159265f / 180.0f;
    ImGui::Checkbox("Snap bottom", &snapBottom_);
    if (ImGui::IsItemHovered()) ImGui::SetTooltip("New objects land with the bottom of their bounds on the grid");
    ImGui::SameLine();
    ImGui::Checkbox("Align to surface", &alignToSurface_);
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("Objects created on a surface (Ctrl+click) stand along its slope");
}

void CCreationPanel::SetSnap(const GizmoSnap& snap) {
    snap_ = snap;
    angleStepDegrees_ = snap.angleStep * 180.0f / 3.14159265f;
}

void CCreationPanel::PlacePointerOnSurface(const D3DXVECTOR3& point, const D3DXVECTOR3& normal) {
    CPointer* pointer = editor_.Parts().pointer;
    if (!pointer) return;
    pointer->SetPos(point);
    surfacePoint_ = point;
    surfaceNormal_ = normal;
    onSurface_ = true;
    pointerOnGrid_ = false;  // snapping starts again from here once the keys move the pointer
}

bool CCreationPanel::PointerOnSurface() const {
    CPointer* pointer = editor_.Parts().pointer;
    return onSurface_ && pointer && pointer->GetPos() == surfacePoint_;
}

void CCreationPanel::SnapPointer() {
    CPointer* pointer = editor_.Parts().pointer;
    // A pointer put on a surface stays on it, off the grid, until it is moved.
    if (PointerOnSurface()) return;
    onSurface_ = false;
    if (!pointer || !snap_.enabled) {
        pointerOnGrid_ = false;
        return;
    }
    const D3DXVECTOR3 now = pointer->GetPos();
    // The keys move the pointer by less than a step per frame, so their moves are gathered off the grid.
    if (pointerOnGrid_)
        pointerFree_ += now - pointerShown_;
    else
        pointerFree_ = now;
    pointerOnGrid_ = true;
    pointerShown_ = SnapToGrid(pointerFree_, snap_.step);
    pointer->SetPos(pointerShown_);
}

// The prototype mirrors the pointer; the "CreateObject" drags edit it and move the pointer with it.
void CCreationPanel::ShowPrototype() {
    SnapPointer();
    CPointer* pointer = editor_.Parts().pointer;
    if (pointer) {
        creationPrototype_.Pos = pointer->GetPos();
        creationPrototype_.Rot = pointer->Rot();
        creationPrototype_.Scale = pointer->Scale();
    }
    creationPrototype_.ModelLabel = labels_.empty() ? std::string() : labels_[editor_.modelIndex];

    if (!ImGui::CollapsingHeader("CreateObject", 0)) return;
    DragFiniteFloat3("Pos", &creationPrototype_.Pos.x, 0.1f, 0.0f, 0.0f);
    DragFiniteFloat3("Rot", &creationPrototype_.Rot.x, 0.1f, 0.0f, 0.0f);
    DragFiniteFloat3("Scale", &creationPrototype_.Scale.x, 0.1f, 1.0f, 0.0f);
    if (pointer) {
        pointer->SetPos(creationPrototype_.Pos);
        pointer->Rot() = creationPrototype_.Rot;
        pointer->Scale() = creationPrototype_.Scale;
    }
}

void CCreationPanel::ShowGroupScale(const std::string& tag) {
    DragFiniteFloat3("AddAllObjectScale", addScale_, 0.1f, 0.0f, 0.0f);
    if (ImGui::Button("AddValue")) AddGroupScale(tag);
}

bool CCreationPanel::AddGroupScale(const std::string& tag) {
    return editor_.Document().AddGroupScale(tag, addScale_[0], addScale_[1], addScale_[2], &notice_);
}

void CCreationPanel::HandleKeys(const std::string& tag) {
    CInputKeyboard* keyboard = editor_.Parts().keyboard;
    // Keys typed into a text field belong to that field.
    if (!keyboard || editor_.Focus().typing) return;
    if (ShortcutPressed(EditorCommand::Create, *keyboard)) CreateAtPointer(tag);
    if (ShortcutPressed(EditorCommand::Delete, *keyboard)) DeleteSelected(tag);
    if (ShortcutPressed(EditorCommand::Copy, *keyboard)) CopySelected(tag);
    if (ShortcutPressed(EditorCommand::Paste, *keyboard)) Paste(tag);
    if (ShortcutPressed(EditorCommand::GoToSelection, *keyboard)) GoToSelection(tag);
    if (ShortcutPressed(EditorCommand::Duplicate, *keyboard)) DuplicateSelected(tag);
    if (ShortcutPressed(EditorCommand::DropToSurface, *keyboard)) DropSelected(tag);
}

bool CCreationPanel::GoToSelection(const std::string& tag) {
    CPointer* pointer = editor_.Parts().pointer;
    const ObjectPart* selected = editor_.Document().SelectedObject(tag);
    if (!pointer || !selected) return false;
    // The camera orbits the pointer, so it frames the object from the next frame on.
    pointer->SetPos(selected->Pos);
    return true;
}

D3DXVECTOR3 CCreationPanel::Placed(const ObjectPart& part, D3DXVECTOR3 pos, bool onSurface) const {
    const CModelManager* models = editor_.Parts().models;
    auto resting = [&](const D3DXVECTOR3& at) {
        if (!models) return at;
        return RestingPosition(part, models->GetMin(part.ModelLabel), models->GetMax(part.ModelLabel), at);
    };
    if (onSurface) return resting(pos);
    if (!snap_.enabled) return pos;
    pos = SnapToGrid(pos, snap_.step);
    return snapBottom_ ? resting(pos) : pos;
}

bool CCreationPanel::CreateAtPointer(const std::string& tag) {
    // Where the pointer is now: it may have been put on a surface since the prototype followed it.
    CPointer* pointer = editor_.Parts().pointer;
    const D3DXVECTOR3 pos = pointer ? pointer->GetPos() : creationPrototype_.Pos;
    return CreateAt(tag, pos, PointerOnSurface() ? &surfaceNormal_ : nullptr);
}

bool CCreationPanel::CreateOnSurface(const std::string& tag, const D3DXVECTOR3& point, const D3DXVECTOR3& normal) {
    return CreateAt(tag, SnappedAcross(point), &normal);
}

ObjectPart CCreationPanel::PlannedOnSurface(const std::string& label, const D3DXVECTOR3& point,
                                            const D3DXVECTOR3& normal) const {
    return Planned(label, SnappedAcross(point), &normal);
}

D3DXVECTOR3 CCreationPanel::SnappedAcross(D3DXVECTOR3 point) const {
    // With snapping on, an object dropped from "Models" stands on a grid point across the ground, at the
    // height of the surface that was under the cursor.
    if (!snap_.enabled) return point;
    const D3DXVECTOR3 snapped = SnapToGrid(point, snap_.step);
    point.x = snapped.x;
    point.z = snapped.z;
    return point;
}

ObjectPart CCreationPanel::Planned(const std::string& label, const D3DXVECTOR3& pos,
                                   const D3DXVECTOR3* surfaceNormal) const {
    ObjectPart part = creationPrototype_;
    part.ModelLabel = label;
    const CModelManager* models = editor_.Parts().models;
    if (alignToSurface_ && surfaceNormal && models) {
        // Its own bottom, along the normal, touches the point.
        part.Rot = UpAlongNormal(*surfaceNormal, part.Rot.y);
        part.Pos = pos - *surfaceNormal * (models->GetMin(part.ModelLabel).y * part.Scale.y);
    } else {
        part.Pos = Placed(part, pos, surfaceNormal != nullptr);
    }
    return part;
}

bool CCreationPanel::CreateAt(const std::string& tag, const D3DXVECTOR3& pos, const D3DXVECTOR3* surfaceNormal) {
    if (labels_.empty()) return false;
    const ObjectPart part = Planned(labels_[editor_.modelIndex], pos, surfaceNormal);
    return editor_.Document().CreateObjectAt(tag, part, &notice_);
}

bool CCreationPanel::DeleteSelected(const std::string& tag) {
    CStageDocument& document = editor_.Document();
    return document.Selection().Count() > 1 ? document.DeleteSelection() : document.DeleteSelected(tag);
}

bool CCreationPanel::CopySelected(const std::string& tag) {
    CStageDocument& document = editor_.Document();
    return document.Selection().Count() > 1 ? document.CopySelection() : document.CopySelected(tag);
}

bool CCreationPanel::Paste(const std::string& tag) {
    CPointer* pointer = editor_.Parts().pointer;
    // Without a pointer the pasted object keeps the copied position.
    const ObjectPart& copied = editor_.Document().GetClipboard();
    const D3DXVECTOR3 pos = pointer ? pointer->GetPos() : copied.Pos;
    // Several objects land with the centre of their origins at the pointer (on the grid when snapping).
    if (editor_.Document().ClipboardCount() > 1)
        return editor_.Document().Paste(tag, snap_.enabled ? SnapToGrid(pos, snap_.step) : pos, &notice_);
    return editor_.Document().Paste(tag, Placed(copied, pos, PointerOnSurface()), &notice_);
}

bool CCreationPanel::DropSelected(const std::string& tag) {
    CStageDocument& document = editor_.Document();
    const ObjectPart* part = document.SelectedObject(tag);
    const CModelManager* models = editor_.Parts().models;
    // A locked group is kept from edits in the view, as from picking.
    if (!part || !models || document.IsTagLocked(tag)) return false;
    const int index = document.GetSelectedIndex();
    // The stage answers from its spatial index.
    CStage* stage = editor_.Parts().stage;
    const std::optional<float> distance =
        stage && &stage->Document() == &document
            ? stage->DropDistance(tag, index)
            : DropDistance(std::as_const(document).Groups(), tag, index, *models,
                           [&](const std::string& t) { return document.IsTagVisible(t); });
    if (!distance) {
        notice_ = "Not dropped: nothing lies below the object";
        return false;
    }
    if (*distance <= 0.0f) return true;  // resting already: no step
    const ObjectPart placed = *part;
    document.BeginObjectEdit("Drop to surface", tag, index);
    document.SetPlacement(tag, index, placed.Pos - D3DXVECTOR3(0.0f, *distance, 0.0f), placed.Rot, placed.Scale);
    document.EndObjectEdit();
    return true;
}

bool CCreationPanel::DuplicateSelected(const std::string& tag) {
    CStageDocument& document = editor_.Document();
    return document.Selection().Count() > 1 ? document.DuplicateSelection(&notice_)
                                            : document.DuplicateSelected(tag, &notice_);
}
