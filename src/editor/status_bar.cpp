// The status line along the bottom of the window, and the first screen's hint over an empty stage.
#include <imgui.h>

#include <cstdio>
#include <string>

#include "document/edit_history.h"
#include "editor/creation_panel.h"
#include "editor/editor.h"
#include "scene/pointer.h"

namespace {

// Neither takes the mouse: clicks and drags go through to the view.
constexpr ImGuiWindowFlags kOverlay = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoInputs |
                                      ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                      ImGuiWindowFlags_NoBringToFrontOnFocus;

}  // namespace

std::string CEditor::StatusLine() const {
    char text[512];
    std::string pointer = "-";
    if (CPointer* p = parts_.pointer) {
        const D3DXVECTOR3 pos = p->GetPos();
        std::snprintf(text, sizeof text, "%.2f, %.2f, %.2f", pos.x, pos.y, pos.z);
        pointer = text;
    }
    std::string selection = "none";
    if (document_.SelectedObject(SelectedTag()))
        selection = SelectedTag() + " #" + std::to_string(document_.GetSelectedIndex());
    std::string snap = "off";
    if (creationPanel_ && creationPanel_->Snap().enabled) {
        std::snprintf(text, sizeof text, "%g", creationPanel_->Snap().step);
        snap = text;
    }
    const CCurrentFile& file = document_.CurrentFile();
    return "Pointer " + pointer + "   Selected: " + selection + "   Snap: " + snap + "   File: " +
           (document_.History().IsModified() ? "*" : "") + file.DisplayName();
}

void CEditor::ShowStatusBar() {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const float height = ImGui::GetFrameHeight();
    ImGui::SetNextWindowPos(ImVec2(0.0f, display.y - height));
    ImGui::SetNextWindowSize(ImVec2(display.x, height));
    ImGui::SetNextWindowBgAlpha(0.6f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(8.0f, 2.0f));
    if (ImGui::Begin("##StatusBar", nullptr, kOverlay)) ImGui::TextUnformatted(StatusLine().c_str());
    ImGui::End();
    ImGui::PopStyleVar();

    // An empty stage says how to begin (the document keeps the groups that hold objects: no group is visited).
    if (!document_.FilledGroups().empty()) return;
    static constexpr const char* kHint =
        "The ball is the 3D pointer: W/A/S/D and R/F move it, Enter creates the chosen model there. "
        "Hold the right button over an object to select it; drag its gizmo to move it.";
    const ImVec2 size = ImGui::CalcTextSize(kHint);
    ImGui::GetBackgroundDrawList()->AddText(ImVec2((display.x - size.x) * 0.5f, display.y - height * 3.0f),
                                            IM_COL32(230, 230, 230, 255), kHint);
}
