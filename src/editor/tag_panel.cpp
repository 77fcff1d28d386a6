#include "editor/tag_panel.h"

#include <imgui.h>

#include <algorithm>

#include "editor/editor.h"

std::vector<CTagPanel::Row> CTagPanel::Rows() const {
    const StageGroups& groups = editor_.Document().Groups();
    std::vector<Row> rows;
    auto add = [&](const std::string& tag, bool listed) {
        for (const Row& row : rows)
            if (row.tag == tag) return;
        Row row{tag, 0, listed};
        auto group = groups.find(tag);
        if (group != groups.end()) row.objects = group->second.size();
        rows.push_back(row);
    };
    for (const std::string& tag : editor_.tags) add(tag, true);
    for (const auto& entry : groups) add(entry.first, false);
    return rows;
}

void CTagPanel::Show() {
    CStageDocument& document = editor_.Document();
    ImGui::SetNextWindowPos(ImVec2(940, 20), ImGuiCond_Once);
    ImGui::SetNextWindowSize(ImVec2(330, 260), ImGuiCond_Once);
    ImGui::Begin(kWindow, nullptr, 0);

    ImGui::TextUnformatted("Tag");
    ImGui::SameLine(150);
    ImGui::TextUnformatted("Objects");
    ImGui::SameLine(215);
    ImGui::TextUnformatted("Visible");
    ImGui::SameLine(280);
    ImGui::TextUnformatted("Lock");
    ImGui::Separator();

    const std::string selected = editor_.SelectedTag();
    for (const Row& row : Rows()) {
        ImGui::PushID(row.tag.c_str(), row.tag.c_str() + row.tag.size());
        const std::string label = (row.tag.empty() ? std::string("(no name)") : row.tag) + "###Tag";
        if (!row.listed) ImGui::BeginDisabled();
        if (ImGui::Selectable(label.c_str(), row.tag == selected, 0, ImVec2(140, 0))) {
            auto it = std::find(editor_.tags.begin(), editor_.tags.end(), row.tag);
            if (it != editor_.tags.end()) editor_.tagIndex = static_cast<int>(it - editor_.tags.begin());
        }
        if (!row.listed) ImGui::EndDisabled();
        ImGui::SameLine(150);
        ImGui::Text("%zu", row.objects);
        bool visible = document.IsTagVisible(row.tag);
        bool locked = document.IsTagLocked(row.tag);
        ImGui::SameLine(225);
        if (ImGui::Checkbox("##Visible", &visible)) document.SetTagVisible(row.tag, visible);
        ImGui::SameLine(282);
        if (ImGui::Checkbox("##Lock", &locked)) document.SetTagLocked(row.tag, locked);
        ImGui::PopID();
    }
    ImGui::End();
}
