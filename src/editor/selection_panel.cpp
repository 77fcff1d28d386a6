#include "editor/selection_panel.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "document/edit_history.h"
#include "editor/editor.h"
#include "editor/window_layout.h"

namespace {

constexpr float kDegrees = 57.29577951f;
const char* const kFieldNames[CSelectionPanel::kFields] = {"Pos x", "Pos y", "Pos z", "Rot x", "Rot y",
                                                               "Rot z", "Scale x", "Scale y", "Scale z"};

float& Component(ObjectPart& part, int field) {
    D3DXVECTOR3& v = field < 3 ? part.Pos : field < 6 ? part.Rot : part.Scale;
    return field % 3 == 0 ? v.x : field % 3 == 1 ? v.y : v.z;
}

float Shown(const ObjectPart& part, int field) {
    const float value = Component(const_cast<ObjectPart&>(part), field);
    return field >= 3 && field < 6 ? value * kDegrees : value;
}

}  // namespace

std::vector<ObjectRef> CSelectionPanel::Selected() const {
    const CStageDocument& document = std::as_const(editor_.Document());
    std::vector<ObjectRef> refs;
    for (const auto& [tag, indices] : document.Selection().Groups())
        for (int index : indices) refs.push_back(ObjectRef{tag, index});
    // The active object counts even when it was chosen the old way, by its index alone.
    if (document.IsSelectionValid() && !document.IsSelected(document.GetCurrentTag(), document.GetSelectedIndex()))
        refs.push_back(ObjectRef{document.GetCurrentTag(), document.GetSelectedIndex()});
    const StageGroups& groups = document.Groups();
    std::erase_if(refs, [&](const ObjectRef& ref) {
        auto group = groups.find(ref.tag);
        return group == groups.end() || ref.index < 0 || static_cast<std::size_t>(ref.index) >= group->second.size();
    });
    return refs;
}

std::optional<float> CSelectionPanel::Common(int field) const {
    const StageGroups& groups = std::as_const(editor_.Document()).Groups();
    std::optional<float> common;
    for (const ObjectRef& ref : Selected()) {
        const float value = Shown(groups.at(ref.tag)[static_cast<std::size_t>(ref.index)].part, field);
        if (common && *common != value) return std::nullopt;
        common = value;
    }
    return common;
}

std::optional<std::string> CSelectionPanel::CommonLabel() const {
    const StageGroups& groups = std::as_const(editor_.Document()).Groups();
    std::optional<std::string> common;
    for (const ObjectRef& ref : Selected()) {
        const std::string& label = groups.at(ref.tag)[static_cast<std::size_t>(ref.index)].part.ObjectLabel;
        if (common && *common != label) return std::nullopt;
        common = label;
    }
    return common;
}

bool CSelectionPanel::SetField(int field, float value) {
    const std::vector<ObjectRef> refs = Selected();
    if (refs.empty() || field < 0 || field >= kFields || !std::isfinite(value)) return false;
    if (field >= 3 && field < 6) value /= kDegrees;
    CStageDocument& document = editor_.Document();
    document.BeginObjectsEdit(std::string("Set ") + kFieldNames[field], refs);
    for (const ObjectRef& ref : refs) {
        ObjectPart part = std::as_const(document).Groups().at(ref.tag)[static_cast<std::size_t>(ref.index)].part;
        Component(part, field) = value;
        document.SetPlacement(ref.tag, ref.index, part.Pos, part.Rot, part.Scale);
    }
    document.EndObjectEdit();
    return true;
}

bool CSelectionPanel::SetLabel(const std::string& label) {
    const std::vector<ObjectRef> refs = Selected();
    if (refs.empty()) return false;
    editor_.Document().SetObjectsLabel(refs, label);
    return true;
}

void CSelectionPanel::Show(bool* open) {
    PlaceNextWindow(kInspectorPlace);
    if (!ImGui::Begin(kWindow, open)) {
        ImGui::End();
        return;
    }
    const std::vector<ObjectRef> refs = Selected();
    if (refs.empty()) {
        ImGui::TextDisabled("Nothing selected");
        ImGui::End();
        return;
    }
    const CStageDocument& document = std::as_const(editor_.Document());
    ImGui::Text("%zu selected; active: %s #%d", refs.size(), document.GetCurrentTag().c_str(),
                document.GetSelectedIndex());
    ShowRow("Pos", 0);
    ShowRow("Rot (deg)", 3);
    ShowRow("Scale", 6);

    const ImGuiID labelId = ImGui::GetID("##Label");
    const std::optional<std::string> label = CommonLabel();
    if (ImGui::GetActiveID() != labelId) {
        label_.fill('\0');
        if (label) std::memcpy(label_.data(), label->data(), std::min(label->size(), label_.size() - 1));
    }
    ImGui::SetNextItemWidth(200.0f);
    ImGui::InputTextWithHint("##Label", label ? "" : "mixed", label_.data(), label_.size(),
                             ImGuiInputTextFlags_AutoSelectAll);
    if (ImGui::IsItemDeactivatedAfterEdit()) SetLabel(label_.data());
    ImGui::SameLine();
    ImGui::TextUnformatted("Label");

    // The model is shown, not edited: a different model is a different object.
    std::string model;
    for (const ObjectRef& ref : refs) {
        const std::string& m = document.Groups().at(ref.tag)[static_cast<std::size_t>(ref.index)].part.ModelLabel;
        if (model.empty()) model = m;
        else if (model != m) {
            model = "mixed";
            break;
        }
    }
    ImGui::Text("Model: %s", model.c_str());
    ImGui::End();
}

void CSelectionPanel::ShowRow(const char* name, int first) {
    ImGui::PushID(name);
    for (int i = 0; i < 3; ++i) {
        const int field = first + i;
        if (i > 0) ImGui::SameLine();
        ImGui::PushID(i);
        std::array<char, 32>& text = text_[static_cast<std::size_t>(field)];
        const ImGuiID id = ImGui::GetID("##v");
        // While a field is being typed into it keeps what is typed; otherwise it shows the objects.
        if (ImGui::GetActiveID() != id) {
            const std::optional<float> value = Common(field);
            if (value)
                std::snprintf(text.data(), text.size(), "%.3f", *value);
            else
                text[0] = '\0';
        }
        ImGui::SetNextItemWidth(70.0f);
        ImGui::InputTextWithHint("##v", "mixed", text.data(), text.size(),
                                 ImGuiInputTextFlags_CharsScientific | ImGuiInputTextFlags_AutoSelectAll);
        if (ImGui::IsItemDeactivatedAfterEdit()) {
            char* end = nullptr;
            const float value = std::strtof(text.data(), &end);
            if (end != text.data()) SetField(field, value);
        }
        ImGui::PopID();
    }
    ImGui::SameLine();
    ImGui::TextUnformatted(name);
    ImGui::PopID();
}
