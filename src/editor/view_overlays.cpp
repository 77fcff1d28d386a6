// What the view shows over the stage each frame: the view aids' settings, the axis labels, the name under
// a resting cursor; and Ctrl+click, which puts the 3D pointer on the surface under the cursor.
#include <imgui.h>

#include "editor/creation_panel.h"
#include "editor/editor.h"
#include "editor/model_palette.h"
#include "editor/view_menu.h"
#include "input/input.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/view_aids.h"
#include "resource/model_manager.h"
#include "scene/object_world.h"
#include "scene/picking.h"
#include "scene/placeholder.h"
#include "scene/stage.h"

void CViewMenu::ShowOverlays() {
    const EditorParts& parts = editor_.Parts();
    if (CViewAids* aids = parts.viewAids) {
        if (CCreationPanel* panel = editor_.GetCreationPanel()) aids->SetStep(panel->Snap().step);
        std::vector<OutlineBox> outlines = SelectionOutlines();
        // A picture dragged from "Models" shows where its object would stand.
        if (const CModelPalette* palette = editor_.GetModelPalette())
            if (const std::optional<ObjectPart> planned = palette->DropPreview()) outlines.push_back(Outline(*planned));
        aids->SetOutlines(std::move(outlines));
        if (aids->IsShown()) IndicatorLabels();
    }

    const InputFocus& focus = editor_.Focus();
    CInputMouse* mouse = parts.mouse;
    CInputKeyboard* keyboard = parts.keyboard;
    if (!mouse || focus.mouseOverWindow || focus.modalPopup || focus.gizmoHoldsMouse) {
        hoverAsked_ = false;
        return;
    }
    const bool ctrl = keyboard && (keyboard->GetPress(DIK_LCONTROL) || keyboard->GetPress(DIK_RCONTROL));
    if (ctrl && mouse->GetTrigger(0)) PlacePointerAt(mouse->GetCursorClientPos());
    HoverTooltip();
}

OutlineBox CViewMenu::Outline(const ObjectPart& part) const {
    OutlineBox box;
    D3DXVECTOR3 low, high;
    ModelBoundsOf(editor_.Parts().models, part.ModelLabel, &low, &high);
    WorldBox(ObjectWorld(part), low, high, &box.min, &box.max);
    return box;
}

std::vector<OutlineBox> CViewMenu::SelectionOutlines() const {
    std::vector<OutlineBox> outlines;
    const EditorParts& parts = editor_.Parts();
    const CStageDocument& document = editor_.Document();
    if (!parts.models) return outlines;
    auto outline = [&](const ObjectPart& part) { outlines.push_back(Outline(part)); };
    const ObjectPart* active = document.SelectedObject(editor_.SelectedTag());
    if (active && document.IsTagVisible(editor_.SelectedTag())) outline(*active);
    for (const auto& [tag, members] : document.Selection().Groups()) {
        if (!document.IsTagVisible(tag)) continue;
        auto group = document.WorkingGroups().find(tag);
        if (group == document.WorkingGroups().end()) continue;
        for (int i : members) {
            // Past this many boxes the highlight of the objects themselves says enough.
            if (outlines.size() >= kMaxOutlines) return outlines;
            if (static_cast<std::size_t>(i) >= group->second.size()) break;
            if (tag == editor_.SelectedTag() && i == document.GetSelectedIndex()) continue;  // outlined above
            outline(group->second[static_cast<std::size_t>(i)].part);
        }
    }
    return outlines;
}

void CViewMenu::HoverTooltip() {
    CInputMouse* mouse = editor_.Parts().mouse;
    IPlatform* platform = editor_.Parts().platform;
    if (!mouse || !platform) return;
    const DWORD now = platform->TimeGetTime();
    const D3DXVECTOR3 cursor = mouse->GetCursorClientPos();
    const bool held = mouse->GetPress(0) || mouse->GetPress(1) || mouse->GetPress(2);
    if (held || !(cursor == hoverCursor_)) {
        hoverCursor_ = cursor;
        hoverSince_ = now;
        hoverAsked_ = false;
        return;
    }
    if (now - hoverSince_ < kHoverDelay) return;
    // Asked once per resting place: the stage may be large.
    if (!hoverAsked_) {
        hoverName_ = NameUnder(cursor);
        hoverAsked_ = true;
    }
    if (!hoverName_.empty()) ImGui::SetTooltip("%s", hoverName_.c_str());
}

std::string CViewMenu::NameUnder(const D3DXVECTOR3& cursor) {
    CStage* stage = editor_.Parts().stage;
    if (!stage) return std::string();
    const std::optional<StageHit> hit = stage->HitUnderCursor(cursor, false);
    if (!hit || hit->index < 0) return std::string();
    const std::vector<StageObject>& group = std::as_const(editor_.Document()).Groups().at(hit->tag);
    const ObjectPart& part = group[static_cast<std::size_t>(hit->index)].part;
    const std::string what = part.ObjectLabel.empty() ? part.ModelLabel : part.ObjectLabel + " (" + part.ModelLabel + ")";
    return what + "   " + hit->tag + " #" + std::to_string(hit->index);
}

bool CViewMenu::PlacePointerAt(const D3DXVECTOR3& cursor) {
    CStage* stage = editor_.Parts().stage;
    CCreationPanel* panel = editor_.GetCreationPanel();
    if (!stage || !panel) return false;
    const std::optional<StageHit> hit = stage->HitUnderCursor(cursor, true);
    if (!hit) return false;
    panel->PlacePointerOnSurface(hit->point, hit->normal);
    return true;
}

void CViewMenu::IndicatorLabels() {
    CCamera* camera = editor_.Parts().camera;
    if (!camera) return;
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const D3DVIEWPORT9 corner =
        CViewAids::IndicatorViewport(static_cast<UINT>(display.x), static_cast<UINT>(display.y));
    const ImVec2 centre(static_cast<float>(corner.X) + static_cast<float>(corner.Width) * 0.5f,
                        static_cast<float>(corner.Y) + static_cast<float>(corner.Height) * 0.5f);
    static constexpr const char* kNames[3] = {"X", "Y", "Z"};
    static constexpr ImU32 kColours[3] = {IM_COL32(240, 90, 90, 255), IM_COL32(110, 225, 110, 255),
                                          IM_COL32(110, 150, 255, 255)};
    for (int axis = 0; axis < 3; ++axis) {
        float dx = 0.0f, dy = 0.0f;
        CViewAids::IndicatorTip(camera->mtxView, axis, &dx, &dy);
        const ImVec2 size = ImGui::CalcTextSize(kNames[axis]);
        // A little beyond the tip, centred on the line's direction.
        const ImVec2 at(centre.x + dx * 1.15f - size.x * 0.5f, centre.y + dy * 1.15f - size.y * 0.5f);
        ImGui::GetBackgroundDrawList()->AddText(at, kColours[axis], kNames[axis]);
    }
}
