#include "editor/combo.h"

#include <imgui.h>

void ShowCombo(int* index, const std::vector<std::string>& items, std::string label,
               const std::function<void()>& action, const char* emptyPreview) {
    bool inside = *index >= 0 && static_cast<std::size_t>(*index) < items.size();
    const char* preview = inside ? items[*index].c_str() : emptyPreview;
    if (!ImGui::BeginCombo(label.c_str(), preview, 0)) return;
    // The count is read again after every entry: the action may change the list.
    for (std::size_t i = 0; i < items.size(); ++i) {
        bool selected = static_cast<int>(i) == *index;
        // Entries may repeat (tags are not unique), so each gets its own ID.
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(items[i].c_str(), selected, 0, ImVec2(0, 0))) {
            *index = static_cast<int>(i);
            if (action) action();
        }
        if (selected) ImGui::SetItemDefaultFocus();
        ImGui::PopID();
    }
    ImGui::EndCombo();
}
