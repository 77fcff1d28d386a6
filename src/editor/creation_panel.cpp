#include "editor/creation_panel.h"

#include <cmath>

#include <imgui.h>
#include <imgui_internal.h>

#include "app/manager.h"
#include "editor/combo.h"
#include "editor/edit_history.h"
#include "editor/editor.h"
#include "editor/finite_drag.h"
#include "editor/gizmo.h"
#include "editor/object_list.h"
#include "input/input.h"
#include "resource/model_manager.h"
#include "scene/pointer.h"
#include "scene/stage.h"
#include "stagefile/stage_text_reader.h"

void CCreationPanel::Show(const std::string& tag) {
    // The list writes the group back into the stage, so both copies are equal when it did.
    if (!editor_.GetObjectList()->Show(tag)) editor_.RefreshGroup(tag);

    labels_.clear();
    if (CModelManager* models = CManager::GetInstance()->GetModelManager())
        for (const auto& entry : models->GetModelMap()) labels_.push_back(entry.first);
    if (!labels_.empty() && (editor_.modelIndex < 0 || editor_.modelIndex >= static_cast<int>(labels_.size())))
        editor_.modelIndex = 0;

    ShowModelCombo();
    ShowSnapping();
    ShowPrototype();
    ShowGroupScale(tag);
    // A modal window (the file dialog, an error) has the user's attention: no key or pick reaches the stage.
    const bool modal = ImGui::GetTopMostPopupModal() != nullptr;
    if (!modal) HandleKeys(tag);
    if (!notice_.empty()) ImGui::TextWrapped("%s", notice_.c_str());

    // A gizmo handle under the cursor, or a drag it is cancelling, keeps the right button from picking.
    CGizmo* gizmo = editor_.GetGizmo();
    if (CStage* stage = CManager::GetInstance()->GetStage()) {
        stage->SetCurrentTag(tag);
        if (!modal && !(gizmo && gizmo->BlocksPicking())) stage->Picking();
    }
}

void CCreationPanel::ShowModelCombo() {
    ShowCombo(
        &editor_.modelIndex, labels_, "Model",
        [this] {
            if (CPointer* pointer = CManager::GetInstance()->GetPointer())
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
}

void CCreationPanel::SetSnap(const GizmoSnap& snap) {
    snap_ = snap;
    angleStepDegrees_ = snap.angleStep * 180.0f / 3.14159265f;
}

void CCreationPanel::SnapPointer() {
    CPointer* pointer = CManager::GetInstance()->GetPointer();
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
    CPointer* pointer = CManager::GetInstance()->GetPointer();
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
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage) return false;
    // A scale past the float range could not be saved: the group keeps its scales.
    for (const StageObject& object : stage->Groups()[tag]) {
        const D3DXVECTOR3& scale = object.part.Scale;
        if (!std::isfinite(scale.x + addScale_[0]) || !std::isfinite(scale.y + addScale_[1]) ||
            !std::isfinite(scale.z + addScale_[2])) {
            notice_ = "Not scaled: a scale of the group would leave the range of numbers a stage file holds.";
            return false;
        }
    }
    notice_.clear();
    editor_.GetHistory()->Begin("Add scale to group");
    editor_.GetHistory()->TouchGroup(tag);
    stage->AddScale(tag, addScale_[0], addScale_[1], addScale_[2]);
    editor_.RefreshGroup(tag);
    return true;
}

void CCreationPanel::HandleKeys(const std::string& tag) {
    CInputKeyboard* keyboard = CManager::GetInstance()->GetKeyboard();
    // Keys typed into a text field belong to that field.
    if (!keyboard || editor_.IsTypingText()) return;
    if (keyboard->GetTrigger(DIK_RETURN)) CreateAtPointer(tag);
    if (keyboard->GetTrigger(DIK_DELETE)) DeleteSelected(tag);
    if (keyboard->GetPress(DIK_LCONTROL) && keyboard->GetTrigger(DIK_C)) CopySelected(tag);
    if (keyboard->GetPress(DIK_LCONTROL) && keyboard->GetTrigger(DIK_V)) Paste(tag);
    if (keyboard->GetTrigger(DIK_HOME)) GoToSelection(tag);
    if (keyboard->GetPress(DIK_LCONTROL) && keyboard->GetTrigger(DIK_D)) DuplicateSelected(tag);
}

bool CCreationPanel::GoToSelection(const std::string& tag) {
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    CPointer* pointer = manager->GetPointer();
    if (!stage || !pointer || !stage->IsSelectionValid()) return false;
    const std::vector<StageObject>& group = editor_.groups[tag];
    const int index = stage->GetSelectedIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= group.size()) return false;
    // The camera orbits the pointer, so it frames the object from the next frame on.
    pointer->SetPos(group[index].part.Pos);
    return true;
}

bool CCreationPanel::HasRoom(CStage& stage) {
    std::size_t objects = 0;
    for (const auto& entry : stage.Groups()) objects += entry.second.size();
    if (objects < kMaxStageRecords) {
        notice_.clear();
        return true;
    }
    notice_ = "Not created: the stage holds " + std::to_string(objects) + " objects, the most a stage file can hold.";
    return false;
}

bool CCreationPanel::CreateAtPointer(const std::string& tag) {
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage || labels_.empty() || !HasRoom(*stage)) return false;
    editor_.GetHistory()->Begin("Create object");
    editor_.GetHistory()->TouchAppend(tag);
    ObjectPart part = creationPrototype_;
    if (snap_.enabled) part.Pos = SnapToGrid(part.Pos, snap_.step);
    stage->CreateObject(part, tag, labels_[editor_.modelIndex]);
    editor_.RefreshGroup(tag);
    return true;
}

bool CCreationPanel::DeleteSelected(const std::string& tag) {
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage || !stage->IsSelectionValid()) return false;
    editor_.GetHistory()->Begin("Delete object");
    editor_.GetHistory()->TouchGroup(tag);
    stage->DeleteObject(stage->GetSelectedIndex(), tag);
    stage->ClearSelection();
    editor_.RefreshGroup(tag);
    return true;
}

bool CCreationPanel::CopySelected(const std::string& tag) {
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage) return false;
    const std::vector<StageObject>& group = editor_.groups[tag];
    int index = stage->GetSelectedIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= group.size()) return false;
    stage->SetClipboard(group[index].part);
    copied_ = true;
    return true;
}

bool CCreationPanel::Paste(const std::string& tag) {
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    // An object with an empty model label pastes like any other; only an empty clipboard pastes nothing.
    if (!stage || !copied_ || !HasRoom(*stage)) return false;
    ObjectPart copy = stage->GetClipboard();
    if (CPointer* pointer = manager->GetPointer()) copy.Pos = pointer->GetPos();
    editor_.GetHistory()->Begin("Paste object");
    editor_.GetHistory()->TouchAppend(tag);
    if (snap_.enabled) copy.Pos = SnapToGrid(copy.Pos, snap_.step);
    stage->CreateObject(copy, tag, copy.ModelLabel);
    editor_.RefreshGroup(tag);
    return true;
}

bool CCreationPanel::DuplicateSelected(const std::string& tag) {
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage || !stage->IsSelectionValid() || !HasRoom(*stage)) return false;
    const std::vector<StageObject>& group = editor_.groups[tag];
    const int index = stage->GetSelectedIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= group.size()) return false;
    const ObjectPart copy = group[index].part;
    editor_.GetHistory()->Begin("Duplicate object");
    editor_.GetHistory()->TouchAppend(tag);
    stage->CreateObject(copy, tag, copy.ModelLabel);
    editor_.RefreshGroup(tag);
    stage->Select(static_cast<int>(editor_.groups[tag].size()) - 1);
    return true;
}
