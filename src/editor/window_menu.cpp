// The "Window" menu: which of the editor's windows are shown, and their first layout.
#include <imgui.h>

#include "editor/editor.h"
#include "editor/model_palette.h"
#include "editor/selection_panel.h"
#include "editor/outliner.h"
#include "editor/tag_panel.h"
#include "editor/window_layout.h"

void CEditor::ShowWindowMenu() {
    if (!ImGui::BeginMenu("Window")) return;
    ImGui::MenuItem(COutliner::kWindow, nullptr, &showOutliner);
    ImGui::MenuItem(CTagPanel::kWindow, nullptr, &showTags);
    ImGui::MenuItem(CModelPalette::kWindow, nullptr, &showModelPalette);
    ImGui::MenuItem(CSelectionPanel::kWindow, nullptr, &showInspector);
    ImGui::Separator();
    if (ImGui::MenuItem("Reset layout")) ResetLayout();
    ImGui::EndMenu();
}

void CEditor::ResetLayout() {
    showMainWindow = showOutliner = showTags = showModelPalette = showInspector = true;
    PlaceWindow("Hello, world!", kMainWindowPlace);
    PlaceWindow(COutliner::kWindow, kOutlinerPlace);
    PlaceWindow(CTagPanel::kWindow, kTagsPlace);
    PlaceWindow(CModelPalette::kWindow, kModelsPlace);
    PlaceWindow(CSelectionPanel::kWindow, kInspectorPlace);
}
