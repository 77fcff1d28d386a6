#include "editor/selection_menu.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>

#include "d3d/dinput.h"
#include "editor/editor.h"
#include "editor/gizmo.h"
#include "editor/shortcuts.h"
#include "input/input.h"
#include "scene/stage.h"

namespace {

bool ShiftHeld(const CInputKeyboard* keyboard) {
    return keyboard && (keyboard->GetPress(DIK_LSHIFT) || keyboard->GetPress(DIK_RSHIFT));
}

bool CtrlHeld(const CInputKeyboard* keyboard) {
    return keyboard && (keyboard->GetPress(DIK_LCONTROL) || keyboard->GetPress(DIK_RCONTROL));
}

// A drag shorter than this, in pixels, is a click: it selects nothing.
constexpr float kMinRect = 3.0f;

}  // namespace

void CSelectionMenu::ShowMenu() {
    if (!ImGui::BeginMenu("Select")) return;
    CStageDocument& document = editor_.Document();
    const bool any = !document.Selection().Empty();
    if (ImGui::MenuItem("All in group", ShortcutKeys(EditorCommand::SelectAll)))
        document.SelectAllInGroup(editor_.SelectedTag());
    if (ImGui::MenuItem("All visible")) document.SelectAllVisible();
    if (ImGui::MenuItem("None", ShortcutKeys(EditorCommand::SelectNone), false, any)) document.ClearSelection();
    if (ImGui::MenuItem("Invert", ShortcutKeys(EditorCommand::InvertSelection))) document.InvertSelection();
    if (ImGui::MenuItem("Same model", nullptr, false, any)) document.SelectSameModel();
    ImGui::Separator();
    if (ImGui::MenuItem("Hide selection", ShortcutKeys(EditorCommand::HideSelection), false, any))
        document.HideSelection();
    if (ImGui::MenuItem("Isolate selection", nullptr, false, any)) document.IsolateSelection();
    if (ImGui::MenuItem("Show all", ShortcutKeys(EditorCommand::ShowAllObjects), false,
                        !document.HiddenObjects().Empty()))
        document.ShowAllObjects();
    ImGui::Separator();
    if (ImGui::BeginMenu("Move to tag", any)) {
        // A copy: moving may select another tag.
        const std::vector<std::string> tags = editor_.tags;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            ImGui::PushID(static_cast<int>(i));
            if (ImGui::MenuItem(tags[i].c_str())) document.MoveSelectionToTag(tags[i]);
            ImGui::PopID();
        }
        ImGui::EndMenu();
    }
    if (CGizmo* gizmo = editor_.GetGizmo()) {
        ImGui::Separator();
        ImGui::TextDisabled("Gizmo pivot");
        static constexpr const char* kPivots[] = {"Selection centre", "Each origin", "Active object"};
        for (int i = 0; i < 3; ++i)
            if (ImGui::MenuItem(kPivots[i], nullptr, gizmo->Pivot() == static_cast<GizmoPivot>(i)))
                gizmo->SetPivot(static_cast<GizmoPivot>(i));
        if (ImGui::MenuItem("Active object's axes", nullptr, gizmo->ObjectAxes()))
            gizmo->SetObjectAxes(!gizmo->ObjectAxes());
    }
    ImGui::EndMenu();
}

void CSelectionMenu::HandleKeys() {
    CInputKeyboard* keyboard = editor_.Parts().keyboard;
    if (!keyboard || editor_.Focus().typing || editor_.Focus().modalPopup) return;
    CStageDocument& document = editor_.Document();
    if (ShortcutPressed(EditorCommand::SelectAll, *keyboard)) document.SelectAllInGroup(editor_.SelectedTag());
    if (ShortcutPressed(EditorCommand::SelectNone, *keyboard)) document.ClearSelection();
    if (ShortcutPressed(EditorCommand::InvertSelection, *keyboard)) document.InvertSelection();
    if (ShortcutPressed(EditorCommand::HideSelection, *keyboard)) document.HideSelection();
    if (ShortcutPressed(EditorCommand::ShowAllObjects, *keyboard)) document.ShowAllObjects();
}

void CSelectionMenu::HandleView(bool pickingBlocked) {
    CStage* stage = editor_.Parts().stage;
    CInputMouse* mouse = editor_.Parts().mouse;
    const CInputKeyboard* keyboard = editor_.Parts().keyboard;
    if (!stage || !mouse) return;
    const bool shift = ShiftHeld(keyboard);
    if (!pickingBlocked) stage->Picking(shift ? CStage::PickMode::Toggle : CStage::PickMode::Replace);

    const D3DXVECTOR3 cursor = mouse->GetCursorClientPos();
    if (drawingRect_) {
        if (!mouse->GetPress(0)) {
            drawingRect_ = false;
            SelectInRect(rectStart_, cursor);
            return;
        }
        const ImVec2 a(std::min(rectStart_.x, cursor.x), std::min(rectStart_.y, cursor.y));
        const ImVec2 b(std::max(rectStart_.x, cursor.x), std::max(rectStart_.y, cursor.y));
        ImDrawList* list = ImGui::GetBackgroundDrawList();
        list->AddRectFilled(a, b, IM_COL32(255, 170, 40, 40));
        list->AddRect(a, b, IM_COL32(255, 170, 40, 220), 0.0f, 0, 1.5f);
        return;
    }
    // Ctrl+click belongs to the 3D pointer; a press on a GUI window or a gizmo handle is theirs.
    const InputFocus& focus = editor_.Focus();
    if (shift && !CtrlHeld(keyboard) && mouse->GetTrigger(0) && !pickingBlocked && !focus.mouseOverWindow &&
        !focus.gizmoHoldsMouse) {
        drawingRect_ = true;
        rectStart_ = cursor;
    }
}

bool CSelectionMenu::SelectInRect(const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    CStage* stage = editor_.Parts().stage;
    if (!stage || std::fabs(from.x - to.x) < kMinRect || std::fabs(from.y - to.y) < kMinRect) return false;
    CStageDocument& document = editor_.Document();
    CObjectSelection set;
    // ObjectsInRect leaves hidden and locked groups out.
    for (const StageGroups::value_type* filled : document.FilledGroups())
        set.AddMany(filled->first, stage->ObjectsInRect(filled->first, from.x, from.y, to.x, to.y));
    document.SetSelection(std::move(set));
    return true;
}
