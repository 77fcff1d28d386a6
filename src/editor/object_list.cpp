#include "editor/object_list.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <charconv>

#include "editor/editor.h"
#include "editor/finite_drag.h"

namespace {

const ImVec4 kSelectedColour(0.0f, 1.0f, 0.5f, 1.0f);
const ImVec4 kWhite(1.0f, 1.0f, 1.0f, 1.0f);

// Moves the layout cursor down over rows that were not drawn, as if they had been.
void SkipRows(ImGuiWindow* window, float height) {
    if (height <= 0.0f) return;
    window->DC.CursorPos.y += height;
    window->DC.CursorPosPrevLine.y = window->DC.CursorPos.y - height;
    float contentEnd = window->DC.CursorPos.y - ImGui::GetStyle().ItemSpacing.y;
    window->DC.CursorMaxPos.y = ImMax(window->DC.CursorMaxPos.y, contentEnd);
}

}  // namespace

std::string CObjectList::NodeLabel(const ObjectPart& part, int index) {
    if (!part.ObjectLabel.empty()) return part.ObjectLabel;
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof(digits), index + 1).ptr;
    return "Item " + std::string(digits, end);
}

std::string CObjectList::ObjectTagText(int index) const {
    auto it = objectTagBuffers_.find(index);
    return it == objectTagBuffers_.end() ? std::string() : std::string(it->second.data());
}

void CObjectList::Show(const std::string& tag) {
    CStageDocument& document = editor_.Document();
    ImGui::BeginChild("ObjectList", ImVec2(400, 200), true, 0);
    const std::vector<StageObject>& group = document.WorkingGroups()[tag];
    tag_ = tag;

    // Only the rows inside the visible region are built as widgets; the others only advance the layout,
    // by the height of an open or a closed row as the GUI's stored open state says.
    ImGuiWindow* window = ImGui::GetCurrentWindow();
    ImGuiStorage* openStates = ImGui::GetStateStorage();
    const float clipTop = window->ClipRect.Min.y;
    const float clipBottom = window->ClipRect.Max.y;
    if (closedRowHeight_ <= 0.0f) closedRowHeight_ = ImGui::GetFontSize() + 5.0f;
    if (openRowHeight_ <= 0.0f) openRowHeight_ = closedRowHeight_ + 5.0f * (ImGui::GetFrameHeight() + 5.0f);
    const int selected = document.IsSelectionValid() ? document.GetSelectedIndex() : -1;

    // With every node closed (the usual case) all rows are equally tall, so the rows above and below the
    // visible region are skipped without looking at them.
    bool anyOpen = false;
    for (const ImGuiStorage::ImGuiStoragePair& state : openStates->Data) anyOpen = anyOpen || state.val_i != 0;
    float skipped = 0.0f;
    std::size_t i = 0;
    if (!anyOpen) {
        float above = (clipTop - window->DC.CursorPos.y) / closedRowHeight_;
        i = above > 0.0f ? std::min(group.size(), static_cast<std::size_t>(above)) : 0;
        skipped = static_cast<float>(i) * closedRowHeight_;
    }
    drawnRows_ = 0;
    for (; i < group.size(); ++i) {
        const int index = static_cast<int>(i);
        float rowTop = window->DC.CursorPos.y + skipped;
        if (!anyOpen && rowTop >= clipBottom) {
            skipped += static_cast<float>(group.size() - i) * closedRowHeight_;
            break;
        }
        const ObjectPart& part = group[i].part;
        std::string label = NodeLabel(part, index);
        bool open = openStates->GetInt(window->GetIDNoKeepAlive(label.c_str()), 0) != 0;
        float rowHeight = open ? openRowHeight_ : closedRowHeight_;
        if (rowTop + rowHeight <= clipTop || rowTop >= clipBottom) {
            skipped += rowHeight;
            continue;
        }
        SkipRows(window, skipped);
        skipped = 0.0f;

        const bool marked = index == selected || document.IsSelected(tag, index);
        ImGui::PushStyleColor(ImGuiCol_Text, marked ? kSelectedColour : kWhite);
        bool clicked = false;
        float before = window->DC.CursorPos.y;
        ShowObjectNode(&clicked, part, index, label);
        float height = window->DC.CursorPos.y - before;
        bool nowOpen = openStates->GetInt(window->GetIDNoKeepAlive(label.c_str()), 0) != 0;
        // A row that toggled this frame was laid out in its old state; measure only settled rows.
        if (nowOpen == open) (open ? openRowHeight_ : closedRowHeight_) = height;
        if (clicked) Click(index);
        ImGui::PopStyleColor();
        ++drawnRows_;
    }
    SkipRows(window, skipped);
    ImGui::EndChild();
}

void CObjectList::Click(int index) {
    CStageDocument& document = editor_.Document();
    const ImGuiIO& io = ImGui::GetIO();
    if (io.KeyCtrl) {
        document.SelectObject(tag_, index, CStageDocument::Pick::Toggle);
    } else if (io.KeyShift && document.IsSelectionValid()) {
        document.SelectRange(tag_, index);
    } else {
        document.Select(index);
    }
}

bool CObjectList::TrackDrag(const char* what, int index, bool changed) {
    // One drag, or one typed value, is one step: it opens when the field becomes active and closes when
    // the field lets go.
    if (ImGui::IsItemActivated()) editor_.Document().BeginObjectEdit(what, tag_, index);
    if (ImGui::IsItemDeactivated()) editor_.Document().EndObjectEdit();
    return changed;
}

void CObjectList::ShowObjectNode(bool* clicked, const ObjectPart& part, int index, const std::string& label) {
    // From the first node on, every window uses this spacing.
    ImGui::GetStyle().ItemSpacing.y = 5.0f;
    bool open = ImGui::TreeNodeEx(label.c_str(), ImGuiTreeNodeFlags_SpanFullWidth);
    if (ImGui::IsMouseClicked(0) && ImGui::IsItemHovered()) *clicked = !*clicked;
    if (!open) return;
    ImGui::PushStyleColor(ImGuiCol_Text, kWhite);
    // The widgets edit a copy: the history takes the object as it was before the first change.
    ObjectPart value = part;
    bool edited = false;
    edited |= TrackDrag("Edit Pos", index, DragFiniteFloat3("Pos", &value.Pos.x, 0.1f, 0.0f, 0.0f));
    edited |= TrackDrag("Edit Rot", index, DragFiniteFloat3("Rot", &value.Rot.x, 0.1f, 0.0f, 0.0f));
    edited |= TrackDrag("Edit Scale", index, DragFiniteFloat3("Scale", &value.Scale.x, 0.1f, 1.0f, 0.0f));
    std::array<char, 256>& buffer = objectTagBuffers_.try_emplace(index).first->second;
    ImGui::InputText("ObjectTag", buffer.data(), buffer.size(), 0);
    if (edited) editor_.Document().SetPlacement(tag_, index, value.Pos, value.Rot, value.Scale);
    if (ImGui::Button("Update Tag")) editor_.Document().SetObjectLabel(tag_, index, buffer.data());
    ImGui::PopStyleColor();
    ImGui::TreePop();
}
