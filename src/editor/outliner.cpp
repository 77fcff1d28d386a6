#include "editor/outliner.h"

#include <imgui.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "document/edit_history.h"
#include "editor/creation_panel.h"
#include "editor/editor.h"
#include "editor/view_menu.h"
#include "editor/window_layout.h"

namespace {
constexpr const char* kDragPayload = "VELLUMAR_OBJECT";
}  // namespace

void COutliner::SetSearch(const std::string& text) { SetSearchField(search_, text); }

const std::vector<OutlinerRow>& COutliner::Rows() {
    CStageDocument& document = editor_.Document();
    // Counted over the groups that hold objects, which the document keeps: a stage of many empty tags
    // would otherwise cost a pass over every group each frame.
    std::size_t objects = 0;
    for (const auto* group : document.FilledGroups()) objects += group->second.size();
    return rows_.Get(document.Tags(), std::as_const(document).Groups(), objects, editor_.GetHistory()->Version(),
                     search_.data(), folded_);
}

bool COutliner::SelectRow(const OutlinerRow& row) {
    if (row.object < 0 || !row.listed) return false;
    editor_.tagIndex = static_cast<int>(row.listIndex);
    CStageDocument& document = editor_.Document();
    // Ctrl adds or removes one object, Shift takes the range from the active one, as in the object list.
    const bool ctrl = ImGui::GetCurrentContext() && ImGui::GetIO().KeyCtrl;
    const bool shift = ImGui::GetCurrentContext() && ImGui::GetIO().KeyShift;
    if (ctrl) {
        document.SelectObject(row.tag, row.object, CStageDocument::Pick::Toggle);
    } else if (shift) {
        document.SelectRange(row.tag, row.object);
    } else {
        document.SetCurrentTag(row.tag);
        document.SelectObject(row.tag, row.object, CStageDocument::Pick::Replace);
    }
    seenTag_ = row.tag, seenIndex_ = row.object, seenValid_ = true;  // chosen here: nothing to reveal
    return true;
}

bool COutliner::AddAndSelectTag(const std::string& name) {
    if (name.empty()) return false;
    const std::vector<std::string>& tags = editor_.tags;
    auto listed = std::find(tags.begin(), tags.end(), name);
    if (listed == tags.end()) {
        editor_.AddTag(name);
        listed = std::find(tags.begin(), tags.end(), name);
    }
    editor_.tagIndex = static_cast<int>(listed - tags.begin());
    // Its row is scrolled to, as a picked object's is: a new tag comes last, often out of view.
    const CStageDocument& document = std::as_const(editor_.Document());
    seenTag_ = name, seenIndex_ = document.GetSelectedIndex(), seenValid_ = document.IsSelectionValid();
    revealTag_ = name, revealIndex_ = -1, revealPending_ = true;
    return true;
}

bool COutliner::DropOnTag(const std::string& tag, int index, const std::string& target) {
    CStageDocument& document = editor_.Document();
    if (document.Selection().Count() > 1 && document.IsSelected(tag, index)) return document.MoveSelectionToTag(target);
    return document.MoveObjectToTag(tag, index, target);
}

void COutliner::StartRename(const OutlinerRow& row, const ObjectPart& part) {
    renameTag_ = row.tag;
    renameIndex_ = row.object;
    renameText_.fill('\0');
    std::memcpy(renameText_.data(), part.ObjectLabel.data(), std::min(part.ObjectLabel.size(), renameText_.size() - 1));
    renameFocus_ = true;
}

void COutliner::ShowObjectMenu(const OutlinerRow& row, const ObjectPart& part, bool selected) {
    if (!ImGui::BeginPopupContextItem("ObjectMenu")) return;
    // A row outside the selection is selected first, so each command acts on what the row shows; "Delete"
    // on a row of the selection deletes all of it, as Delete does in the view.
    if (!selected && ImGui::IsWindowAppearing()) SelectRow(row);
    if (ImGui::MenuItem("Frame", "Ctrl+F")) {
        // The row's object becomes the active one (the selection stays), which framing shows.
        editor_.Document().SelectObject(row.tag, row.object, CStageDocument::Pick::Add);
        if (CViewMenu* view = editor_.GetViewMenu()) view->FrameSelection();
    }
    if (ImGui::MenuItem("Rename")) StartRename(row, part);
    if (ImGui::MenuItem("Delete", "Delete")) {
        if (CCreationPanel* panel = editor_.GetCreationPanel()) panel->DeleteSelected(row.tag);
    }
    ImGui::EndPopup();
}

void COutliner::FollowSelection() {
    const CStageDocument& document = std::as_const(editor_.Document());
    const std::string& tag = editor_.SelectedTag();
    const bool valid = document.IsSelectionValid();
    const int index = document.GetSelectedIndex();
    if (valid == seenValid_ && index == seenIndex_ && tag == seenTag_) return;
    seenTag_ = tag, seenIndex_ = index, seenValid_ = valid;
    if (!valid) return;
    folded_.erase(tag);
    revealTag_ = tag, revealIndex_ = index, revealPending_ = true;
}

void COutliner::Show(bool* open) {
    PlaceNextWindow(kOutlinerPlace);
    if (!ImGui::Begin(kWindow, open)) {
        ImGui::End();
        return;
    }
    FollowSelection();
    ShowTools();

    ImGui::BeginChild("OutlinerRows", ImVec2(0, 0), true);
    const std::vector<OutlinerRow>* rows = &Rows();
    const float rowHeight = ImGui::GetTextLineHeightWithSpacing();
    if (revealPending_) {
        revealPending_ = false;
        revealedRow_ = rows_.Find(revealTag_, revealIndex_);
        if (revealedRow_ >= 0) {
            const float top = static_cast<float>(revealedRow_) * rowHeight;
            const float view = ImGui::GetWindowHeight();
            if (top < ImGui::GetScrollY() || top + rowHeight > ImGui::GetScrollY() + view)
                ImGui::SetScrollY(std::max(0.0f, top - view * 0.5f));
        }
    }
    drawnRows_ = 0;
    // Only the rows in view are built; the clipper steps over the others by their common height.
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(rows->size()), rowHeight);
    while (clipper.Step()) {
        for (int i = clipper.DisplayStart; i < clipper.DisplayEnd; ++i) {
            // A row's action may change the stage, and with it the rows: the rest wait for the next frame.
            const std::uint64_t version = editor_.GetHistory()->Version();
            const OutlinerRow row = (*rows)[static_cast<std::size_t>(i)];
            ImGui::PushID(i);
            ShowRow(row);
            ImGui::PopID();
            ++drawnRows_;
            if (editor_.GetHistory()->Version() != version || editor_.GetHistory()->IsOpen()) {
                rows_.Invalidate();
                rows = &Rows();
                if (static_cast<std::size_t>(clipper.DisplayEnd) > rows->size()) break;
            }
        }
    }
    clipper.End();
    ImGui::EndChild();
    ImGui::End();
}

void COutliner::ShowTools() {
    ImGui::SetNextItemWidth(-1.0f);
    ImGui::InputTextWithHint("##Search", "Search label, model or tag", search_.data(), search_.size());
    ImGui::SetNextItemWidth(200.0f);
    const bool entered = ImGui::InputTextWithHint("##NewTag", "new tag", newTag_.data(), newTag_.size(),
                                                  ImGuiInputTextFlags_EnterReturnsTrue);
    ImGui::SameLine();
    if ((ImGui::Button("New tag") || entered) && AddAndSelectTag(newTag_.data())) newTag_.fill('\0');
}

void COutliner::ShowRow(const OutlinerRow& row) {
    if (row.object < 0)
        ShowTagRow(row);
    else
        ShowObjectRow(row);
}

void COutliner::ShowTagRow(const OutlinerRow& row) {
    const CStageDocument& document = std::as_const(editor_.Document());
    auto group = document.Groups().find(row.tag);
    const std::size_t count = group == document.Groups().end() ? 0 : group->second.size();
    const bool searching = search_[0] != '\0';
    ImGuiTreeNodeFlags flags = ImGuiTreeNodeFlags_NoTreePushOnOpen | ImGuiTreeNodeFlags_SpanAvailWidth;
    if (row.tag == editor_.SelectedTag()) flags |= ImGuiTreeNodeFlags_Selected;
    if (count == 0) flags |= ImGuiTreeNodeFlags_Leaf;
    ImGui::SetNextItemOpen(searching || folded_.count(row.tag) == 0);
    const std::string label = (row.tag.empty() ? std::string("(no name)") : row.tag) + "  (" + std::to_string(count) + ")";
    const bool open = ImGui::TreeNodeEx("##tag", flags, "%s", label.c_str());
    if (ImGui::IsItemToggledOpen() && !searching) {
        if (open)
            folded_.erase(row.tag);
        else
            folded_.insert(row.tag);
    }
    if (ImGui::IsItemClicked() && !ImGui::IsItemToggledOpen() && row.listed)
        editor_.tagIndex = static_cast<int>(row.listIndex);
    // An object dropped here moves to this tag; one of several selected takes the whole selection along.
    if (ImGui::BeginDragDropTarget()) {
        if (ImGui::AcceptDragDropPayload(kDragPayload) && dragIndex_ >= 0) DropOnTag(dragTag_, dragIndex_, row.tag);
        ImGui::EndDragDropTarget();
    }
    if (ImGui::BeginPopupContextItem("TagMenu")) {
        if (count == 0) {
            if (ImGui::MenuItem("Delete tag")) editor_.Document().DeleteTag(row.tag);
        } else if (ImGui::BeginMenu("Delete tag")) {
            // A tag that holds objects asks once more: its objects go with it.
            const std::string really = "Delete it and its " + std::to_string(count) + " objects";
            if (ImGui::MenuItem(really.c_str())) editor_.Document().DeleteTag(row.tag);
            ImGui::EndMenu();
        }
        ImGui::EndPopup();
    }
}

void COutliner::ShowObjectRow(const OutlinerRow& row) {
    const CStageDocument& document = std::as_const(editor_.Document());
    auto group = document.Groups().find(row.tag);
    if (group == document.Groups().end() || static_cast<std::size_t>(row.object) >= group->second.size()) return;
    const ObjectPart& part = group->second[static_cast<std::size_t>(row.object)].part;
    ImGui::Indent();
    if (renameIndex_ == row.object && renameTag_ == row.tag) {
        if (renameFocus_) ImGui::SetKeyboardFocusHere();
        renameFocus_ = false;
        ImGui::SetNextItemWidth(-1.0f);
        if (ImGui::InputText("##Rename", renameText_.data(), renameText_.size(),
                             ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_AutoSelectAll)) {
            if (part.ObjectLabel != renameText_.data())
                editor_.Document().SetObjectLabel(row.tag, row.object, renameText_.data());
            renameIndex_ = -1;
        } else if (ImGui::IsItemDeactivated()) {
            renameIndex_ = -1;  // left without Enter: nothing changes
        }
        ImGui::Unindent();
        return;
    }
    const bool selected = document.IsSelected(row.tag, row.object);
    const std::string name = ObjectRowName(part, row.object);
    if (ImGui::Selectable(name.c_str(), selected, ImGuiSelectableFlags_AllowDoubleClick)) {
        SelectRow(row);
        if (ImGui::IsMouseDoubleClicked(0)) StartRename(row, part);
    }
    if (ImGui::IsItemHovered() && !part.ModelLabel.empty()) ImGui::SetTooltip("%s", part.ModelLabel.c_str());
    ShowObjectMenu(row, part, selected);
    if (ImGui::BeginDragDropSource()) {
        dragTag_ = row.tag;
        dragIndex_ = row.object;
        ImGui::SetDragDropPayload(kDragPayload, &dragIndex_, sizeof dragIndex_);
        ImGui::Text("Move %s to a tag", name.c_str());
        ImGui::EndDragDropSource();
    }
    ImGui::Unindent();
}
