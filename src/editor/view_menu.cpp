#include "editor/view_menu.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>

#include "editor/editor.h"
#include "editor/file_menu.h"
#include "editor/recent_files.h"
#include "editor/settings_file.h"
#include "editor/shortcuts.h"
#include "input/input.h"
#include "render/camera.h"
#include "render/light.h"
#include "render/view_aids.h"
#include "resource/model_manager.h"
#include "scene/object_world.h"
#include "scene/picking.h"
#include "scene/placeholder.h"
#include "scene/pointer.h"

CViewMenu::CViewMenu(CEditor& editor) : editor_(editor), settingsPath_(CRecentFiles::DefaultSettingsPath()) {
    const nlohmann::json settings = ReadSettings(settingsPath_);
    auto fill = settings.find(kFillLightKey);
    fillLight_ = fill == settings.end() || !fill->is_boolean() || fill->get<bool>();
    if (CLight* light = editor_.Parts().light) light->SetFillLight(fillLight_);
    auto grid = settings.find(kGridKey);
    grid_ = grid == settings.end() || !grid->is_boolean() || grid->get<bool>();
    if (CViewAids* aids = editor_.Parts().viewAids) aids->SetGridShown(grid_);
}

void CViewMenu::ShowMenu() {
    if (!ImGui::BeginMenu("View")) return;
    if (ImGui::MenuItem("Fill light", nullptr, fillLight_)) SetFillLight(!fillLight_);
    if (ImGui::MenuItem("Grid", nullptr, grid_)) SetGrid(!grid_);
    if (ImGui::MenuItem("Frame selection", ShortcutKeys(EditorCommand::FrameSelection), false,
                        editor_.Document().SelectedObject(editor_.SelectedTag()) != nullptr))
        FrameSelection();
    if (ImGui::MenuItem("Start view", ShortcutKeys(EditorCommand::StartView))) StartView();
    ImGui::EndMenu();
}

void CViewMenu::HandleKeys() {
    CInputKeyboard* keyboard = editor_.Parts().keyboard;
    if (!keyboard || editor_.Focus().typing || editor_.Focus().modalPopup) return;
    if (ShortcutPressed(EditorCommand::FrameSelection, *keyboard)) FrameSelection();
    if (ShortcutPressed(EditorCommand::StartView, *keyboard)) StartView();
}

void CViewMenu::SetFillLight(bool on) {
    fillLight_ = on;
    if (CLight* light = editor_.Parts().light) light->SetFillLight(on);
    const FileResult saved = WriteSetting(settingsPath_, kFillLightKey, on);
    if (!saved.ok) editor_.GetFileMenu()->Report(saved, "Saved", "to");
}

void CViewMenu::SetGrid(bool on) {
    grid_ = on;
    if (CViewAids* aids = editor_.Parts().viewAids) aids->SetGridShown(on);
    const FileResult saved = WriteSetting(settingsPath_, kGridKey, on);
    if (!saved.ok) editor_.GetFileMenu()->Report(saved, "Saved", "to");
}

bool CViewMenu::FrameSelection() {
    const ObjectPart* part = editor_.Document().SelectedObject(editor_.SelectedTag());
    CPointer* pointer = editor_.Parts().pointer;
    CCamera* camera = editor_.Parts().camera;
    if (!part || !pointer || !camera) return false;
    D3DXVECTOR3 boxMin = part->Pos, boxMax = part->Pos;
    if (const CModelManager* models = editor_.Parts().models) {
        D3DXVECTOR3 low, high;
        ModelBoundsOf(models, part->ModelLabel, &low, &high);
        WorldBox(ObjectWorld(*part), low, high, &boxMin, &boxMax);
    }
    const D3DXVECTOR3 centre = (boxMin + boxMax) * 0.5f;
    const D3DXVECTOR3 half = (boxMax - boxMin) * 0.5f;
    const float radius = std::max(D3DXVec3Length(&half), 1.0f);
    // The bounding sphere fills about two thirds of the view's height.
    const float distance = std::max(radius / std::sin(CCamera::kFieldOfView * 0.5f) * 1.5f, CCamera::kNear * 2.0f);
    D3DXVECTOR3 eye = camera->posV;
    if (D3DXVec3Length(&eye) <= 0.0f) eye = D3DXVECTOR3(0.0f, 100.0f, 300.0f);
    D3DXVec3Normalize(&eye, &eye);
    camera->posV = eye * distance;
    pointer->SetPos(centre);
    return true;
}

void CViewMenu::StartView() {
    if (CCamera* camera = editor_.Parts().camera) {
        camera->posV = D3DXVECTOR3(0.0f, 100.0f, 300.0f);
        camera->rot = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        CCamera::ResetSpin();
    }
}
