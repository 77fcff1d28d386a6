#include "editor/combo.h"

#include <imgui.h>

void ShowCombo(int* index, const std::vector<std::string>& items, std::string label,
               const std::function<void()>& action, const char* emptyPreview) {
    bool inside = *index >= 0 && static_cast<std::size_t>(*index) < items.size();
    const char* preview = inside ? items[*index].c_str() : emptyPreview;
    if (!ImGui::BeginCombo(label.c_str(), preview, 0)) return;
    // Only the entries in view are built. The count is read again at every step: the action may change the
    // list.
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(items.size()));
    // The current entry is brought into view when the list opens.
    if (inside && ImGui::IsWindowAppearing()) clipper.ForceDisplayRangeByIndices(*index, *index + 1);
    bool done = false;
    while (!done && clipper.Step()) {
        for (int i = clipper.DisplayStart; i < clipper.DisplayEnd; ++i) {
            if (static_cast<std::size_t>(i) >= items.size()) {
                done = true;
                break;
            }
            bool selected = i == *index;
            // Entries may repeat (tags are not unique), so each gets its own ID.
            ImGui::PushID(i);
            if (ImGui::Selectable(items[static_cast<std::size_t>(i)].c_str(), selected, 0, ImVec2(0, 0))) {
                *index = i;
                if (action) action();
            }
            if (selected) ImGui::SetItemDefaultFocus();
            ImGui::PopID();
        }
    }
    clipper.End();
    ImGui::EndCombo();
}
