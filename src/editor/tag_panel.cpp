#include "editor/tag_panel.h"

#include <imgui.h>

#include <string_view>
#include <unordered_set>
#include <utility>

#include "document/edit_history.h"
#include "editor/editor.h"
#include "editor/window_layout.h"

std::vector<CTagPanel::Row> CTagPanel::Rows() const {
    const StageGroups& groups = std::as_const(editor_.Document()).Groups();
    std::vector<Row> rows;
    rows.reserve(editor_.tags.size());
    std::unordered_set<std::string_view> seen;  // views of the list's and the groups' own names
    seen.reserve(editor_.tags.size());
    auto add = [&](const std::string& tag, bool listed, const std::vector<StageObject>* group) {
        if (!seen.insert(tag).second) return;
        Row row{tag, 0, listed, listed ? static_cast<std::size_t>(&tag - editor_.tags.data()) : 0};
        if (listed) {
            auto found = groups.find(tag);
            if (found != groups.end()) row.objects = found->second.size();
        } else if (group) {
            row.objects = group->size();
        }
        rows.push_back(std::move(row));
    };
    for (const std::string& tag : editor_.tags) add(tag, true, nullptr);
    for (const auto& entry : groups) add(entry.first, false, &entry.second);
    return rows;
}

const std::vector<CTagPanel::Row>& CTagPanel::CurrentRows() {
    const std::uint64_t version = editor_.GetHistory()->Version();
    const std::size_t tags = editor_.tags.size(), groups = std::as_const(editor_.Document()).Groups().size();
    if (!rowsValid_ || version != rowsVersion_ || tags != rowsTags_ || groups != rowsGroups_) {
        rows_ = Rows();
        rowsValid_ = true;
        rowsVersion_ = version;
        rowsTags_ = tags;
        rowsGroups_ = groups;
    }
    return rows_;
}

void CTagPanel::Show(bool* open) {
    CStageDocument& document = editor_.Document();
    PlaceNextWindow(kTagsPlace);
    ImGui::Begin(kWindow, open, 0);

    ImGui::TextUnformatted("Tag");
    ImGui::SameLine(150);
    ImGui::TextUnformatted("Objects");
    ImGui::SameLine(215);
    ImGui::TextUnformatted("Visible");
    ImGui::SameLine(280);
    ImGui::TextUnformatted("Lock");
    ImGui::Separator();

    const StageGroups& groups = std::as_const(document).Groups();
    const std::string selected = editor_.SelectedTag();
    const std::vector<Row>* rows = &CurrentRows();
    drawnRows_ = 0;
    // Only the rows in view are built; the clipper steps over the others by their common height.
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(rows->size()));
    while (clipper.Step()) {
        for (int i = clipper.DisplayStart; i < clipper.DisplayEnd; ++i) {
            Row row = (*rows)[static_cast<std::size_t>(i)];
            // A listed row must still be that entry of the list (a name set in place keeps the counts).
            if (row.listed && (row.listIndex >= editor_.tags.size() || editor_.tags[row.listIndex] != row.tag)) {
                rowsValid_ = false;
                rows = &CurrentRows();
                if (static_cast<std::size_t>(i) >= rows->size()) break;
                row = (*rows)[static_cast<std::size_t>(i)];
            }
            auto group = groups.find(row.tag);
            row.objects = group != groups.end() ? group->second.size() : 0;
            ShowRow(row, selected);
            ++drawnRows_;
        }
    }
    clipper.End();
    ImGui::End();
}

void CTagPanel::ShowRow(const Row& row, const std::string& selected) {
    CStageDocument& document = editor_.Document();
    ImGui::PushID(row.tag.c_str(), row.tag.c_str() + row.tag.size());
    const std::string label = (row.tag.empty() ? std::string("(no name)") : row.tag) + "###Tag";
    if (!row.listed) ImGui::BeginDisabled();
    if (ImGui::Selectable(label.c_str(), row.tag == selected, 0, ImVec2(140, 0)) && row.listed)
        editor_.tagIndex = static_cast<int>(row.listIndex);
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
