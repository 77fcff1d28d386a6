// The "Window" menu: which of the editor's windows are shown, and their first layout.
#include <imgui.h>

#include "editor/editor.h"
#include "editor/model_palette.h"
#include "editor/selection_inspector.h"
#include "editor/outliner.h"
#include "editor/tag_panel.h"

void CEditor::ShowWindowMenu() {
    if (!ImGui::BeginMenu("Window")) return;
    ImGui::MenuItem(COutliner::kWindow, nullptr, &showOutliner);
    ImGui::MenuItem(CTagPanel::kWindow, nullptr, &showTags);
    ImGui::MenuItem(CModelPalette::kWindow, nullptr, &showModelPalette);
    ImGui::MenuItem(CSelectionInspector::kWindow, nullptr, &showInspector);
    ImGui::Separator();
    if (ImGui::MenuItem("Reset layout")) ResetLayout();
    ImGui::EndMenu();
}

void CEditor::ResetLayout() {
    showMainWindow = showOutliner = showTags = showModelPalette = showInspector = true;
    // The main window above the outliner on the left, "Tags" and the inspector on the right, "Models" along the bottom.
    ImGui::SetWindowPos("Hello, world!", ImVec2(0, 20));
    ImGui::SetWindowSize("Hello, world!", ImVec2(400, 400));
    ImGui::SetWindowPos(COutliner::kWindow, ImVec2(0, 425));
    ImGui::SetWindowSize(COutliner::kWindow, ImVec2(400, 270));
    ImGui::SetWindowPos(CTagPanel::kWindow, ImVec2(940, 20));
    ImGui::SetWindowSize(CTagPanel::kWindow, ImVec2(330, 260));
    ImGui::SetWindowPos(CModelPalette::kWindow, ImVec2(405, 545));
    ImGui::SetWindowSize(CModelPalette::kWindow, ImVec2(760, 150));
    ImGui::SetWindowPos(CSelectionInspector::kWindow, ImVec2(940, 285));
    ImGui::SetWindowSize(CSelectionInspector::kWindow, ImVec2(330, 250));
}
